#pragma once
// What the import needs to know of a worksheet before reading its rows: which rows of column 1 and
// which columns of row 1 hold something, and the cells of row 1. One streaming pass gathers it.
#include "sheet/Workbook.h"

#include <vector>

namespace tarnwick {

struct SheetOutline {
    std::vector<bool> column1Filled = std::vector<bool>(Workbook::kRows + 1); // by row, from 1
    std::vector<bool> row1Filled = std::vector<bool>(Workbook::kColumns + 1); // by column, from 1
    std::vector<Cell> row1;                                                   // index 0 = column 1
};

SheetOutline OutlineSheet(Workbook &book, int sheet);

// Excel's End(xlUp) and End(xlToLeft) over the filled flags: from `from`, the edge of the block of
// filled cells the start belongs to, or else the nearest filled cell; 1 when there is none.
int EndMove(const std::vector<bool> &filled, int from);

// The last filled row or column of a sheet, found by EndMove from the sheet's last one, `count`;
// `count` itself when that one is filled (a sheet filled to its last row), where Excel's move would
// go on up to the top of the block.
int LastFilled(const std::vector<bool> &filled, int count);

} // namespace tarnwick
