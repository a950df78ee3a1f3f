#include "db/jet/RowEncoder.h"

#include "db/jet/JetError.h"
#include "db/jet/RowDecoder.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::jet {
namespace {

void putLittleEndian(std::string &out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// UTF-16 units of UTF-8 text; a malformed sequence becomes U+FFFD.
std::u16string utf16(const std::string &utf8) {
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        char32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF) {
            units += u'\uFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
    }
    return units;
}

// A value of a kind with a fixed stored size, in that form.
std::string fixedBytes(const ColumnDef &column, const JetValue &value) {
    std::string out;
    switch (column.kind) {
    case ColumnKind::Byte:
        putLittleEndian(out, static_cast<std::uint64_t>(value.integer), 1);
        break;
    case ColumnKind::Integer:
        putLittleEndian(out, static_cast<std::uint64_t>(value.integer), 2);
        break;
    case ColumnKind::Long:
        putLittleEndian(out, static_cast<std::uint64_t>(value.integer), 4);
        break;
    case ColumnKind::Currency:
        putLittleEndian(out, static_cast<std::uint64_t>(value.integer), 8);
        break;
    case ColumnKind::Single: {
        const auto single = static_cast<float>(value.real);
        std::uint32_t bits;
        std::memcpy(&bits, &single, 4);
        putLittleEndian(out, bits, 4);
        break;
    }
    case ColumnKind::Double:
    case ColumnKind::DateTime: {
        std::uint64_t bits;
        std::memcpy(&bits, &value.real, 8);
        putLittleEndian(out, bits, 8);
        break;
    }
    default:
        throw DbError(dberr::ConversionRefused,
                      "The column '" + column.name + "' is of a kind this engine cannot write.");
    }
    return out;
}

std::string variableBytes(const ColumnDef &column, const JetValue &value, const LongValueStore &storeLongValue) {
    switch (column.kind) {
    case ColumnKind::Text:
        return EncodeJetText(value.text, column.compressedUnicode);
    case ColumnKind::Binary:
        return value.text;
    case ColumnKind::Memo:
        return storeLongValue(column, EncodeJetText(value.text, column.compressedUnicode));
    case ColumnKind::Ole:
        return storeLongValue(column, value.text);
    default:
        return fixedBytes(column, value);
    }
}

} // namespace

std::string EncodeJetText(const std::string &utf8, bool compressible) {
    // Most text is ASCII without NULs: its compressed form is its own bytes.
    if (compressible && utf8.size() > 2 &&
        std::all_of(utf8.begin(), utf8.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte > 0 && byte < 0x80;
        }))
        return "\xFF\xFE" + utf8;
    const std::u16string units = utf16(utf8);
    const bool oneByte = std::all_of(units.begin(), units.end(), [](char16_t u) { return u > 0 && u < 0x100; });
    std::string out;
    if (compressible && oneByte && units.size() > 2) {
        out = "\xFF\xFE";
        for (char16_t u : units)
            out += static_cast<char>(u);
        return out;
    }
    for (char16_t u : units)
        putLittleEndian(out, u, 2);
    return out;
}

void CheckValuesFit(const TableDef &table, const std::vector<JetValue> &values) {
    for (std::size_t i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const ColumnDef &column = table.columns[i];
        // A text column's length counts bytes of UTF-16: a character outside the Basic Multilingual
        // Plane takes two of its characters.
        // UTF-8 takes at least a byte for each UTF-16 unit, so short text fits without counting.
        if (column.kind == ColumnKind::Text && !values[i].isNull() && 2 * values[i].text.size() > column.length &&
            2 * utf16(values[i].text).size() > column.length)
            throw Refusal(dberr::ConversionRefused, "The text for the column '" + column.name +
                                                        "' is longer than its " + std::to_string(column.length / 2) +
                                                        " characters.");
        if (column.kind == ColumnKind::Binary && !values[i].isNull() && values[i].text.size() > column.length)
            throw Refusal(dberr::ConversionRefused, "The value for the column '" + column.name +
                                                        "' is longer than its " + std::to_string(column.length) +
                                                        " bytes.");
    }
}

std::string EncodeRow(const TableDef &table, const std::vector<JetValue> &values,
                      const LongValueStore &storeLongValue) {
    const std::uint16_t rowColumns = table.maxColumns;
    std::string mask((std::size_t{rowColumns} + 7) / 8, '\0');
    auto setBit = [&](const ColumnDef &column) {
        mask[column.number / 8] = static_cast<char>(mask[column.number / 8] | 1 << (column.number % 8));
    };

    std::string fixedArea;
    std::vector<std::string> variable(table.variableColumns);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDef &column = table.columns[i];
        const JetValue &value = values[i];
        if (column.kind == ColumnKind::YesNo) {
            if (!value.isNull() && value.integer)
                setBit(column);
            continue;
        }
        if (value.isNull())
            continue;
        setBit(column);
        if (column.fixedLength()) {
            const std::string bytes = fixedBytes(column, value);
            const std::size_t end = std::size_t{column.fixedOffset} + bytes.size();
            if (fixedArea.size() < end)
                fixedArea.resize(end, '\0');
            fixedArea.replace(column.fixedOffset, bytes.size(), bytes);
        } else if (column.variableIndex < variable.size()) {
            variable[column.variableIndex] = variableBytes(column, value, storeLongValue);
        } else {
            ThrowDamaged("column " + column.name + " has a place beyond the table's variable columns");
        }
    }
    // Fixed columns that are null still take their place in the fixed area.
    for (const ColumnDef &column : table.columns)
        if (column.fixedLength() && column.kind != ColumnKind::YesNo)
            fixedArea.resize(std::max(fixedArea.size(), std::size_t{column.fixedOffset} + FixedSize(column.kind)),
                             '\0');

    std::string row;
    putLittleEndian(row, rowColumns, 2);
    row += fixedArea;
    if (!variable.empty()) {
        std::vector<std::uint16_t> starts;
        for (const std::string &bytes : variable) {
            starts.push_back(static_cast<std::uint16_t>(row.size()));
            row += bytes;
        }
        putLittleEndian(row, row.size(), 2); // where the last variable column ends
        for (std::size_t i = starts.size(); i-- > 0;)
            putLittleEndian(row, starts[i], 2);
        putLittleEndian(row, starts.size(), 2);
    }
    return row + mask;
}

} // namespace tarnwick::jet
