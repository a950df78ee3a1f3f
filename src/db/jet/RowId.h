#pragma once
// Where a row lives: its page and its number in that page's row offset table. Stored in four bytes,
// the row number in the lowest and the page in the upper three.
#include <cstdint>

namespace tarnwick::jet {

struct RowId {
    std::uint32_t page = 0;
    std::uint16_t row = 0;

    static RowId fromStored(std::uint32_t stored) { return {stored >> 8, static_cast<std::uint16_t>(stored & 0xFF)}; }
    std::uint32_t stored() const { return page << 8 | row; }
    bool operator==(const RowId &other) const { return page == other.page && row == other.row; }
    bool operator<(const RowId &other) const { return page != other.page ? page < other.page : row < other.row; }
};

} // namespace tarnwick::jet
