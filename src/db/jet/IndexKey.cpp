#include "db/jet/IndexKey.h"

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

// Text in Access's General sort order, so far for the characters whose weights the indexes of
// Access's own files show: letters (either case weighs the same), digits, the space and the
// underscore. Their keys end with 0x01 (no accent or case marks follow) and 0x00.
// Empty text is left out: no file at hand shows its key.
std::optional<std::string> generalTextKey(const std::string &text) {
    if (text.empty())
        return std::nullopt;
    static const char *const kLetters = "\x4A\x4C\x4D\x4F\x51\x53\x55\x57\x59\x5B\x5C\x5E\x60"
                                        "\x62\x64\x66\x68\x69\x6B\x6D\x6F\x71\x73\x75\x76\x78";
    std::string key(1, kValueFlag);
    for (char c : text) {
        if (c >= 'a' && c <= 'z')
            key += kLetters[c - 'a'];
        else if (c >= 'A' && c <= 'Z')
            key += kLetters[c - 'A'];
        else if (c >= '0' && c <= '9')
            key += static_cast<char>(0x36 + 2 * (c - '0'));
        else if (c == ' ')
            key += '\x07';
        else if (c == '_')
            key += "\x2B\x03";
        else
            return std::nullopt;
    }
    return key + std::string("\x01\x00", 2);
}

std::optional<std::string> columnKey(const ColumnDef &column, const JetValue &value) {
    if (value.isNull())
        return std::string(1, kNullFlag);
    switch (column.kind) {
    case ColumnKind::Long:
        return kValueFlag + signedBigEndian(value.integer, 4);
    case ColumnKind::Text:
        return generalTextKey(value.text);
    default:
        return std::nullopt;
    }
}

} // namespace

bool KeysBuiltFor(ColumnKind kind) {
    return kind == ColumnKind::Long || kind == ColumnKind::Text;
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
