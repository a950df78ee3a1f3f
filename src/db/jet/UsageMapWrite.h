#pragma once
// Changing one page's bit in a usage map.
#include "db/jet/PageWrites.h"
#include "db/jet/RowId.h"
#include "db/jet/UsageMap.h"

namespace tarnwick::jet {

// Sets (or clears) the bit of `page` in the map held in row `map`. An inline map whose range does not
// reach the page moves its bits out to map pages first; map pages are added as they are needed.
void MarkInUsageMap(PageWrites &pages, RowId map, std::uint32_t page, bool set);

// Moves each map page the map in row `map` refers to (when it refers to any) down into the page the
// next append of `pages` reuses, wherever that one lies lower; the page left is blanked and freed.
void LowerMapPages(PageWrites &pages, RowId map);

} // namespace tarnwick::jet
