// Cloning the picked site: the count box, its button and CreateSites.
#include "base/VbNumber.h"
#include "editors/RowEdits.h"
#include "editors/SiteEditor.h"

#include <algorithm>

namespace tarnwick {
namespace {

// More clones than this in one click are refused: a park has a few thousand sites at most, and a
// count typed by mistake (1e9) would otherwise fill the disk row by row.
constexpr double kMostClones = 100000;

} // namespace

void SiteEditor::Text1Changed() {
    if (IsNumeric(state.Text1))
        state.Command1 = "Create " + state.Text1 + " Sites";
}

SiteEditor::CreateOutcome SiteEditor::Create() {
    if (session_.SelectedId == 0) {
        session_.prompter.notify("Select a Site to copy first.", Icon::Critical);
        return CreateOutcome::Refused;
    }
    const std::optional<double> count = ParseNumber(state.Text1);
    if (!count || !(*count > 0)) {
        session_.prompter.notify("The Create field must be a Number greater than 0.", Icon::Critical);
        return CreateOutcome::RefusedCount;
    }
    if (*count > kMostClones) {
        session_.prompter.notify("The Create field must be a Number no greater than 100000.", Icon::Critical);
        return CreateOutcome::RefusedCount;
    }
    std::string joined;
    for (int k = 0; k <= 13; ++k)
        joined += state.Data[k];
    const int ticked = static_cast<int>(std::count(state.SCType.begin() + 1, state.SCType.end(), true));
    if (ticked == 0) {
        session_.prompter.notify("You haven't selected any Site Types.");
        return CreateOutcome::Refused;
    }
    if (!joined.empty())
        CreateSites(static_cast<long>(RoundHalfEven(*count)));
    LoadGrid();
    return joined.empty() ? CreateOutcome::NothingToCopy : CreateOutcome::Created;
}

void SiteEditor::CreateSites(long NSites) {
    session_.SqlText = "SELECT * FROM Sites ";
    session_.LastRefusal.clear();
    Recordset rs;
    try {
        rs.Open(session_.SqlText, *session_.ParkConnection, adOpenStatic, adLockOptimistic);
    } catch (const NumberedError &error) {
        NoteRefusal(session_, error);
        return;
    }
    double next = 1;
    try {
        for (; !rs.Eof(); rs.MoveNext()) {
            Value number = rs.Fields("Number").GetValue();
            if (!number.isNull() && number.asDouble() >= next)
                next = number.asDouble() + 1;
        }
    } catch (const NumberedError &) {
    }
    try {
        session_.ParkConnection->BeginGroup(); // one commit for the clones
    } catch (const NumberedError &error) {
        NoteRefusal(session_, error);
    }
    for (long i = 0; i < NSites; ++i) {
        try {
            rs.AddNew();
        } catch (const NumberedError &error) {
            NoteRefusal(session_, error);
            continue;
        }
        const std::string number = FormatNumber(next);
        AssignText(rs, "Number", number, SaveRule::Always);
        AssignText(rs, "AliasNumber", FormatMinDigits(number, 3), SaveRule::Always);
        assignPanel(rs);
        try {
            rs.Update();
        } catch (const NumberedError &error) {
            NoteRefusal(session_, error);
            rs.CancelUpdate();
        }
        next += 1;
    }
    rs.Close();
    try {
        session_.ParkConnection->CommitGroup();
    } catch (const NumberedError &error) {
        NoteRefusal(session_, error);
    }
}

} // namespace tarnwick
