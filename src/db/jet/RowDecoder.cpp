#include "db/jet/RowDecoder.h"

#include "db/jet/JetText.h"
#include "db/jet/LongValue.h"

#include <cstdio>

namespace tarnwick::jet {
namespace {

// A GUID as Access shows it: the first three groups are stored little-endian.
std::string guidText(ByteView stored) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", stored.u32(0), stored.u16(4),
                  stored.u16(6), stored.u8(8), stored.u8(9), stored.u8(10), stored.u8(11), stored.u8(12), stored.u8(13),
                  stored.u8(14), stored.u8(15));
    return text;
}

// A value of a kind whose stored form has a fixed size.
JetValue fixedValue(const ColumnDef &column, ByteView stored) {
    switch (column.kind) {
    case ColumnKind::Byte:
        return JetValue::whole(stored.u8(0));
    case ColumnKind::Integer:
        return JetValue::whole(stored.i16(0));
    case ColumnKind::Long:
        return JetValue::whole(stored.i32(0));
    case ColumnKind::Currency:
        return JetValue::currency(stored.i64(0));
    case ColumnKind::Single:
        return JetValue::number(stored.f32(0));
    case ColumnKind::Double:
        return JetValue::number(stored.f64(0));
    case ColumnKind::DateTime:
        return JetValue::date(stored.f64(0));
    case ColumnKind::Guid:
        return JetValue::utf8(guidText(stored));
    default:
        return JetValue::bytes(stored.bytes());
    }
}

JetValue variableValue(const PageSource &file, const ColumnDef &column, ByteView stored) {
    switch (column.kind) {
    case ColumnKind::Text:
        return JetValue::utf8(DecodeJetText(stored));
    case ColumnKind::Memo: {
        const std::string bytes = ReadLongValue(file, stored);
        return JetValue::utf8(
            DecodeJetText(ByteView(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(), "memo")));
    }
    case ColumnKind::Ole:
        return JetValue::bytes(ReadLongValue(file, stored));
    case ColumnKind::Binary:
        return JetValue::bytes(stored.bytes());
    default: // a number stored without the fixed-length flag, as some system tables keep them
        return fixedValue(column, stored);
    }
}

} // namespace

std::size_t FixedSize(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Byte:
        return 1;
    case ColumnKind::Integer:
        return 2;
    case ColumnKind::Long:
    case ColumnKind::Single:
        return 4;
    case ColumnKind::Currency:
    case ColumnKind::Double:
    case ColumnKind::DateTime:
        return 8;
    case ColumnKind::Guid:
        return 16;
    case ColumnKind::Decimal:
        return 17;
    default:
        return 0;
    }
}

std::vector<JetValue> DecodeRow(const PageSource &file, const TableDef &table, ByteView row) {
    const std::uint16_t rowColumns = row.u16(0);
    const std::size_t maskSize = (std::size_t{rowColumns} + 7) / 8;
    if (row.size() < 2 + maskSize)
        ThrowDamaged("a row is shorter than its null mask");
    const ByteView mask = row.slice(row.size() - maskSize, maskSize);
    auto present = [&](const ColumnDef &column) {
        return column.number < rowColumns && (mask.u8(column.number / 8) >> (column.number % 8) & 1);
    };

    // The variable offset table, read only when the table has variable-length columns.
    std::size_t variableCount = 0, tableEnd = row.size() - maskSize;
    if (table.variableColumns > 0) {
        variableCount = row.u16(tableEnd - 2);
        if (2 * (variableCount + 2) > tableEnd)
            ThrowDamaged("a row's variable offset table is longer than the row");
        tableEnd -= 2 * (variableCount + 2);
    }
    auto variableOffset = [&](std::size_t entry) { // entry variableCount is the end of the last column
        return row.u16(row.size() - maskSize - 4 - 2 * entry);
    };

    std::vector<JetValue> values;
    values.reserve(table.columns.size());
    for (const ColumnDef &column : table.columns) {
        if (column.kind == ColumnKind::YesNo) {
            values.push_back(column.number < rowColumns ? JetValue::yesNo(present(column)) : JetValue::null());
        } else if (!present(column)) {
            values.push_back(JetValue::null());
        } else if (column.fixedLength()) {
            const std::size_t size = FixedSize(column.kind) ? FixedSize(column.kind) : column.length;
            values.push_back(fixedValue(column, row.slice(2 + std::size_t{column.fixedOffset}, size)));
        } else if (column.variableIndex >= variableCount) {
            values.push_back(JetValue::null());
        } else {
            const std::size_t start = variableOffset(column.variableIndex);
            const std::size_t end = variableOffset(column.variableIndex + std::size_t{1});
            if (start > end || end > tableEnd)
                ThrowDamaged("a row's variable column lies outside the row");
            values.push_back(variableValue(file, column, row.slice(start, end - start)));
        }
    }
    return values;
}

} // namespace tarnwick::jet
