#pragma once
// A data page or long-value page: a header, a row offset table growing down from the header, and
// rows stored from the page's end upwards, each ending where the previous one starts.
#include "db/jet/PageSource.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick::jet {

class DataPage {
public:
    // Checks that `page` is a data page whose row offset table fits before its rows.
    explicit DataPage(Page page, std::uint32_t number);

    std::uint32_t number() const { return number_; }
    // The table definition page of the table owning the page, or kLongValueOwner.
    std::uint32_t owner() const { return page_.view("data page").u32(kDataOwnerAt); }
    std::uint16_t rowCount() const { return rowCount_; }
    // Whether a scan of the table reads row `row` where it is (see kRowNotInScan).
    bool inScan(std::uint16_t row) const { return !(entry(row) & kRowNotInScan); }
    // Whether row `row` holds only the pointer a moved row left.
    bool movedAway(std::uint16_t row) const { return (entry(row) & (kRowNotInScan | kRowMovedHere)) == kRowNotInScan; }
    // The bytes of row `row`, whatever its flags.
    ByteView row(std::uint16_t row) const;
    // Where row `row` starts in the page.
    std::size_t rowOffset(std::uint16_t row) const { return entry(row) & kRowOffsetMask; }

private:
    std::uint16_t entry(std::uint16_t row) const;

    Page page_;
    std::uint32_t number_;
    std::uint16_t rowCount_;
};

// An empty data page of `owner` (a table's definition page, kLongValueOwner, or 0 for a page of
// usage maps).
Page EmptyDataPage(std::uint32_t owner);

// Puts `row` into `page` (numbered `number`) as its next row when it has room; returns the row's
// number.
std::optional<std::uint16_t> InsertRow(Page &page, std::uint32_t number, const std::string &row);

} // namespace tarnwick::jet
