#include "app/DemoPark.h"

#include "app/SiteTypes.h"
#include "base/VbNumber.h"
#include "db/Recordset.h"

#include <fstream>

namespace tarnwick {
namespace {

void writeDemoSource(const std::string &folder) {
    std::ofstream sites(folder + "/sites.csv", std::ios::binary);
    sites << "\"Site\",\"Alias\",\"Length\",\"Width\",\"Water\",\"Sewer\",\"Amps\",\"Daily\",\"Weekly\","
             "\"Monthly\"\r\n1,A1,40,12,Yes,Yes,50,35.00,210,650\r\n2,A2,forty,12,No,No,30,35.00,210,650\r\n"
             "3,A3,45,12,Yes,No,30,35.00,210,650,late\r\n";
}

} // namespace

void FillDemoPark(Session &session) {
    writeDemoSource(session.DbFolder);
    SiteTypeBoxes types;
    types[1] = "Tent";
    types[2] = "Rv";
    types[3] = "Cabin";
    SaveSiteTypes(session, types);
    Recordset sites;
    sites.Open("SELECT * FROM Sites", *session.ParkConnection, adOpenStatic, adLockOptimistic);
    for (int i = 1; i <= 12; ++i) {
        sites.AddNew();
        sites.Fields("Number") = Value::number(i);
        sites.Fields("AliasNumber") = Value(FormatMinDigits(std::to_string(i), 3));
        sites.Fields("Length") = Value::number(30 + i);
        sites.Fields("Width") = Value::number(12);
        sites.Fields("ElectricAmp") = Value::number(i % 2 ? 30 : 50);
        sites.Fields("Water") = Value::boolean(true);
        sites.Fields(i % 3 ? "Camper" : "Tent") = Value::boolean(true);
        sites.Fields("Daily") = Value::number(35);
        sites.Update();
    }
    Recordset guests;
    guests.Open("SELECT * FROM Guest", *session.ParkConnection, adOpenStatic, adLockOptimistic);
    const char *const names[] = {"Garcia, Maria", "Smith, John", "Nguyen, Li", "O'Neil, Pat"};
    for (int i = 0; i < 4; ++i) {
        guests.AddNew();
        guests.Fields("Name") = Value(names[i]);
        guests.Fields("City") = Value("Springfield");
        guests.Fields("State") = Value("TX");
        guests.Fields("Arrival") = Value("6/" + std::to_string(i + 1) + "/2024");
        guests.Fields("Site") = Value(FormatMinDigits(std::to_string(i + 3), 3));
        guests.Update();
    }
}

} // namespace tarnwick
