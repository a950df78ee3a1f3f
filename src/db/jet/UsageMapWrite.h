#pragma once
// Changing one page's bit in a usage map.
#include "db/jet/PageWrites.h"
#include "db/jet/RowId.h"

namespace tarnwick::jet {

// Sets (or clears) the bit of `page` in the map held in row `map`. An inline map whose range does not
// reach the page moves its bits out to map pages first; map pages are added as they are needed.
void MarkInUsageMap(PageWrites &pages, RowId map, std::uint32_t page, bool set);

// The file's own map, in row 0 of page 1, marks the pages that are free for reuse.
constexpr RowId kFreePagesMap{1, 0};

} // namespace tarnwick::jet
