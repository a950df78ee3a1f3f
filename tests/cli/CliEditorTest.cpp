// The editors from the terminal: the grid as text, clones, edits and deletes by the editors' rules.
#include "db/ParkFileLock.h"
#include "db/Recordset.h"
#include "support/CliPark.h"

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
                for (const char *rate : {"Daily", "Weekly", "Monthly", "Daily2", "Weekly2", "Monthly2", "Mo3", "Mo6", "Mo12"})
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
    EXPECT_EQ(run("list guests").out, "There are Currently 0000Guests.\nThere are no Guests Available.\n");
}

TEST_F(CliEditors, ClonesEditsAndDeletes) {
    CliResult clone = run("clone-site 2 3 --type 2");
    EXPECT_EQ(clone.status, 0) << clone.out;
    EXPECT_EQ(sql("SELECT Number, AliasNumber, Length, Camper FROM Sites WHERE ID > 3"),
              "11|011|45|1\n12|012|45|1\n13|013|45|1\n");

    EXPECT_EQ(run("clone-site 2 abc --type 1").out, "The Create field must be a Number greater than 0.\n");
    EXPECT_EQ(run("clone-site 2 2").status, 1) << "no site type ticked";
    EXPECT_EQ(run("clone-site 99 2 --type 1").out, "There is no row with ID 99 in Sites.\n");

    EXPECT_EQ(run("edit site 1 Length=60 Width=abc Water=yes Tent=1").status, 0);
    EXPECT_EQ(sql("SELECT Length, Width, Water, Tent FROM Sites WHERE ID = 1"), "60|12|1|1\n");
    EXPECT_EQ(run("edit site 1 Bogus=1").status, 2);

    EXPECT_EQ(run("delete site 3").status, 0);
    EXPECT_EQ(sql("SELECT count(*) FROM Sites"), "5\n");
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
    for (const char *wrong : {"11=Cabin", "x=Cabin", "Cabin"})
        EXPECT_EQ(run(std::string("site-types ") + wrong).status, 2) << wrong;
}

// While another program writes to the park, each change the park refuses is said on stderr, with
// status 1, and nothing is written.
TEST_F(CliEditors, AChangeTheParkRefusesIsSaidAndFails) {
    if (ParkFormatUnderTest() != ParkFormat::Jet)
        GTEST_SKIP() << "an SQLite park waits for its writer before it refuses, row by row";
    const std::string before = sql("SELECT count(*), sum(Length) FROM Sites");
    const ParkFileLock elsewhere(park.file("Park.MDB"));
    for (const char *command : {"clone-site 2 3 --type 2", "edit site 1 Length=60", "delete site 3"}) {
        SCOPED_TRACE(command);
        const CliResult refused = run(command);
        EXPECT_EQ(refused.status, 1) << refused.out;
        EXPECT_NE(refused.out.find("in use"), std::string::npos) << refused.out;
    }
    EXPECT_EQ(sql("SELECT count(*), sum(Length) FROM Sites"), before);
}

} // namespace
} // namespace tarnwick
