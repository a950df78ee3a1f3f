#include "app/SiteTypes.h"
#include "app/Startup.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

class SiteTypesTest : public ::testing::Test {
protected:
    SiteTypesTest() : session(prompter, progress, clock) {
        CreateParkDatabase(dir.path(), ParkFormatUnderTest());
        session.DbFolder = dir.path();
        CreateRVCon(session);
    }

    std::vector<std::string> stored() {
        Recordset rs;
        rs.Open("SELECT * FROM ParkInfo ", *session.ParkConnection, adOpenStatic, adLockReadOnly);
        std::vector<std::string> out;
        for (int i = 1; i <= 10; ++i)
            out.push_back(rs.Fields("SiteType" + std::to_string(i)).GetValue().toString());
        return out;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session;
};

TEST_F(SiteTypesTest, SaveWritesEveryBoxAndCountsNamedOnes) {
    SiteTypeBoxes boxes;
    boxes[1] = "Tent";
    boxes[2] = "Cabin";
    boxes[3] = "   ";
    boxes[4] = " Boat Slip";
    SaveSiteTypes(session, boxes);
    EXPECT_EQ(stored(), (std::vector<std::string>{"Tent", "Cabin", "None", " Boat Slip", "None", "None", "None", "None",
                                                  "None", "None"}));
    EXPECT_EQ(session.SiteTypeCount, 3);
    EXPECT_EQ(session.SiteTypeNames[4], " Boat Slip");
    EXPECT_EQ(session.SiteTypeNames[3], "");
}

TEST_F(SiteTypesTest, TooLongNameIsSkippedAndTheRestSaved) {
    SiteTypeBoxes boxes;
    boxes[1] = "Glamp Tents"; // 11 characters: one more than the column holds
    boxes[2] = "Glamp Tent";
    boxes[10] = "RV";
    SaveSiteTypes(session, boxes);
    EXPECT_EQ(stored()[0], "None");
    EXPECT_EQ(stored()[1], "Glamp Tent");
    EXPECT_EQ(stored()[9], "RV");
}

TEST_F(SiteTypesTest, LoadLeavesBoxesOfNoneUntouched) {
    SiteTypeBoxes saved;
    saved[2] = "Cabin";
    saved[10] = "Yurt";
    SaveSiteTypes(session, saved);
    SiteTypeBoxes boxes;
    boxes[1] = "typed";
    LoadSiteTypes(session, boxes);
    EXPECT_EQ(boxes[1], "typed");
    EXPECT_EQ(boxes[2], "Cabin");
    EXPECT_EQ(boxes[3], "");
    EXPECT_EQ(boxes[10], "Yurt");
}

} // namespace
} // namespace tarnwick
