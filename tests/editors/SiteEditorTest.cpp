// The site window's rules: the grid as it is filled, the click thresholds, save, delete, clear and
// cloning, against a real park.
#include "editors/SiteEditor.h"
#include "app/SiteTypes.h"
#include "editors/EditorFixture.h"

#include <cmath>

namespace tarnwick {
namespace {

using Outcome = SiteEditor::CreateOutcome;

class SiteEditorTest : public EditorFixture {
protected:
    SiteEditor editor{session};
};

// The columns follow the site types. The count has at least four digits; an empty table or an empty
// value where the fill stops says there are no sites and leaves the count and boxes as they were,
// the rows before it filled.
TEST_F(SiteEditorTest, TheGridFollowsTheSiteTypesAndStopsAtAnEmptyValue) {
    RebuildSiteTypeNames(session, {"", "Tent"});
    editor.LoadGrid();
    EXPECT_EQ(prompter.shown.at(0).icon, Icon::Information);
    EXPECT_EQ(editor.grid.columnCount(), 0);
    Row noLength = site(3);
    noLength["Length"] = Value::null(); // as a park made before the column defaults holds it
    insert("Sites", {site(1), site(2), noLength, site(4)});
    editor.LoadGrid();
    EXPECT_EQ(prompter.texts(), (Texts{"There are no Sites Available.", "There are no Sites Available."}));
    EXPECT_EQ(editor.grid.rowCount(), 4);
    // The third row filled up to the empty length, the fourth never reached.
    EXPECT_EQ((Texts{editor.grid.rowTexts(2)[2], editor.grid.rowTexts(2)[3], std::string(editor.grid.cell(3, 0))}),
              (Texts{"A3", "", ""}));
    EXPECT_EQ(editor.state.NoSites, "0000");
    EXPECT_FALSE(editor.state.SCTypeVisible[1]);

    emptyTable("Sites");
    Row emptyRates = site(1);
    emptyRates["Daily"] = emptyRates["LastMeterReading"] = Value::null(); // as older parks hold them
    insert("Sites", {emptyRates});
    for (int n : {0, 3}) {
        SCOPED_TRACE(n);
        RebuildSiteTypeNames(session, n ? SiteTypeBoxes{"", "Tent", "RV", "Cabin"} : SiteTypeBoxes{});
        editor.LoadGrid();
        ASSERT_EQ(editor.grid.columnCount(), n + 20);
        EXPECT_EQ(editor.grid.titles[n + 9], "SumDaily$");
        EXPECT_EQ(editor.state.SCTypeVisible[3], n == 3);
        EXPECT_FALSE(editor.state.SCTypeVisible[4]);
    }
    EXPECT_EQ((Texts{editor.grid.titles[9], editor.grid.titles[11]}), (Texts{"Tent", "Cabin"}));
    // The fifth row written: an empty rate is blank, an empty meter reading 0, rates not written hold
    // the default 0, flags read True or False.
    EXPECT_EQ(editor.grid.rowTexts(0),
              (Texts{"5", "1", "A1", "40", "12", "30", "True", "False", "False", "False", "False", "False",
                     "",  "0", "0",  "0",  "0",  "0",  "0",    "0",     "0",     "0",     "0"}));
    // The count grows past four digits.
    std::vector<Row> sites;
    for (int i = 2; i <= 12345; ++i)
        sites.push_back(site(i));
    insert("Sites", sites);
    editor.LoadGrid();
    EXPECT_EQ(editor.state.NoSites, "12345");
    EXPECT_EQ(editor.grid.rowCount(), 12345);
}

// Clicks on either side of each threshold. Save writes what its rules allow and skips the rest;
// with nothing picked, or the row gone meanwhile, save and delete do nothing; Clear forgets the pick
// and resets the count.
TEST_F(SiteEditorTest, ClicksSaveDeleteAndClear) {
    RebuildSiteTypeNames(session, {"", "Tent"});
    insert("Sites", {site(1), site(2), site(3)});
    editor.Save();
    editor.Delete();
    editor.LoadGrid();
    const std::string idHelp = "ID: This is an AutoNumber field used by the Program and cannot be altered by the User.";
    const std::string tentHelp = "Tent: (True/False) This is one of the User Defined Site Types. It is used to find "
                                 "sites that will work for a Registering Guest if entered in their information.";
    // x, y, row, column; what is said; the site picked
    const std::tuple<int, int, long, int, Texts, long> cases[] = {
        {300, 0, 0, 0, {idHelp}, 0}, // the title band: the ID help up to x 300
        {301, 0, 0, 0, {}, 0},
        {301, 200, 0, 1, {editor.ColumnHelp(1)}, 0}, // right of it the column's help, down to y 200
        {900, 10, 0, 9, {tentHelp}, 0},
        {400, 201, 2, 0, {}, 2}, // below the band a click up to x 400 picks
        {401, 300, 3, 1, {"Col=1 Row=3"}, 0},
        {10, 300, 9, 0, {}, 0}, // a row the fill never reached holds no ID
    };
    for (const auto &[x, y, row, column, said, picked] : cases) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y) + " row " + std::to_string(row));
        prompter.shown.clear();
        session.SelectedId = 0;
        editor.Click(x, y, row, column);
        EXPECT_EQ(prompter.texts(), said);
        EXPECT_EQ(session.SelectedId, picked);
    }
    EXPECT_EQ((Texts{editor.state.Frame2, editor.state.Command4}), (Texts{"Selected Site 2", "Save Site 2"}));
    EXPECT_TRUE(editor.state.editButtonsVisible);

    editor.Click(200, 300, 2, 0);
    // Length and Width not numeric: unchanged; Number; an alias of more than 7 characters: refused,
    // the rest saved; Daily.
    for (const auto &[box, typed] :
         std::vector<std::pair<int, std::string>>{{0, ""}, {1, "abc"}, {14, "22"}, {15, "TOOLONGALIAS"}, {3, "35.5"}})
        editor.state.Data[box] = typed;
    editor.state.Check3 = true;
    editor.Save();
    const Texts fields = {"Number", "Length", "Width", "AliasNumber", "Daily", "UnAvail"};
    EXPECT_EQ(values("Sites", 0, fields), (Texts{"1", "40", "12", "A1", "0", "False"}));
    EXPECT_EQ(values("Sites", 1, fields), (Texts{"22", "40", "12", "A2", "35.5", "True"}));
    EXPECT_EQ(editor.grid.cell(1, 1), "22") << "the grid is refilled";
    editor.state.Data[15] = "";
    editor.Save();
    EXPECT_EQ(column("Sites", "AliasNumber"), (Texts{"A1", "", "A3"}));

    editor.Delete();
    EXPECT_EQ(column("Sites", "Number"), (Texts{"1", "3"}));
    EXPECT_EQ(session.SelectedId, 2) << "the editor keeps the deleted site";
    editor.state.Data[14] = "5";
    editor.Save();
    EXPECT_EQ(column("Sites", "Number"), (Texts{"1", "3"}));

    editor.state.Text1 = "4";
    editor.Text1Changed();
    editor.Clear();
    EXPECT_EQ((Texts{editor.state.Frame2, editor.state.Command1, editor.state.Data[14]}),
              (Texts{"No Site Selected ", "Create 1 Sites", ""}));
    EXPECT_FALSE(editor.state.editButtonsVisible);
    EXPECT_EQ(session.SelectedId, 0);
}

