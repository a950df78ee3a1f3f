#include "db/jet/IndexKey.h"

#include "db/jet/BigEndian.h"
#include "db/jet/GeneralSortKey.h"

#include <cctype>
#include <cstring>

namespace tarnwick::jet {
namespace {

constexpr char kValueFlag = 0x7F;
constexpr char kNullFlag = 0x00;
// Binary values are keyed in segments of eight bytes; each full segment with more after it is
// followed by this byte, and the last (padded with zeros) by the number of bytes it holds.
constexpr std::size_t kSegment = 8;
constexpr char kMoreSegments = 0x09;

std::string complemented(std::string bytes) {
    for (char &c : bytes)
        c = static_cast<char>(~c);
    return bytes;
}

// A whole number big-endian with its sign bit flipped, so that negative numbers sort first.
std::string signedKey(std::int64_t value, std::size_t bytes) {
    std::string out = BigEndianBytes(static_cast<std::uint64_t>(value), bytes);
    out[0] = static_cast<char>(out[0] ^ 0x80);
    return out;
}

// A floating-point number's bytes big-endian: a positive one with its sign bit flipped, a negative
// one with every bit flipped, so that the bytes sort as the numbers do.
std::string floatKey(std::uint64_t bits, std::size_t bytes) {
    std::string out = BigEndianBytes(bits, bytes);
    if (out[0] & 0x80)
        return complemented(out);
    out[0] = static_cast<char>(out[0] ^ 0x80);
    return out;
}

std::string singleKey(double value) {
    const auto single = static_cast<float>(value);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    return floatKey(bits, 4);
}

std::string doubleKey(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return floatKey(bits, 8);
}

// The segments of a binary value (see kSegment). `descending` complements the value's bytes and
// the closing length, but not the bytes between segments.
std::string binaryKey(const std::string &bytes, bool descending) {
    const char flip = descending ? static_cast<char>(0xFF) : 0;
    std::string key;
    std::size_t at = 0;
    for (; bytes.size() - at > kSegment; at += kSegment) {
        for (std::size_t i = at; i < at + kSegment; ++i)
            key += static_cast<char>(bytes[i] ^ flip);
        key += kMoreSegments;
    }
    const std::size_t last = bytes.size() - at;
    for (std::size_t i = 0; i < kSegment; ++i)
        key += static_cast<char>((i < last ? bytes[at + i] : '\0') ^ flip);
    return key + static_cast<char>(static_cast<char>(last) ^ flip);
}

// A GUID's sixteen bytes in the order its text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" shows them.
std::optional<std::string> guidBytes(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' || text[i] == '}' || text[i] == '-')
            continue;
        if (i + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return std::nullopt;
        out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        ++i;
    }
    if (out.size() != 16)
        return std::nullopt;
    return out;
}

// The key of one column's ascending value, flag included, or nothing where the value has no key.
// Binary values and GUIDs are keyed by binaryKey instead.
std::optional<std::string> ascendingKey(const ColumnDef &column, const JetValue &value) {
    std::string key(1, kValueFlag);
    switch (column.kind) {
    case ColumnKind::YesNo: // Yes sorts first
        return key + static_cast<char>(value.integer ? 0x00 : 0xFF);
    case ColumnKind::Byte:
        return key + static_cast<char>(value.integer & 0xFF);
    case ColumnKind::Integer:
        return key + signedKey(value.integer, 2);
    case ColumnKind::Long:
        return key + signedKey(value.integer, 4);
    case ColumnKind::Currency:
        return key + signedKey(value.integer, 8);
    case ColumnKind::Single:
        return key + singleKey(value.real);
    case ColumnKind::Double:
    case ColumnKind::DateTime:
        return key + doubleKey(value.real);
    case ColumnKind::Text:
        if (std::optional<std::string> sorted = GeneralSortKey(value.text))
            return key + *sorted;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// The key of one column's value as the column stores it, ascending or descending, or nothing where
// the value has no key. A descending column stores the complement; binary values leave the bytes
// between their segments as they are, and text keeps one more 0x00 after its complemented end.
std::optional<std::string> columnKey(const ColumnDef &column, const JetValue &value, bool descending) {
    const char flag = value.isNull() ? kNullFlag : kValueFlag;
    const std::string storedFlag(1, descending ? static_cast<char>(~flag) : flag);
    if (value.isNull())
        return storedFlag;
    if (column.kind == ColumnKind::Binary)
        return storedFlag + binaryKey(value.text, descending);
    if (column.kind == ColumnKind::Guid) {
        if (const std::optional<std::string> bytes = guidBytes(value.text))
            return storedFlag + binaryKey(*bytes, descending);
        return std::nullopt;
    }
    std::optional<std::string> key = ascendingKey(column, value);
    if (!key || !descending)
        return key;
    return complemented(*key) + (column.kind == ColumnKind::Text ? std::string(1, '\0') : "");
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
    switch (kind) {
    case ColumnKind::YesNo:
    case ColumnKind::Byte:
    case ColumnKind::Integer:
    case ColumnKind::Long:
    case ColumnKind::Currency:
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::DateTime:
    case ColumnKind::Binary:
    case ColumnKind::Guid:
    case ColumnKind::Text:
        return true;
    default:
        return false;
    }
}

std::optional<std::string> IndexKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values) {
    std::string key;
    for (const IndexColumn &keyColumn : tree.columns) {
        std::size_t at = 0;
        while (at < table.columns.size() && table.columns[at].number != keyColumn.columnNumber)
            ++at;
        if (at == table.columns.size())
            ThrowDamaged("an index names column " + std::to_string(keyColumn.columnNumber) + ", which the table lacks");
        const std::optional<std::string> part = columnKey(table.columns[at], values[at], !keyColumn.ascending);
        if (!part)
            return std::nullopt;
        key += *part;
    }
    return key;
}

} // namespace tarnwick::jet
