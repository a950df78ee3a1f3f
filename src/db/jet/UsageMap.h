#pragma once
// Usage maps: bitmaps of the pages a table (or an index, or the whole file) owns. A map is a row
// that holds either the bitmap itself, from a start page, or the pages holding bitmaps.
#include "db/jet/PageSource.h"
#include "db/jet/RowId.h"

#include <cstdint>
#include <vector>

namespace tarnwick::jet {

// The pages the map in row `map` marks, ascending.
std::vector<std::uint32_t> UsageMapPages(const PageSource &file, RowId map);

} // namespace tarnwick::jet
