#pragma once
// The guest window's rules without its widgets: the grid of Guest, the editor panel's state, the
// click rule, save, delete and clear.
#include "app/Session.h"
#include "editors/GridFill.h"

#include <array>
#include <optional>
#include <string>

namespace tarnwick {

struct GuestEditorState {
    std::array<std::string, 22> Data; // Data(1) ... Data(21); index 0 unused
    bool Check1 = false;              // No Rent
    std::string Frame2 = "Selected Guest ";
    std::string Command3 = "Delete Guest";
    std::string Command4 = "Save Guest";
    bool editButtonsVisible = false;
    std::string NoSites = "0000";
};

class GuestEditor {
public:
    explicit GuestEditor(Session &session) : session_(session) {}

    GuestEditorState state;
    GridTable grid;

    void LoadGrid2();
    void Click(int x, int y, long row, int column);
    // Save refills the grid; Delete refills it and clears the panel. Both need a picked guest.
    void Save();
    void Delete();
    void Clear();

    // Puts `value` into the panel control that saves to `column` of Guest, as typed there. An error
    // text when no control saves to that column.
    std::optional<std::string> TypeInto(const std::string &column, const std::string &value);

    void SaveGuest();
    void DelGuest();

private:
    void pick(long row);
    Session &session_;
};

} // namespace tarnwick
