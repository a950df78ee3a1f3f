#pragma once
// Turns a row's bytes into values. A row holds its column count, the fixed-length columns, the
// variable-length columns, then (from its end backwards) the null mask, the count of variable
// columns, their offsets and the offset where they end. A Yes/No value is its bit in the null mask.
#include "db/jet/JetValue.h"
#include "db/jet/PageSource.h"
#include "db/jet/TableDef.h"

#include <vector>

namespace tarnwick::jet {

// The values of `row` in the order of `table.columns`; memo and OLE values are read from `file`.
std::vector<JetValue> DecodeRow(const PageSource &file, const TableDef &table, ByteView row);

// The value of the column at position `column` of `table.columns` alone.
JetValue DecodeColumn(const PageSource &file, const TableDef &table, ByteView row, std::size_t column);

// The fields of the memo and OLE values `row` holds (see LongValue.h).
std::vector<ByteView> LongValueFields(const TableDef &table, ByteView row);

// The stored size of a fixed-length column of `kind`; 0 for the kinds that are not fixed.
std::size_t FixedSize(ColumnKind kind);

} // namespace tarnwick::jet
