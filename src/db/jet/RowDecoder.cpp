#include "db/jet/RowDecoder.h"

#include "db/jet/JetText.h"
#include "db/jet/LongValue.h"

#include <cstdio>
#include <optional>

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

namespace {

// Where a row keeps each column's value.
class RowLayout {
public:
    RowLayout(const TableDef &table, ByteView row) : row_(row) {
        rowColumns_ = row.u16(0);
        maskSize_ = (std::size_t{rowColumns_} + 7) / 8;
        if (row.size() < 2 + maskSize_)
            ThrowDamaged("a row is shorter than its null mask");
        variableEnd_ = row.size() - maskSize_;
        // The variable offset table is there only when the table has variable-length columns.
        if (table.variableColumns > 0) {
            variableCount_ = row.u16(variableEnd_ - 2);
            if (2 * (variableCount_ + 2) > variableEnd_)
                ThrowDamaged("a row's variable offset table is longer than the row");
            variableEnd_ -= 2 * (variableCount_ + 2);
        }
    }

    // A column's bit in the null mask: set when it holds a value (for Yes/No, when it is Yes).
    bool bit(const ColumnDef &column) const {
        return column.number < rowColumns_ &&
               (row_.u8(row_.size() - maskSize_ + column.number / 8) >> (column.number % 8) & 1);
    }
    bool holds(const ColumnDef &column) const { return column.number < rowColumns_; }

    // The stored bytes of a column's value, or nothing for null.
    std::optional<ByteView> bytes(const ColumnDef &column) const {
        if (!bit(column))
            return std::nullopt;
        if (column.fixedLength()) {
            const std::size_t size = FixedSize(column.kind) ? FixedSize(column.kind) : column.length;
            return row_.slice(2 + std::size_t{column.fixedOffset}, size);
        }
        if (column.variableIndex >= variableCount_)
            return std::nullopt;
        const std::size_t start = variableOffset(column.variableIndex);
        const std::size_t end = variableOffset(column.variableIndex + std::size_t{1});
        if (start > end || end > variableEnd_)
            ThrowDamaged("a row's variable column lies outside the row");
        return row_.slice(start, end - start);
    }

private:
    // Entry variableCount_ is where the last variable column ends.
    std::size_t variableOffset(std::size_t entry) const { return row_.u16(row_.size() - maskSize_ - 4 - 2 * entry); }

    ByteView row_;
    std::uint16_t rowColumns_ = 0;
    std::size_t maskSize_ = 0, variableCount_ = 0, variableEnd_ = 0;
};

JetValue columnValue(const PageSource &file, const RowLayout &layout, const ColumnDef &column) {
    if (column.kind == ColumnKind::YesNo)
        return layout.holds(column) ? JetValue::yesNo(layout.bit(column)) : JetValue::null();
    if (const std::optional<ByteView> stored = layout.bytes(column))
        return column.fixedLength() ? fixedValue(column, *stored) : variableValue(file, column, *stored);
    return JetValue::null();
}

} // namespace

std::vector<JetValue> DecodeRow(const PageSource &file, const TableDef &table, ByteView row) {
    const RowLayout layout(table, row);
    std::vector<JetValue> values;
    values.reserve(table.columns.size());
    for (const ColumnDef &column : table.columns)
        values.push_back(columnValue(file, layout, column));
    return values;
}

JetValue DecodeColumn(const PageSource &file, const TableDef &table, ByteView row, std::size_t column) {
    return columnValue(file, RowLayout(table, row), table.columns.at(column));
}

std::vector<ByteView> LongValueFields(const TableDef &table, ByteView row) {
    const RowLayout layout(table, row);
    std::vector<ByteView> fields;
    for (const ColumnDef &column : table.columns)
        if (column.kind == ColumnKind::Memo || column.kind == ColumnKind::Ole)
            if (const std::optional<ByteView> stored = layout.bytes(column))
                fields.push_back(*stored);
    return fields;
}

} // namespace tarnwick::jet
