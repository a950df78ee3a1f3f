#include "db/jet/DataPage.h"

#include <string>

namespace tarnwick::jet {

DataPage::DataPage(Page page, std::uint32_t number) : page_(std::move(page)), number_(number) {
    if (page_.type() != PageType::Data)
        ThrowDamaged("page " + std::to_string(number) + " was expected to hold rows but is of another kind");
    rowCount_ = page_.view("data page").u16(kDataRowCountAt);
    if (kDataRowTableAt + 2 * static_cast<std::size_t>(rowCount_) > kPageSize)
        ThrowDamaged("the row offset table of page " + std::to_string(number) + " runs past the page");
}

std::uint16_t DataPage::entry(std::uint16_t row) const {
    if (row >= rowCount_)
        ThrowDamaged("a pointer names row " + std::to_string(row) + " of page " + std::to_string(number_) +
                     ", which has " + std::to_string(rowCount_) + " rows");
    return page_.view("data page").u16(kDataRowTableAt + 2 * std::size_t{row});
}

ByteView DataPage::row(std::uint16_t row) const {
    const std::size_t start = entry(row) & kRowOffsetMask;
    const std::size_t end = row == 0 ? kPageSize : entry(static_cast<std::uint16_t>(row - 1)) & kRowOffsetMask;
    const std::size_t tableEnd = kDataRowTableAt + 2 * std::size_t{rowCount_};
    if (start < tableEnd || start > end || end > kPageSize)
        ThrowDamaged("row " + std::to_string(row) + " of page " + std::to_string(number_) +
                     " lies outside the page's free area");
    return page_.view("row").slice(start, end - start);
}

} // namespace tarnwick::jet
