#pragma once
// Filling an editor's grid from a park table, and the click rule of its grid; shared by the site
// and the guest window.
#include "app/Session.h"
#include "editors/GridTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// What a column shows when its value is empty (Null or "").
enum class WhenEmpty { StopFill, Blank, Zero, WriteAnyway };

struct GridColumn {
    std::string title;
    int width; // twips
    std::string field;
    WhenEmpty empty;
};

struct GridFillResult {
    // Whether the grid was cleared and refilled (an empty table fails before, keeping the old grid).
    bool refilled = false;
    // The rows written, when the fill ran to its end ("0000" form); nothing when it stopped.
    std::optional<std::string> count;
};

// Fills `grid` with every row of `table`. Any failure, an empty table included, shows
// `stopMessage` (information icon) and ends the fill where it stands.
GridFillResult FillGrid(Session &session, const std::string &table, const std::vector<GridColumn> &columns,
                        const std::string &stopMessage, GridTable &grid);

// A click in a grid: x and y in twips from the grid's top-left corner; row and column under the
// pointer (row 0 is the title row).
struct GridClick {
    enum Kind { IdHelp, ColumnHelp, Pick, Position } kind;
    long row = 0;
    int column = 0;
    std::string text; // the position message
};
GridClick ClassifyClick(int x, int y, long row, int column);

// The ID text shown for a click on the first 300 twips of the title row.
extern const char *const kIdHelp;

} // namespace tarnwick
