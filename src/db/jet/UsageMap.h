#pragma once
// Usage maps: bitmaps of the pages a table (or an index, or the whole file) owns. A map is a row
// that holds either the bitmap itself, from a start page, or the pages holding bitmaps.
#include "db/jet/JetFormat.h"
#include "db/jet/PageSource.h"
#include "db/jet/RowId.h"

#include <cstdint>
#include <vector>

namespace tarnwick::jet {

// A map row's first byte: the bitmap follows in the row, or the numbers of the pages holding it.
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferencedMap = 0x01;
// A map page holds its bitmap after a four-byte header.
constexpr std::size_t kMapPageHeader = 4;
constexpr std::uint32_t kPagesPerMapPage = (kPageSize - kMapPageHeader) * 8;

// The file's own map, in row 0 of page 1, marks the pages that are free for reuse. Access's files mark
// the pages past their end free too.
constexpr RowId kFreePagesMap{1, 0};

// The pages the map in row `map` marks, ascending; the free pages past the file's end are left out.
std::vector<std::uint32_t> UsageMapPages(const PageSource &file, RowId map);

} // namespace tarnwick::jet