// Clones number on from the highest site whatever the order, with three-digit aliases and no meter
// readings; what Create refuses, and what it makes of counts with fractions, at and past its limit.
TEST_F(SiteEditorTest, ClonesNumberOnFromTheHighestSiteAndCreateChecksItsCount) {
    RebuildSiteTypeNames(session, {"", "Tent", "RV"});
    const double none = std::nan("");
    const std::string count = "The Create field must be a Number greater than 0.";
    const std::string most = "The Create field must be a Number no greater than 100000.";
    const std::string noNumber = "There are no Sites Available."; // said by the refill stopping at a site without one
    enum : int { Pick = 1, Tick = 2, EmptyPanel = 4 };
    // The sites' numbers (the first is picked; NaN for a row without a number), the count typed, what
    // is done before Create; the outcome, what is said, the numbers and aliases added.
    const std::tuple<std::vector<double>, std::string, int, Outcome, std::string, Texts, Texts> cases[] = {
        {{1}, "1", Pick | Tick, Outcome::Created, "", {"2"}, {"002"}},
        {{1, 2, 3, 10, none}, "3", Pick | Tick, Outcome::Created, noNumber, {"11", "12", "13"}, {"011", "012", "013"}},
        {{3, 10, 2}, "2", Pick | Tick, Outcome::Created, "", {"11", "12"}, {"011", "012"}},
        {{-5}, "1", Pick | Tick, Outcome::Created, "", {"1"}, {"001"}},
        {{0}, "1", Pick | Tick, Outcome::Created, "", {"1"}, {"001"}},
        {{41, none}, "2", Pick | Tick, Outcome::Created, noNumber, {"42", "43"}, {"042", "043"}},
        {{998}, "2", Pick | Tick, Outcome::Created, "", {"999", "1000"}, {"999", "1000"}},
        {{1}, "2", Tick, Outcome::Refused, "Select a Site to copy first.", {}, {}},
        {{1}, "abc", Tick, Outcome::Refused, "Select a Site to copy first.", {}, {}},
        {{1}, "0", Pick | Tick, Outcome::RefusedCount, count, {}, {}},
        {{1}, "", Pick | Tick, Outcome::RefusedCount, count, {}, {}},
        {{1}, "abc", Pick | Tick, Outcome::RefusedCount, count, {}, {}},
        {{1}, "2", Pick, Outcome::Refused, "You haven't selected any Site Types.", {}, {}},
        {{1}, "0.4", Pick | Tick, Outcome::Created, "", {}, {}},
        {{1}, "2.5", Pick | Tick, Outcome::Created, "", {"2", "3"}, {"002", "003"}},
        {{1}, "3.5", Pick | Tick, Outcome::Created, "", {"2", "3", "4", "5"}, {"002", "003", "004", "005"}},
        // With nothing in the panel to copy, no row is written even at the count's limit.
        {{1}, "100000", Pick | Tick | EmptyPanel, Outcome::NothingToCopy, "", {}, {}},
        {{1}, "100000.4", Pick | Tick | EmptyPanel, Outcome::RefusedCount, most, {}, {}},
    };
    for (const auto &[sites, text, done, outcome, said, added, aliases] : cases) {
        SCOPED_TRACE("'" + text + "' after " + std::to_string(sites.size()) + " sites from " +
                     std::to_string(sites[0]));
        emptyTable("Sites");
        std::vector<Row> rows;
        for (double n : sites) {
            rows.push_back(site(std::isnan(n) ? 0 : n));
            rows.back()["LastMeterReading"] = Value::number(1234);
            if (std::isnan(n))
                rows.back()["Number"] = Value::null();
        }
        insert("Sites", rows);
        editor.LoadGrid();
        session.SelectedId = 0;
        if (done & Pick)
            editor.Click(100, 300, 1, 0);
        if (done & EmptyPanel)
            editor.state.Data.fill({});
        editor.state.SCType[2] = done & Tick;
        editor.state.Text1 = text;
        prompter.shown.clear();
        EXPECT_EQ(editor.Create(), outcome);
        EXPECT_EQ(prompter.texts(), said.empty() ? Texts{} : Texts{said});
        const Texts numbers = column("Sites", "Number"), aliasNumbers = column("Sites", "AliasNumber");
        EXPECT_EQ(Texts(numbers.begin() + sites.size(), numbers.end()), added);
        EXPECT_EQ(Texts(aliasNumbers.begin() + sites.size(), aliasNumbers.end()), aliases);
        if (!added.empty())
            EXPECT_EQ(column("Sites", "LastMeterReading").back() + column("Sites", "Camper").back(), "0True")
                << "clones get no meter readings, and the type ticked";
    }
}

} // namespace
} // namespace tarnwick
