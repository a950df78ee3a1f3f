// The editors from the terminal: the grid as text, clones, edits and deletes by the editors' rules,
// the site types, and the status and sentence of each change refused.
#include "db/ParkFileLock.h"
#include "db/Recordset.h"
#include "support/CliPark.h"

#include <filesystem>

namespace tarnwick {
namespace {

class CliEditors : public CliPark {
protected:
    CliEditors() {
        park.write("sites.csv", "\"Site\",\"Len\",\"W\",\"A\"\r\n1,40,12,30\r\n2,45,12,50\r\n10,50,14,30\r\n");
        run("import sites sites.csv --map Number=Site --map Length=Len --map Width=W --map ElectricAmp=A "
            "--backup no");
        ChangePark(park.file("Park.MDB"), "ParkInfo", [](Recordset &info) {
            info.Fields("SiteType1") = "Tent";
            info.Fields("SiteType2") = "RV";
            info.Update();
        });
    }
};

TEST_F(CliEditors, ListPrintsTheGridAndItsCount) {
    // Site 10's rates emptied, as a park made before the column defaults holds them.
    ChangePark(park.file("Park.MDB"), "Sites", [](Recordset &sites) {
        for (; !sites.Eof(); sites.MoveNext())
            if (sites.Fields("Number").GetValue() == Value::number(10))
                for (const char *rate :
                     {"Daily", "Weekly", "Monthly", "Daily2", "Weekly2", "Monthly2", "Mo3", "Mo6", "Mo12"})
                    sites.Fields(rate) = Value::null();
        sites.Update();
    });
    CliResult list = run("list sites");
    EXPECT_EQ(list.status, 0);
    const std::string tail = "\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\n"; // nine rates at their default, the meters
    const std::string emptyRates = "\t\t\t\t\t\t\t\t\t\t0\t0\n";
    EXPECT_EQ(list.out, "ID\tSiteNum\tSiteAlias\tSiteLength\tSiteWidth\tElecAmps\tHasWater\tHasSewer\tUnavailable\t"
                        "Tent\tRV\tSumDaily$\tSumWeekly$\tSumMonthly$\tWinDaily$\tWinWeekly$\tWinMonthly$\t3MonRate$\t"
                        "6MonRate$\t12MonRate$\tPastElecMeter\tCurrElecMeter\n"
                        "1\t1\t001\t40\t12\t30\tFalse\tFalse\tFalse\tFalse\tFalse" +
                            tail + "2\t2\t002\t45\t12\t50\tFalse\tFalse\tFalse\tFalse\tFalse" + tail +
                            "3\t10\t010\t50\t14\t30\tFalse\tFalse\tFalse\tFalse\tFalse" + emptyRates +
                            "There are Currently 0003Sites.\n");
}

TEST_F(CliEditors, ClonesEditsAndDeletesEachWithItsStatusAndSentence) {
    const struct {
        const char *command;
        int status;
        std::string out, err;
    } steps[] = {
        {"clone-site 2 3 --type 2", 0, "", ""},
        {"clone-site 2 abc --type 1", 1, "The Create field must be a Number greater than 0.\n", ""},
        {"clone-site 2 2", 1, "You haven't selected any Site Types.\n", ""},
        {"clone-site 99 2 --type 1", 1, "", "There is no row with ID 99 in Sites.\n"},
        {"clone-site 2 1 --type 5", 2, "", "--type 5: the park has 2 site types\n"},
        {"edit site 1 Length=60 Width=abc Water=yes Tent=1", 0, "", ""},
        {"edit site 1 Bogus=1", 2, "", "'Bogus' is not a column the site editor saves\n"},
        {"edit site 1 Length", 2, "", "COLUMN=VALUE expected, not 'Length'\n"},
        {"delete site 3", 0, "", ""},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.command);
        const ObservedRun run = apart(Words(step.command));
        EXPECT_EQ(run.status, step.status);
        EXPECT_EQ(run.out, step.out);
        EXPECT_EQ(run.err, step.err);
    }
    EXPECT_EQ(sql("SELECT ID, Number, AliasNumber, Length, Width, Water, Tent, Camper FROM Sites"),
              "1|1|001|60|12|1|1|0\n2|2|002|45|12|0|0|0\n4|11|011|45|12|0|0|1\n5|12|012|45|12|0|0|1\n"
              "6|13|013|45|12|0|0|1\n");
}

// The site types from the terminal: listed, set in title case as the main window saves a box, and
// then ticked by a clone.
TEST_F(CliEditors, SiteTypesAreListedAndSetAsTheMainWindowSavesThem) {
    std::string empty; // boxes 4 to 10
    for (int box = 4; box <= 10; ++box)
        empty += std::to_string(box) + "\t\n";
    EXPECT_EQ(run("site-types").out, "1\tTent\n2\tRV\n3\t\n" + empty);
    const CliResult set = run("site-types '3=big rig'");
    EXPECT_EQ(set.status, 0) << set.out;
    EXPECT_EQ(set.out, "1\tTent\n2\tRV\n3\tBig Rig\n" + empty);
    EXPECT_EQ(sql("SELECT SiteType3 FROM ParkInfo"), "Big Rig\n");
    EXPECT_EQ(run("clone-site 1 1 --type 3").status, 0);
    EXPECT_EQ(sql("SELECT Number FROM Sites WHERE ID = 4"), "11\n");
    EXPECT_EQ(run("site-types 3=").out, "1\tTent\n2\tRV\n3\t\n" + empty);
    EXPECT_EQ(sql("SELECT SiteType3 FROM ParkInfo"), "None\n");
}

// While another program writes to the park, each change the park refuses is said, with status 1,
// and nothing is written.
TEST_F(CliEditors, AChangeTheParkRefusesIsSaidAndFails) {
    if (ParkFormatUnderTest() != ParkFormat::Jet)
        GTEST_SKIP() << "an SQLite park waits for its writer before it refuses, row by row";
    const std::string before = TempDir::readFile(park.file("Park.MDB"));
    const ParkFileLock elsewhere(park.file("Park.MDB"));
    for (const char *command : {"clone-site 2 3 --type 2", "edit site 1 Length=60", "delete site 3"}) {
        SCOPED_TRACE(command);
        const ObservedRun refused = apart(Words(command));
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("in use"), std::string::npos) << refused.out << refused.err;
    }
    const CliResult compacted = run("compact");
    EXPECT_EQ(compacted.out, "Do you want to Compress the Halvane DataBase?\n> Yes\nCompressDB: -2147467259Could not "
                             "use '" +
                                 park.file("Park.MDB") + "'; file already in use.\n");
    EXPECT_EQ(compacted.status, 1);
    EXPECT_TRUE(TempDir::readFile(park.file("Park.MDB")) == before);
    EXPECT_FALSE(std::filesystem::exists(park.file("Park.TMP")));
}

} // namespace
} // namespace tarnwick
