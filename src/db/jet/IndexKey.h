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

// The key `tree` stores for a row with `values` (in the order of `table.columns`), or nothing when a
// key column holds a value whose stored form the engine does not build yet. So far: whole numbers of
// four bytes (Long and AutoNumber), and text of letters, digits, spaces and underscores; both forms
// are checked against the indexes of files Access made.
// Whether the engine builds the keys of a column of `kind`.
bool KeysBuiltFor(ColumnKind kind);

std::optional<std::string> IndexKey(const TableDef &table, const IndexTree &tree, const std::vector<JetValue> &values);

} // namespace tarnwick::jet
