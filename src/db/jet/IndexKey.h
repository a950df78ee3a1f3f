#pragma once
// The keys index entries store. Each column of the key adds a flag byte, 0x7F, then its value in a
// form whose bytes sort as the values do; a null adds only the flag 0x00. A descending column stores
// the bitwise complement of all of it, so that a null sorts last.
#include "db/jet/JetValue.h"
#include "db/jet/TableDef.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::jet {

// Whether the engine builds the keys of a column of `kind`: Byte, Long (and AutoNumber), Date/Time,
// Text and Binary, the kinds whose keys the indexes of files Access made show. Integer, Currency,
// Single, Double and Yes/No columns are indexed in none of them.
bool KeysBuiltFor(ColumnKind kind);

// Whether `tree` holds no entry for a row with `values`: a tree that ignores nulls leaves out a row
// whose key columns are all null.
bool LeftOutOf(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

// Whether a row with `values` holds a null in a key column of `tree`.
bool NullInKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

// The key `tree` stores for a row with `values` (in the order of `table.columns`), or nothing when a
// key column holds a value whose key no file Access made shows: a date before 1899-12-30, text
// GeneralSortKey leaves out, or a binary value of other than four bytes.
std::optional<std::string> IndexKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

} // namespace tarnwick::jet
