#include "db/jet/IndexKey.h"

#include "db/jet/GeneralSortKey.h"

#include <cmath>
#include <cstring>

namespace tarnwick::jet {
namespace {

constexpr char kValueFlag = 0x7F;
constexpr char kNullFlag = 0x00;

// A whole number big-endian with its sign bit flipped, so that negative numbers sort first.
std::string signedBigEndian(std::int64_t value, int bytes) {
    std::string out;
    const auto bits = static_cast<std::uint64_t>(value);
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>(bits >> (8 * i) & 0xFF);
    out[0] = static_cast<char>(out[0] ^ 0x80);
    return out;
}

// A date's eight bytes big-endian with the sign bit set, which sorts dates from 1899-12-30 on. Access's
// keys show no date before it (a negative number), so those are left out, and so is -0.
std::optional<std::string> dateKey(double serial) {
    if (std::signbit(serial) || std::isnan(serial))
        return std::nullopt;
    std::int64_t bits = 0;
    std::memcpy(&bits, &serial, sizeof bits);
    return kValueFlag + signedBigEndian(bits, 8);
}

// A binary value of four bytes, as saved queries' parts are ordered: Access's keys show it padded
// with zeros to eight bytes and followed by its length. No file here shows a key of another length,
// so those are left out.
std::optional<std::string> binaryKey(const std::string &bytes) {
    constexpr std::size_t kSegment = 8;
    if (bytes.size() != 4)
        return std::nullopt;
    std::string key = kValueFlag + bytes;
    key.resize(1 + kSegment, '\0');
    return key + static_cast<char>(bytes.size());
}

std::optional<std::string> columnKey(const ColumnDef &column, const JetValue &value) {
    if (value.isNull())
        return std::string(1, kNullFlag);
    switch (column.kind) {
    case ColumnKind::Byte:
        return std::string{kValueFlag, static_cast<char>(value.integer & 0xFF)};
    case ColumnKind::Long:
        return kValueFlag + signedBigEndian(value.integer, 4);
    case ColumnKind::DateTime:
        return dateKey(value.real);
    case ColumnKind::Binary:
        return binaryKey(value.text);
    case ColumnKind::Text:
        if (std::optional<std::string> sorted = GeneralSortKey(value.text))
            return kValueFlag + *sorted;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// The number of key columns of `tree` that hold a null in `values`.
std::size_t nullsInKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values) {
    std::size_t nulls = 0;
    for (const IndexColumn &keyColumn : tree.columns)
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            if (table.columns[i].number == keyColumn.columnNumber && values[i].isNull())
                ++nulls;
    return nulls;
}

} // namespace

bool LeftOutOf(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values) {
    return (tree.flags & IndexTree::kIgnoreNulls) && nullsInKey(table, tree, values) == tree.columns.size();
}

bool NullInKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values) {
    return nullsInKey(table, tree, values) > 0;
}

bool KeysBuiltFor(ColumnKind kind) {
    return kind == ColumnKind::Byte || kind == ColumnKind::Long || kind == ColumnKind::DateTime ||
           kind == ColumnKind::Text || kind == ColumnKind::Binary;
}

std::optional<std::string> IndexKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values) {
    std::string key;
    for (const IndexColumn &keyColumn : tree.columns) {
        std::size_t at = 0;
        while (at < table.columns.size() && table.columns[at].number != keyColumn.columnNumber)
            ++at;
        if (at == table.columns.size())
            ThrowDamaged("an index names column " + std::to_string(keyColumn.columnNumber) + ", which the table lacks");
        std::optional<std::string> part = columnKey(table.columns[at], values[at]);
        if (!part)
            return std::nullopt;
        if (!keyColumn.ascending)
            for (char &c : *part)
                c = static_cast<char>(~c);
        key += *part;
    }
    return key;
}

} // namespace tarnwick::jet
