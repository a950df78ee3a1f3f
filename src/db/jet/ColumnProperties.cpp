#include "db/jet/ColumnProperties.h"

#include "base/TextUtil.h"
#include "db/jet/JetText.h"
#include "db/jet/RowEncoder.h"

namespace tarnwick::jet {
namespace {

constexpr std::uint16_t kNamesBlock = 0x80;
constexpr std::uint16_t kColumnBlock = 0x01;
// A property Jet itself applies (not only Access's user interface), of the Text kind.
constexpr std::uint8_t kEngineProperty = 0x01;
constexpr std::uint8_t kTextProperty = 0x0A;
constexpr std::uint16_t kDefaultValueName = 0; // the only name the names block lists

void put16(std::string &out, std::size_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void put32(std::string &out, std::size_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::string lengthPrefixed(const std::string &utf8) {
    const std::string text = EncodeJetText(utf8, false);
    std::string out;
    put16(out, text.size());
    return out + text;
}

// A block: its length (these six bytes included), its kind, its contents.
std::string block(std::uint16_t kind, const std::string &contents) {
    std::string out;
    put32(out, 6 + contents.size());
    put16(out, kind);
    return out + contents;
}

} // namespace

std::string EncodeDefaultValues(const TableDesign &design) {
    std::string columns;
    for (const ColumnDesign &column : design.columns) {
        if (column.defaultValue.empty())
            continue;
        const std::string name = lengthPrefixed(column.name);
        const std::string value = EncodeJetText(column.defaultValue, false);
        std::string contents;
        put32(contents, 4 + name.size());
        contents += name;
        put16(contents, 8 + value.size());
        contents += static_cast<char>(kEngineProperty);
        contents += static_cast<char>(kTextProperty);
        put16(contents, kDefaultValueName);
        put16(contents, value.size());
        contents += value;
        columns += block(kColumnBlock, contents);
    }
    if (columns.empty())
        return "";
    return std::string("MR2\0", 4) + block(kNamesBlock, lengthPrefixed("DefaultValue")) + columns;
}

std::map<std::string, std::string> DecodeDefaultValues(const std::string &properties) {
    std::map<std::string, std::string> defaults;
    const ByteView all(reinterpret_cast<const std::uint8_t *>(properties.data()), properties.size(), "properties");
    if (properties.size() < 4 || properties.compare(0, 4, std::string("MR2\0", 4)) != 0)
        return defaults;
    // The text `at` holds, after its two-byte length; `at` moves past it.
    auto text = [](const ByteView &view, std::size_t &at) {
        const std::uint16_t length = view.u16(at);
        const std::string decoded = DecodeJetText(view.slice(at + 2, length));
        at += 2 + length;
        return decoded;
    };
    std::vector<std::string> names;
    for (std::size_t at = 4; at < all.size();) {
        const std::uint32_t length = all.u32(at);
        if (length < 6)
            ThrowDamaged("a property block is shorter than its header");
        const ByteView block = all.slice(at, length);
        const std::uint16_t kind = block.u16(4);
        if (kind == kNamesBlock) {
            for (std::size_t in = 6; in < block.size();)
                names.push_back(text(block, in));
        } else if (kind == kColumnBlock) {
            std::size_t in = 6 + block.u32(6);
            std::size_t nameAt = 10;
            const std::string column = UpperCase(text(block, nameAt));
            while (in < block.size()) {
                const std::uint16_t entryLength = block.u16(in);
                if (entryLength < 8)
                    ThrowDamaged("a property is shorter than its header");
                const ByteView entry = block.slice(in, entryLength);
                const std::uint16_t name = entry.u16(4);
                if (name < names.size() && names[name] == "DefaultValue")
                    defaults[column] = DecodeJetText(entry.slice(8, entry.u16(6)));
                in += entryLength;
            }
        }
        at += length;
    }
    return defaults;
}

} // namespace tarnwick::jet
