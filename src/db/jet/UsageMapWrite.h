#pragma once
// Changing one page's bit in a usage map.
#include "db/jet/PageWrites.h"
#include "db/jet/RowId.h"
#include "db/jet/UsageMap.h"

namespace tarnwick::jet {

// Sets (or clears) the bit of `page` in the map held in row `map`. An inline map whose range does not
// reach the page moves its bits out to map pages first; map pages are added as they are needed.
void MarkInUsageMap(PageWrites &pages, RowId map, std::uint32_t page, bool set);

} // namespace tarnwick::jet
