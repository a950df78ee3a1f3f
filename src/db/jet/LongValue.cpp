#include "db/jet/LongValue.h"

#include "db/jet/DataPage.h"
#include "db/jet/RowId.h"

#include <set>

namespace tarnwick::jet {
namespace {

constexpr std::uint32_t kInline = 0x80000000;
constexpr std::uint32_t kSingleRow = 0x40000000;
constexpr std::uint32_t kLengthMask = 0x3FFFFFFF;

// The bytes of the long-value row `at`.
std::string longValueRow(const PageSource &file, RowId at) {
    const DataPage holder(file.read(at.page, "long value"), at.page);
    if (holder.owner() != kLongValueOwner)
        ThrowDamaged("a memo or OLE value points to page " + std::to_string(at.page) + ", which holds no long values");
    if (!holder.inScan(at.row))
        ThrowDamaged("a memo or OLE value points to a deleted row of page " + std::to_string(at.page));
    return holder.row(at.row).bytes();
}

ByteView viewOf(const std::string &bytes) {
    return {reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(), "long value"};
}

} // namespace

std::string ReadLongValue(const PageSource &file, ByteView field) {
    const std::uint32_t header = field.u32(0);
    const std::uint32_t length = header & kLengthMask;
    if (header & kInline)
        return field.slice(kLongValueFieldSize, length).bytes();

    RowId at = RowId::fromStored(field.u32(4));
    if (header & kSingleRow) {
        std::string row = longValueRow(file, at);
        if (row.size() < length)
            ThrowDamaged("a memo or OLE value is shorter than its stated length");
        row.resize(length);
        return row;
    }
    std::string value;
    std::set<std::uint32_t> seen;
    while (value.size() < length) {
        if (at.page == 0 || !seen.insert(at.stored()).second)
            ThrowDamaged("a memo or OLE value's chain ends or loops before its stated length");
        const std::string bytes = longValueRow(file, at);
        const ByteView row = viewOf(bytes);
        const std::size_t part =
            std::min<std::size_t>(row.size() - std::min<std::size_t>(row.size(), 4), length - value.size());
        value += row.slice(4, part).bytes();
        at = RowId::fromStored(row.u32(0));
    }
    return value;
}

std::vector<RowId> LongValueRows(const PageSource &file, ByteView field) {
    const std::uint32_t header = field.u32(0);
    if (header & kInline)
        return {};
    RowId at = RowId::fromStored(field.u32(4));
    if (header & kSingleRow)
        return {at};
    std::vector<RowId> rows;
    std::set<std::uint32_t> seen;
    std::size_t remaining = header & kLengthMask;
    while (remaining > 0) {
        if (at.page == 0 || !seen.insert(at.stored()).second)
            ThrowDamaged("a memo or OLE value's chain ends or loops before its stated length");
        const std::string bytes = longValueRow(file, at);
        const ByteView row = viewOf(bytes);
        rows.push_back(at);
        remaining -= std::min(remaining, row.size() - std::min<std::size_t>(row.size(), 4));
        at = RowId::fromStored(row.u32(0));
    }
    return rows;
}

} // namespace tarnwick::jet
