// check from the terminal: the report, its file, and the status that says whether every row would go in.
#include "support/CliPark.h"

namespace tarnwick {
namespace {

class CliCheck : public CliPark {};

TEST_F(CliCheck, ReportsProblemsWritesTheReportAndSaysByItsStatus) {
    park.write("good.csv", "\"Item\",\"Price\"\r\nice,2.5\r\n");
    park.write("bad.csv", "\"Item\",\"Price\"\r\nice,2.5\r\nrope,cheap\r\n");
    EXPECT_EQ(run("check charges good.csv --map Name=Item --map Amount=Price").status, 0);
    CliResult bad = run("check charges bad.csv --map Name=Item --map Amount=Price --report report.csv");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("bad.csv: Line 3, Amount 'cheap'"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("2 data lines read, 1 row would be stored, 1 refused, 0 values shortened."),
              std::string::npos);
    EXPECT_EQ(park.read("report.csv").substr(0, 40), "\"File\",\"Line\",\"Field\",\"Value\",\"Reason\"\r\n");
    EXPECT_EQ(bad.out.find("We are making"), std::string::npos) << "no backup is offered";
    EXPECT_EQ(sql("SELECT count(*) FROM OtherCharges"), "0\n");
}

} // namespace
} // namespace tarnwick
