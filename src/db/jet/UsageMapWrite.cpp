#include "db/jet/UsageMapWrite.h"

#include "db/jet/DataPage.h"
#include "db/jet/UsageMap.h"

#include <string>

namespace tarnwick::jet {
namespace {

void setBit(std::uint8_t *bitmap, std::size_t bit, bool set) {
    if (set)
        bitmap[bit / 8] = static_cast<std::uint8_t>(bitmap[bit / 8] | 1 << (bit % 8));
    else
        bitmap[bit / 8] = static_cast<std::uint8_t>(bitmap[bit / 8] & ~(1 << (bit % 8)));
}

// A fresh map page: the page type, a constant 1, two unused bytes, then the bitmap.
Page emptyMapPage() {
    Page page;
    page.data()[0] = static_cast<std::uint8_t>(PageType::UsageMap);
    page.data()[1] = 0x01;
    return page;
}

// The pages an inline map marks.
std::vector<std::uint32_t> inlineMarks(ByteView row) {
    std::vector<std::uint32_t> marked;
    const std::uint32_t first = row.u32(1);
    for (std::size_t bit = 0; bit < (row.size() - 5) * 8; ++bit)
        if (row.u8(5 + bit / 8) >> (bit % 8) & 1)
            marked.push_back(first + static_cast<std::uint32_t>(bit));
    return marked;
}

} // namespace

void MarkInUsageMap(PageWrites &pages, RowId map, std::uint32_t page, bool set) {
    Page holder = pages.read(map.page, "usage map");
    const DataPage rows(holder, map.page);
    const ByteView row = rows.row(map.row);
    const std::size_t rowAt = rows.rowOffset(map.row);
    if (row.size() < 5)
        ThrowDamaged("a usage map on page " + std::to_string(map.page) + " is shorter than its header");
    if (row.u8(0) == kInlineMap) {
        const std::uint32_t first = row.u32(1);
        if (page >= first && page - first < (row.size() - 5) * 8) {
            setBit(holder.data() + rowAt + 5, page - first, set);
            pages.write(map.page, std::move(holder));
            return;
        }
        // The page lies outside the inline map's range: the map moves out to map pages, each
        // covering its share of all pages, and the row keeps their numbers.
        const std::vector<std::uint32_t> marked = inlineMarks(row);
        std::fill(holder.data() + rowAt, holder.data() + rowAt + row.size(), 0);
        holder.data()[rowAt] = kReferencedMap;
        pages.write(map.page, std::move(holder));
        for (std::uint32_t kept : marked)
            MarkInUsageMap(pages, map, kept, true);
        MarkInUsageMap(pages, map, page, set);
        return;
    }
    if (row.u8(0) != kReferencedMap)
        ThrowDamaged("a usage map on page " + std::to_string(map.page) + " is of unknown kind");
    const std::size_t slot = page / kPagesPerMapPage;
    if (1 + 4 * slot + 4 > row.size())
        throw DbError(dberr::StorageFailure, "The database file has reached the largest size its page maps cover.");
    std::uint32_t mapPage = row.u32(1 + 4 * slot);
    if (mapPage == 0) {
        mapPage = pages.append(emptyMapPage());
        for (int i = 0; i < 4; ++i)
            holder.data()[rowAt + 1 + 4 * slot + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(mapPage >> (8 * i));
        pages.write(map.page, std::move(holder));
        MarkInUsageMap(pages, kFreePagesMap, mapPage, false);
    }
    Page bitmap = pages.read(mapPage, "usage map");
    if (bitmap.type() != PageType::UsageMap)
        ThrowDamaged("page " + std::to_string(mapPage) + " was expected to hold a usage map");
    setBit(bitmap.data() + kMapPageHeader, page % kPagesPerMapPage, set);
    pages.write(mapPage, std::move(bitmap));
}

void LowerMapPages(PageWrites &pages, RowId map) {
    if (map.page == 0) // a table without a map of this kind
        return;
    for (std::size_t slot = 0;; ++slot) {
        Page holder = pages.read(map.page, "usage map");
        const DataPage rows(holder, map.page);
        const ByteView row = rows.row(map.row);
        if (row.size() < 5 || row.u8(0) != kReferencedMap || 1 + 4 * slot + 4 > row.size())
            return;
        const std::uint32_t mapPage = row.u32(1 + 4 * slot);
        const std::optional<std::uint32_t> lower = pages.nextReused();
        if (mapPage == 0 || !lower || *lower > mapPage)
            continue;
        const std::uint32_t moved = pages.append(pages.read(mapPage, "usage map"));
        const std::size_t slotAt = rows.rowOffset(map.row) + 1 + 4 * slot;
        for (int i = 0; i < 4; ++i)
            holder.data()[slotAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(moved >> (8 * i));
        pages.write(map.page, std::move(holder));
        pages.write(mapPage, Page());
        // The file's own map may be the one moved: its bits are now read from the new page.
        MarkInUsageMap(pages, kFreePagesMap, moved, false);
        MarkInUsageMap(pages, kFreePagesMap, mapPage, true);
    }
}

} // namespace tarnwick::jet
