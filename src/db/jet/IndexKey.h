#pragma once
// The keys index entries store. Each column of the key adds a flag byte, 0x7F, then its value in a
// form whose bytes sort as the values do; a null adds only the flag 0x00. A descending column stores
// the bitwise complement of all of it, so that a null sorts last (binary values leave the bytes
// between their segments as they are, and text adds one more 0x00).
#include "db/jet/JetValue.h"
#include "db/jet/TableDef.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::jet {

// Whether the engine builds the keys of a column of `kind`: every kind a Jet 4 index may hold, that
// is all but memo, OLE and decimal.
bool KeysBuiltFor(ColumnKind kind);

// Whether `tree` holds no entry for a row with `values`: a tree that ignores nulls leaves out a row
// whose key columns are all null.
bool LeftOutOf(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

// Whether a row with `values` holds a null in a key column of `tree`.
bool NullInKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

// The key `tree` stores for a row with `values` (in the order of `table.columns`), or nothing when a
// key column holds a value whose key no index shows: text GeneralSortKey leaves out.
std::optional<std::string> IndexKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

} // namespace tarnwick::jet
