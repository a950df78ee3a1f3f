#pragma once
// The site window's rules without its widgets: the grid of Sites, the editor panel's state, the
// click rule, save, delete, clear and cloning. The window copies its controls into `state`, calls
// one of these, and shows `state` and `grid` again.
#include "app/Session.h"
#include "editors/GridFill.h"

#include <array>
#include <optional>
#include <string>

namespace tarnwick {

class Recordset;

struct SiteEditorState {
    std::array<std::string, 16> Data;                    // Data(0) ... Data(15)
    bool Check1 = false, Check2 = false, Check3 = false; // Water, Sewer, Unavailable
    std::array<bool, 11> SCType{};                       // site-type boxes 1 to 10, ticked
    std::array<bool, 11> SCTypeVisible{};
    std::array<std::string, 11> SCTypeCaption;
    std::string Text1 = "1";
    std::string Frame2 = "Selected Site ";
    std::string Command1 = "Create 1 Site";
    std::string Command3 = "Delete Site";
    std::string Command4 = "Save Site";
    bool editButtonsVisible = false; // Command3, Command4, Command5
    std::string NoSites = "0000";
};

class SiteEditor {
public:
    explicit SiteEditor(Session &session) : session_(session) {}

    SiteEditorState state;
    GridTable grid;

    // Fills the grid, the count and the site-type boxes from Sites.
    void LoadGrid();
    // A click in the grid (see ClassifyClick); shows a help text or the position, or picks a row.
    void Click(int x, int y, long row, int column);
    // Save, Delete: act on the picked site (nothing when none is picked), then refill the grid.
    void Save();
    void Delete();
    void Clear();
    // "Create N Sites": checks, clones the picked site and refills the grid.
    enum class CreateOutcome { Created, NothingToCopy, Refused, RefusedCount };
    CreateOutcome Create();
    // The count box's text changed: the button caption follows a numeric count.
    void Text1Changed();

    // Puts `value` into the panel control that saves to `column` of Sites, as typed there. An error
    // text when no shown control saves to that column.
    std::optional<std::string> TypeInto(const std::string &column, const std::string &value);

    // The help text of a title-row column (empty for a column without one).
    std::string ColumnHelp(int column) const;

    void SaveSite();
    void DelSite();
    void CreateSites(long NSites);

private:
    // The columns Save and cloning both take from the panel: sizes, flags, site types and rates.
    void assignPanel(Recordset &rs) const;
    int typeCount() const { return static_cast<int>(session_.SiteTypeCount); }
    void pick(long row);

    Session &session_;
};

// The site-type flag columns of Sites, type 1 first.
const std::array<const char *, 10> &SiteTypeColumns();

} // namespace tarnwick
