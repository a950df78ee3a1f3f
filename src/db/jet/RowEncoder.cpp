#include "db/jet/RowEncoder.h"

#include "db/jet/JetError.h"
#include "db/jet/JetText.h"
#include "db/jet/RowDecoder.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::jet {
namespace {

void putLittleEndian(std::string &out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
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
    const std::u16string units = Utf16Units(utf8);
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
            2 * Utf16Units(values[i].text).size() > column.length)
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
