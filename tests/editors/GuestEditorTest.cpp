// The guest window's rules: the grid, picking, the save rules per box, delete and clear.
#include "editors/GuestEditor.h"
#include "editors/EditorFixture.h"

namespace tarnwick {
namespace {

class GuestEditorTest : public EditorFixture {
protected:
    GuestEditor editor{session};
    static Row guest(const std::string &name) {
        return {{"Name", Value(name)},
                {"Email", Value(name + "@example.com")},
                {"Arrival", Value("6/1/2024")},
                {"NoPeople", Value::number(2)}};
    }
};

TEST_F(GuestEditorTest, GridPickSaveByRuleDeleteAndClear) {
    editor.LoadGrid2();
    EXPECT_EQ(prompter.texts(), Texts{"There are no Guests Available."});
    insert("Guest", {guest("Smith, Ann"), guest("Jones, Bo"), {{"City", Value("Nowhere")}}});
    editor.LoadGrid2();
    ASSERT_EQ(editor.grid.columnCount(), 23);
    EXPECT_EQ((Texts{editor.grid.titles[15], editor.grid.titles[22]}), (Texts{"NoRent", "Site"}));
    // Empty texts and dates are blank, numbers hold the table's default 0; NoRent is always written;
    // dates in the short form.
    EXPECT_EQ(editor.grid.rowTexts(2), (Texts{"3", "",  "", "",      "Nowhere", "",  "", "", "", "", "", "",
                                              "",  "0", "", "False", "0",       "0", "", "", "", "", ""}));
    EXPECT_EQ(editor.grid.cell(0, 11), "6/1/2024");

    prompter.shown.clear();
    editor.Click(0, 100, 0, 0);   // the ID area of the title row
    editor.Click(900, 100, 0, 1); // the Name title: nothing
    editor.Click(390, 250, 2, 0);
    EXPECT_EQ(prompter.texts(), Texts{"ID: This is an AutoNumber field used by the Program and cannot be altered by "
                                      "the User."});
    EXPECT_EQ(session.SelectedId, 2);
    EXPECT_EQ((Texts{editor.state.Frame2, editor.state.Command3}), (Texts{"Selected Guest 2", "Delete Guest 2"}));

    // Email written empty; not a date: Arrival unchanged; Departure; not numeric: NoPeople unchanged;
    // a long note kept whole; a State of more than 2 characters refused, the rest saved.
    for (const auto &[box, typed] : std::vector<std::pair<int, std::string>>{
             {9, ""}, {15, "13/45/2004"}, {16, "7/4/2024"}, {18, "two"}, {10, std::string(10000, 'n')}, {5, "Texas"}})
        editor.state.Data[box] = typed;
    editor.state.Check1 = true;
    editor.Save();
    EXPECT_EQ(values("Guest", 0, {"Email", "NoRent"}), (Texts{"Smith, Ann@example.com", "False"}));
    EXPECT_EQ(values("Guest", 1, {"Email", "Arrival", "Departure", "NoPeople", "State", "NoRent"}),
              (Texts{"", "6/1/2024", "7/4/2024", "2", "", "True"}));
    EXPECT_EQ(column("Guest", "Notes")[1].size(), 10000u);
    editor.Click(390, 250, 2, 0);
    EXPECT_TRUE(editor.state.Check1) << "a pick ticks NoRent from the refilled grid";

    editor.Delete();
    EXPECT_EQ(column("Guest", "Name"), (Texts{"Smith, Ann", ""}));
    EXPECT_EQ((Texts{editor.state.NoSites, editor.state.Frame2}), (Texts{"0002", "No Guest Selected "}))
        << "the grid is refilled";
    EXPECT_FALSE(editor.state.editButtonsVisible);
    EXPECT_EQ(session.SelectedId, 0);
    editor.Delete(); // nothing picked: nothing happens
    EXPECT_EQ(column("Guest", "Name").size(), 2u);
}

} // namespace
} // namespace tarnwick
