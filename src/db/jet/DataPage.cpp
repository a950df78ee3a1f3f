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

namespace tarnwick::jet {
namespace {

// A row number is one byte of a row pointer.
constexpr std::uint16_t kMostRowsPerPage = 256;

void put16(std::uint8_t *at, std::size_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

Page EmptyDataPage(std::uint32_t owner) {
    Page page;
    page.data()[0] = static_cast<std::uint8_t>(PageType::Data);
    page.data()[1] = 0x01;
    put16(page.data() + kDataFreeSpaceAt, kPageSize - kDataRowTableAt);
    for (int i = 0; i < 4; ++i)
        page.data()[kDataOwnerAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(owner >> (8 * i));
    return page;
}

std::optional<std::uint16_t> InsertRow(Page &page, std::uint32_t number, const std::string &row) {
    const DataPage rows(page, number);
    const std::uint16_t count = rows.rowCount();
    const std::size_t free = page.view("data page").u16(kDataFreeSpaceAt);
    if (count >= kMostRowsPerPage || row.size() + 2 > free)
        return std::nullopt;
    const std::size_t end = count == 0 ? kPageSize : rows.rowOffset(static_cast<std::uint16_t>(count - 1));
    const std::size_t start = end - row.size();
    std::copy(row.begin(), row.end(), page.data() + start);
    put16(page.data() + kDataRowTableAt + 2 * std::size_t{count}, start);
    put16(page.data() + kDataRowCountAt, count + 1u);
    put16(page.data() + kDataFreeSpaceAt, free - row.size() - 2);
    return count;
}

} // namespace tarnwick::jet
