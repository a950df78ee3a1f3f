#pragma once
// Packing a table, as compaction does: its rows are read, every page that held them, their long
// values and their index entries is given back to the file's free pages (blanked, so that no deleted
// row stays readable), and the rows are put back in AutoNumber order, each keeping its AutoNumber,
// onto as few of those pages as they need, lowest first, so that the pages left free gather at the
// file's end. Pages of other objects are not touched.
#include "db/jet/PageWrites.h"
#include "db/jet/TableDef.h"

#include <string>

namespace tarnwick::jet {

// Packs the table `name` defined by `table` within the write `pages`. A table the engine cannot keep
// consistent is refused in a sentence before anything is written.
void PackTable(PageWrites &pages, const TableDef &table, const std::string &name);

} // namespace tarnwick::jet
