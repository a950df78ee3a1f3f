// The site types in ParkInfo, and the title case their names and imported text are given.
#include "app/SiteTypes.h"
#include "app/TitleCase.h"
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

// Site type names, like imported text, are title-cased.
TEST(TitleCaseTest, RaisesAfterFullStopBlankAndCommaAndNeverLowers) {
    const std::pair<std::string, std::string> cases[] = {
        {"smith, john a.b", "Smith, John A.B"},
        {"o'brien-jones", "O'brien-jones"},
        {"MACDONALD  road", "MACDONALD  Road"},
        {"  main street", "main Street"},
        {"", ""},
        {"a", "A"},
        {"abc ", "Abc"},
        {"\tfirst", "\tfirst"},
        // The same rules where the text is not plain ASCII: each separator, runs of blanks, the
        // leading blanks, the ends, the tab, and characters outside the first plane.
        {"é", "É"},
        {"ñandú.éclair,über ölçer", "Ñandú.Éclair,Über Ölçer"},
        {"  élan vital", "élan Vital"},
        {"ü  ", "Ü"},
        {"à\té", "À\té"},
        {"\xF0\x90\x90\xA8 \xF0\x90\x90\xA8.\xF0\x90\x90\xA8", "\xF0\x90\x90\x80 \xF0\x90\x90\x80.\xF0\x90\x90\x80"},
        {"日本 é", "日本 É"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(TitleCased(in), out) << "input '" << in << "'";
}

} // namespace
} // namespace tarnwick
