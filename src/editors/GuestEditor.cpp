#include "editors/GuestEditor.h"

#include "editors/RowEdits.h"

namespace tarnwick {
namespace {

// Box Data(k), the grid column it is filled from, its column of Guest and its save rule, in the
// order Save writes them.
struct GuestBox {
    int data;
    int gridColumn;
    const char *field;
    SaveRule rule;
};
const GuestBox kBoxes[] = {
    {1, 1, "Name", SaveRule::Always},          {2, 2, "Address1", SaveRule::Always},
    {3, 3, "Address2", SaveRule::Always},      {4, 4, "City", SaveRule::Always},
    {5, 5, "State", SaveRule::Always},         {6, 6, "Zip", SaveRule::Always},
    {7, 7, "Phone", SaveRule::Always},         {8, 20, "Cell", SaveRule::Always},
    {9, 18, "Email", SaveRule::Always},        {10, 21, "Notes", SaveRule::Always},
    {11, 8, "Vehicle", SaveRule::Always},      {12, 19, "VIN", SaveRule::Always},
    {13, 9, "LicensePlate", SaveRule::Always}, {14, 10, "DLNumber", SaveRule::Always},
    {15, 11, "Arrival", SaveRule::Date},       {16, 12, "Departure", SaveRule::Date},
    {17, 22, "Site", SaveRule::Always},        {18, 13, "NoPeople", SaveRule::Numeric},
    {19, 16, "Length", SaveRule::Numeric},     {20, 17, "Width", SaveRule::Numeric},
    {21, 14, "Pets", SaveRule::Always},
};
constexpr int kNoRentColumn = 15;

const std::vector<GridColumn> &guestColumns() {
    static const std::vector<GridColumn> columns = {
        {"ID", 400, "ID", WhenEmpty::WriteAnyway},
        {"Name", 2800, "Name", WhenEmpty::Blank},
        {"Address1", 2000, "Address1", WhenEmpty::Blank},
        {"Address2", 800, "Address2", WhenEmpty::Blank},
        {"City", 1200, "City", WhenEmpty::Blank},
        {"State", 600, "State", WhenEmpty::Blank},
        {"Zip", 900, "Zip", WhenEmpty::Blank},
        {"Phone", 1200, "Phone", WhenEmpty::Blank},
        {"Vehicle", 1000, "Vehicle", WhenEmpty::Blank},
        {"LicensePlate", 1000, "LicensePlate", WhenEmpty::Blank},
        {"DLNumber", 1000, "DLNumber", WhenEmpty::Blank},
        {"Arrival", 1000, "Arrival", WhenEmpty::Blank},
        {"Departure", 1000, "Departure", WhenEmpty::Blank},
        {"NoPeople", 800, "NoPeople", WhenEmpty::Blank},
        {"Pets", 800, "Pets", WhenEmpty::Blank},
        {"NoRent", 800, "NoRent", WhenEmpty::WriteAnyway},
        {"Length", 800, "Length", WhenEmpty::Blank},
        {"Width", 800, "Width", WhenEmpty::Blank},
        {"Email", 1800, "Email", WhenEmpty::Blank},
        {"VIN", 1200, "VIN", WhenEmpty::Blank},
        {"Cell", 1200, "Cell", WhenEmpty::Blank},
        {"Notes", 2200, "Notes", WhenEmpty::Blank},
        {"Site", 900, "Site", WhenEmpty::Blank},
    };
    return columns;
}

} // namespace

void GuestEditor::LoadGrid2() {
    GridFillResult fill = FillGrid(session_, "Guest", guestColumns(), "There are no Guests Available.", grid);
    if (fill.count)
        state.NoSites = *fill.count;
}

void GuestEditor::Click(int x, int y, long row, int column) {
    GridClick click = ClassifyClick(x, y, row, column);
    if (click.kind == GridClick::IdHelp)
        session_.prompter.notify(kIdHelp);
    else if (click.kind == GridClick::Pick)
        pick(row);
    else if (click.kind == GridClick::Position)
        session_.prompter.notify(click.text);
}

void GuestEditor::pick(long row) {
    const std::string id(grid.cell(row - 1, 0));
    if (row < 1 || RowId(id) == 0)
        return; // a row without an ID (never filled) picks nothing
    state.Frame2 = "Selected Guest " + id;
    for (const GuestBox &box : kBoxes)
        state.Data[box.data] = std::string(grid.cell(row - 1, box.gridColumn));
    state.Check1 = grid.cell(row - 1, kNoRentColumn) == "True";
    state.Command3 = "Delete Guest " + id;
    state.Command4 = "Save Guest " + id;
    state.editButtonsVisible = true;
    session_.SelectedId = RowId(id);
}

std::optional<std::string> GuestEditor::TypeInto(const std::string &column, const std::string &value) {
    if (column == "NoRent") {
        state.Check1 = TicksBox(value);
        return std::nullopt;
    }
    for (const GuestBox &box : kBoxes)
        if (column == box.field) {
            state.Data[box.data] = value;
            return std::nullopt;
        }
    return "'" + column + "' is not a column the guest editor saves";
}

void GuestEditor::SaveGuest() {
    EditRow(session_, "Guest", session_.SelectedId, [this](Recordset &rs) {
        for (const GuestBox &box : kBoxes) {
            AssignText(rs, box.field, state.Data[box.data], box.rule);
            if (box.data == 10) // NoRent is saved right after Notes
                AssignFlag(rs, "NoRent", state.Check1);
        }
    });
}

void GuestEditor::DelGuest() {
    DeleteRow(session_, "Guest", session_.SelectedId);
}

void GuestEditor::Save() {
    if (session_.SelectedId <= 0)
        return;
    SaveGuest();
    LoadGrid2();
}

void GuestEditor::Delete() {
    if (session_.SelectedId <= 0)
        return;
    DelGuest();
    LoadGrid2();
    Clear();
}

void GuestEditor::Clear() {
    state.Frame2 = "No Guest Selected ";
    state.Data.fill({});
    state.Check1 = false;
    state.editButtonsVisible = false;
    session_.SelectedId = 0;
}

} // namespace tarnwick
