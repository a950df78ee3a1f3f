#include "app/SiteTypes.h"
#include "support/ParkFixture.h"

namespace tarnwick {
namespace {

class SiteTypesTest : public ParkFixture {};

// Blank boxes are stored as "None" and loading passes over them, leaving those boxes as they were; a
// name too long for its column is not stored and the rest are.
TEST_F(SiteTypesTest, SaveStoresNoneForBlanksAndLoadKeepsThoseBoxes) {
    SiteTypeBoxes boxes;
    boxes[1] = "Glamp Tents"; // 11 characters: one more than the column holds
    boxes[2] = "Cabin";
    boxes[3] = "   ";
    boxes[4] = " Boat Slip";
    boxes[10] = "Yurt";
    SaveSiteTypes(session, boxes);
    Recordset rs;
    rs.Open("SELECT * FROM ParkInfo", *session.ParkConnection, adOpenStatic, adLockReadOnly);
    std::string stored;
    for (int i = 1; i <= 10; ++i)
        stored += rs.Fields("SiteType" + std::to_string(i)).GetValue().toString() + "|";
    EXPECT_EQ(stored, "None|Cabin|None| Boat Slip|None|None|None|None|None|Yurt|");
    EXPECT_EQ(session.SiteTypeCount, 4);
    EXPECT_EQ(session.SiteTypeNames[4], " Boat Slip");
    EXPECT_EQ(session.SiteTypeNames[3], "");

    SiteTypeBoxes loaded;
    loaded[1] = "typed";
    LoadSiteTypes(session, loaded);
    EXPECT_EQ(loaded, (SiteTypeBoxes{"", "typed", "Cabin", "", " Boat Slip", "", "", "", "", "", "Yurt"}));
}

} // namespace
} // namespace tarnwick
