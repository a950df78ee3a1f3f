#include "sheet/SheetOutline.h"

namespace tarnwick {

SheetOutline OutlineSheet(Workbook &book, int sheet) {
    SheetOutline outline;
    auto rows = book.rows(sheet);
    while (rows.next()) {
        if (!rows.cell(1).isEmpty())
            outline.column1Filled[rows.row()] = true;
        if (rows.row() == 1) {
            outline.row1 = rows.cells();
            for (int c = 1; c <= static_cast<int>(outline.row1.size()); ++c)
                outline.row1Filled[c] = !outline.row1[c - 1].isEmpty();
        }
    }
    return outline;
}

int EndMove(const std::vector<bool> &filled, int from) {
    int at = from;
    if (at <= 1)
        return 1;
    if (filled[at] && filled[at - 1]) {
        while (at > 1 && filled[at - 1])
            --at;
        return at;
    }
    --at;
    while (at > 1 && !filled[at])
        --at;
    return at;
}

int LastFilled(const std::vector<bool> &filled, int count) {
    return filled[count] ? count : EndMove(filled, count);
}

} // namespace tarnwick
