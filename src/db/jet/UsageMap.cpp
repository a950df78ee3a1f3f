#include "db/jet/UsageMap.h"

#include "db/jet/DataPage.h"

#include <string>

namespace tarnwick::jet {
namespace {

// Appends the page of every bit set in `bitmap`, bit 0 of byte 0 standing for page `first`. Only the
// map of free pages may mark pages past the file's end.
void addMarkedPages(const PageSource &file, ByteView bitmap, std::uint64_t first, bool freePages,
                    std::vector<std::uint32_t> &pages) {
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        const std::uint8_t bits = bitmap.u8(byte);
        for (int bit = 0; bits && bit < 8; ++bit) {
            if (!(bits & 1 << bit))
                continue;
            const std::uint64_t page = first + byte * 8 + static_cast<std::uint64_t>(bit);
            if (page >= file.pageCount() && freePages)
                return;
            if (page >= file.pageCount())
                ThrowDamaged("a usage map marks page " + std::to_string(page) + " of a file of " +
                             std::to_string(file.pageCount()) + " pages");
            pages.push_back(static_cast<std::uint32_t>(page));
        }
    }
}

} // namespace

std::vector<std::uint32_t> UsageMapPages(const PageSource &file, RowId map) {
    const DataPage holder(file.read(map.page, "usage map"), map.page);
    const ByteView row = holder.row(map.row);
    std::vector<std::uint32_t> pages;
    const bool freePages = map == kFreePagesMap;
    switch (row.u8(0)) {
    case kInlineMap:
        addMarkedPages(file, row.slice(5, row.size() - 5), row.u32(1), freePages, pages);
        break;
    case kReferencedMap:
        for (std::size_t slot = 0; 1 + 4 * slot + 4 <= row.size(); ++slot) {
            const std::uint32_t mapPage = row.u32(1 + 4 * slot);
            if (mapPage == 0)
                continue;
            const Page bitmapPage = file.read(mapPage, "usage map");
            if (bitmapPage.type() != PageType::UsageMap)
                ThrowDamaged("page " + std::to_string(mapPage) + " was expected to hold a usage map");
            addMarkedPages(file, bitmapPage.view("usage map").slice(kMapPageHeader, kPageSize - kMapPageHeader),
                           std::uint64_t{kPagesPerMapPage} * slot, freePages, pages);
        }
        break;
    default:
        ThrowDamaged("a usage map on page " + std::to_string(map.page) + " is of unknown kind " +
                     std::to_string(row.u8(0)));
    }
    return pages;
}

} // namespace tarnwick::jet
