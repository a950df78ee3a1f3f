// The terminal's view of a check's rows as they would be stored, with the lines of the file, and
// mappings saved under a name of the operator's choosing.
#include "support/CliPark.h"

namespace tarnwick {
namespace {

class CliPreview : public CliPark {};

TEST_F(CliPreview, CheckRowsPrintsTheRowsAsStoredWithTheLinesOfTheFile) {
    park.write("items.csv", "\"Item\",\"Price\",\"Tax\"\r\nice,2.5,yes\r\nrope,3,no\r\npin,cheap,yes\r\n" +
                                std::string(35, 'w') + ",1,no\r\n");
    CliResult checked = run("check charges items.csv --map Name=Item --map Amount=Price --map Taxable=Tax "
                            "--yes-no Taxable --case caps --rows 3");
    EXPECT_EQ(checked.status, 1);
    const std::string reason = "Amount cannot take 'cheap': it is not a number";
    EXPECT_EQ(checked.out, "items.csv: Line 4, Amount 'cheap': " + reason +
                               "; the row would not be stored.\n"
                               "items.csv: Line 5, Name '" +
                               std::string(35, 'w') +
                               "': it would be shortened by 5 to fit the column.\n"
                               "4 data lines read, 3 rows would be stored, 1 refused, 1 value shortened.\n"
                               "File\tLine\tName\tAmount\tTaxable\tRefused\n"
                               "items.csv\t2\tICE\t2.5\tTrue\t\n"
                               "items.csv\t3\tROPE\t3\tFalse\t\n"
                               "items.csv\t4\tPIN\t[cheap]\t\t" +
                               reason + "\n");
}

TEST_F(CliPreview, AMappingIsSavedUnderTheNameGivenAndFoundUnderEither) {
    park.write("sites.csv", "\"Site\",\"Len\"\r\n1,40\r\n");
    for (const char *name : {"north.json", "south"})
        EXPECT_EQ(run(std::string("mapping save ") + name + " sites sites.csv --map Number=Site").status, 0) << name;
    EXPECT_TRUE(park.exists("north.json"));
    EXPECT_TRUE(park.exists("south.mapping.json"));
    EXPECT_FALSE(park.exists("north.json.mapping.json"));
    for (const char *name : {"north.json", "south", "south.mapping.json"}) {
        CliResult shown = run(std::string("mapping show ") + name);
        EXPECT_EQ(shown.status, 0) << name;
        EXPECT_NE(shown.out.find("Site"), std::string::npos) << shown.out;
    }
}

} // namespace
} // namespace tarnwick
