#include "editors/SiteEditor.h"

#include "editors/RowEdits.h"

#include <map>

namespace tarnwick {
namespace {

// The editor's numeric boxes and their columns: Data(k) for k in `boxes`, in save order.
struct NumericBox {
    int data;
    const char *field;
};
// Data(3) ... Data(11), the rates, which sit after the site-type columns.
const NumericBox kRates[] = {{3, "Daily"},    {4, "Weekly"}, {5, "Monthly"}, {6, "Daily2"}, {7, "Weekly2"},
                             {8, "Monthly2"}, {9, "Mo3"},    {10, "Mo6"},    {11, "Mo12"}};

std::vector<GridColumn> siteColumns(const Session &session) {
    std::vector<GridColumn> columns = {{"ID", 400, "ID", WhenEmpty::StopFill},
                                       {"SiteNum", 800, "Number", WhenEmpty::StopFill},
                                       {"SiteAlias", 800, "AliasNumber", WhenEmpty::StopFill},
                                       {"SiteLength", 1000, "Length", WhenEmpty::StopFill},
                                       {"SiteWidth", 1000, "Width", WhenEmpty::StopFill},
                                       {"ElecAmps", 800, "ElectricAmp", WhenEmpty::StopFill},
                                       {"HasWater", 900, "Water", WhenEmpty::StopFill},
                                       {"HasSewer", 900, "Sewer", WhenEmpty::StopFill},
                                       {"Unavailable", 1200, "UnAvail", WhenEmpty::StopFill}};
    for (int i = 1; i <= session.SiteTypeCount; ++i)
        columns.push_back({session.SiteTypeNames[i], 1200, SiteTypeColumns()[i - 1], WhenEmpty::StopFill});
    const char *const rateTitles[] = {"SumDaily$",   "SumWeekly$", "SumMonthly$", "WinDaily$", "WinWeekly$",
                                      "WinMonthly$", "3MonRate$",  "6MonRate$",   "12MonRate$"};
    for (int k = 0; k < 9; ++k)
        columns.push_back({rateTitles[k], 1200, kRates[k].field, WhenEmpty::Blank});
    columns.push_back({"PastElecMeter", 1200, "LastMeterReading", WhenEmpty::Zero});
    columns.push_back({"CurrElecMeter", 1200, "CurrentMeterReading", WhenEmpty::Zero});
    return columns;
}

const char *const kRateHelp[] = {
    "SumDaily$: This is the Summer Daily Rate for this Site. Each Site can have a specific Rate or they can all be "
    "the same.",
    "SumWeekly$: This is the Summer Weekly Rate for this Site. Each Site can have a specific Rate or they can all be "
    "the same.",
    "SumMonthly$: This is the Summer Monthly Rate for this Site. Each Site can have a specific Rate or they can all "
    "be the same.",
    "WinDaily$: This is the Winter Daily Rate for this Site. Each Site can have a specific Rate or they can all be "
    "the same.",
    "WinWeekly$: This is the Winter Weekly Rate for this Site. Each Site can have a specific Rate or they can all be "
    "the same.",
    "WinMonthly$: This is the Winter Monthly Rate for this Site. Each Site can have a specific Rate or they can all "
    "be the same.",
    "3MonRate$: This is the 3 Month Rate for this Site. Each Site can have a specific Rate or they can all be the "
    "same.",
    "6MonRate$: This is the 6 Month Rate for this Site. Each Site can have a specific Rate or they can all be the "
    "same.",
    "12MonRate$: This is the Yearly Rate for this Site. Each Site can have a specific Rate or they can all be the "
    "same.",
    "PastElecMeter: This is the Previous Electric Meter Reading for this Site.",
    "CurrElecMeter: This is the Current Electric Meter Reading for this Site.",
};

const char *const kFixedHelp[] = {
    "",
    "SiteNum: Is the Site Number for a Site. This can be changed, but should NOT be duplicated in the Database.",
    "SiteAlias: Is an Alias for the Site which can be AlphaNumeric. This is a 7 Character field that should be "
    "unique. You can use the Site Number and Alpha Characters to designate Shade, Pullthru, etc.",
    "SiteLength: Is the Max Length of a Guest Vehicle or Unit that would go into this Site. The number is used to "
    "find sites that will work for a Registering Guest if entered in their information.",
    "SiteWidth: Is the Max Width of a Guest Vehicle or Unit that would go into this Site. The number is used to find "
    "sites that will work for a Registering Guest if entered in their information.",
    "ElecAmps: Is the Max number of Electric Amps available at a particular Site. The number is used to find sites "
    "that will work for a Registering Guest if entered in their information.",
    "HasWater: (True/False) Denotes whether or not the Site has Water available. This is used to find sites that "
    "will work for a Registering Guest if entered in their information.",
    "HasSewer: (True/False) Denotes whether or not the Site has Sewer available. This is used to find sites that "
    "will work for a Registering Guest if entered in their information.",
    "Unavailable: (True/False) Denotes whether or not the Site can be Occupied.",
};

} // namespace

const std::array<const char *, 10> &SiteTypeColumns() {
    static const std::array<const char *, 10> columns = {"Tent",  "Camper", "Trailer", "Fifth",  "MH",
                                                         "Cabin", "Cabin7", "Cabin8",  "Cabin9", "Cabin10"};
    return columns;
}

void SiteEditor::LoadGrid() {
    GridFillResult fill = FillGrid(session_, "Sites", siteColumns(session_), "There are no Sites Available.", grid);
    if (!fill.count)
        return;
    state.NoSites = *fill.count;
    for (int i = 1; i <= typeCount(); ++i) {
        state.SCTypeVisible[i] = true;
        state.SCTypeCaption[i] = session_.SiteTypeNames[i];
    }
}

std::string SiteEditor::ColumnHelp(int column) const {
    const int n = typeCount();
    if (column >= 1 && column <= 8)
        return kFixedHelp[column];
    if (column > 8 && column <= 8 + n)
        return session_.SiteTypeNames[column - 8] +
               ": (True/False) This is one of the User Defined Site Types. It is used to find sites that will work "
               "for a Registering Guest if entered in their information.";
    if (column >= n + 9 && column <= n + 19)
        return kRateHelp[column - n - 9];
    return {};
}

void SiteEditor::Click(int x, int y, long row, int column) {
    GridClick click = ClassifyClick(x, y, row, column);
    switch (click.kind) {
    case GridClick::IdHelp:
        session_.prompter.notify(kIdHelp);
        break;
    case GridClick::ColumnHelp:
        if (std::string help = ColumnHelp(column); !help.empty())
            session_.prompter.notify(help);
        break;
    case GridClick::Pick:
        pick(row);
        break;
    case GridClick::Position:
        session_.prompter.notify(click.text);
        break;
    }
}

void SiteEditor::pick(long row) {
    const long id = RowId(std::string(grid.cell(row - 1, 0)));
    if (row < 1 || id == 0)
        return; // a row without an ID (never filled) picks nothing
    const int n = typeCount();
    auto cell = [&](int column) { return std::string(grid.cell(row - 1, column)); };
    const std::string number = cell(1);
    state.Frame2 = "Selected Site " + number;
    state.Data[14] = number;
    state.Data[15] = cell(2);
    state.Data[0] = cell(3);
    state.Data[1] = cell(4);
    state.Data[2] = cell(5);
    state.Check1 = cell(6) == "True";
    state.Check2 = cell(7) == "True";
    state.Check3 = cell(8) == "True";
    for (int i = 1; i <= n; ++i)
        state.SCType[i] = cell(8 + i) == "True";
    for (int k = 0; k < 9; ++k)
        state.Data[kRates[k].data] = cell(n + 9 + k);
    state.Data[12] = cell(n + 18);
    state.Data[13] = cell(n + 19);
    state.Command3 = "Delete Site " + number;
    state.Command4 = "Save Site " + number;
    state.editButtonsVisible = true;
    session_.SelectedId = id;
}

std::optional<std::string> SiteEditor::TypeInto(const std::string &column, const std::string &value) {
    static const std::map<std::string, int> boxes = {{"Length", 0},
                                                     {"Width", 1},
                                                     {"ElectricAmp", 2},
                                                     {"Daily", 3},
                                                     {"Weekly", 4},
                                                     {"Monthly", 5},
                                                     {"Daily2", 6},
                                                     {"Weekly2", 7},
                                                     {"Monthly2", 8},
                                                     {"Mo3", 9},
                                                     {"Mo6", 10},
                                                     {"Mo12", 11},
                                                     {"LastMeterReading", 12},
                                                     {"CurrentMeterReading", 13},
                                                     {"Number", 14},
                                                     {"AliasNumber", 15}};
    if (auto box = boxes.find(column); box != boxes.end()) {
        state.Data[box->second] = value;
        return std::nullopt;
    }
    const std::map<std::string, bool *> checks = {
        {"Water", &state.Check1}, {"Sewer", &state.Check2}, {"UnAvail", &state.Check3}};
    if (auto check = checks.find(column); check != checks.end()) {
        *check->second = TicksBox(value);
        return std::nullopt;
    }
    for (int t = 1; t <= 10; ++t)
        if (column == SiteTypeColumns()[t - 1]) {
            if (!state.SCTypeVisible[t])
                return "the park has " + std::to_string(typeCount()) + " site types, so " + column +
                       " has no box to tick";
            state.SCType[t] = TicksBox(value);
            return std::nullopt;
        }
    return "'" + column + "' is not a column the site editor saves";
}

void SiteEditor::assignPanel(Recordset &rs) const {
    AssignText(rs, "Length", state.Data[0], SaveRule::Numeric);
    AssignText(rs, "Width", state.Data[1], SaveRule::Numeric);
    AssignText(rs, "ElectricAmp", state.Data[2], SaveRule::Numeric);
    AssignFlag(rs, "Water", state.Check1);
    AssignFlag(rs, "Sewer", state.Check2);
    AssignFlag(rs, "UnAvail", state.Check3);
    for (int t = 1; t <= 10; ++t)
        if (state.SCTypeVisible[t])
            AssignFlag(rs, SiteTypeColumns()[t - 1], state.SCType[t]);
    for (const NumericBox &box : kRates)
        AssignText(rs, box.field, state.Data[box.data], SaveRule::Numeric);
}

void SiteEditor::SaveSite() {
    EditRow(session_, "Sites", session_.SelectedId, [this](Recordset &rs) {
        assignPanel(rs);
        AssignText(rs, "LastMeterReading", state.Data[12], SaveRule::Numeric);
        AssignText(rs, "CurrentMeterReading", state.Data[13], SaveRule::Numeric);
        AssignText(rs, "Number", state.Data[14], SaveRule::Numeric);
        AssignText(rs, "AliasNumber", state.Data[15], SaveRule::Always);
    });
}

void SiteEditor::DelSite() {
    DeleteRow(session_, "Sites", session_.SelectedId);
}

void SiteEditor::Save() {
    if (session_.SelectedId <= 0)
        return;
    SaveSite();
    LoadGrid();
}

void SiteEditor::Delete() {
    if (session_.SelectedId <= 0)
        return;
    DelSite();
    LoadGrid();
}

void SiteEditor::Clear() {
    state.Frame2 = "No Site Selected ";
    state.Data.fill({});
    state.SCType.fill(false);
    if (state.Text1 != "1") {
        state.Text1 = "1";
        Text1Changed();
    }
    state.Check1 = state.Check2 = state.Check3 = false;
    state.editButtonsVisible = false;
    session_.SelectedId = 0;
}

} // namespace tarnwick
