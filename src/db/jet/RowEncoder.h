#pragma once
// Builds a row's bytes from values: the inverse of DecodeRow, in the same layout.
#include "db/jet/JetValue.h"
#include "db/jet/TableDef.h"

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::jet {

// Stores a memo or OLE value's bytes and returns the field the row holds for it.
using LongValueStore = std::function<std::string(const ColumnDef &column, const std::string &bytes)>;

// Refuses `values` (in the order of `table.columns`) when a text or binary value is longer than its
// column holds, so that a row is refused before any of it is written.
void CheckValuesFit(const TableDef &table, const std::vector<JetValue> &values);

// The bytes of a row with `values` (in the order of `table.columns`, each of its column's kind or
// null, each fitting as CheckValuesFit asks). Memo and OLE values go through `storeLongValue`.
std::string EncodeRow(const TableDef &table, const std::vector<JetValue> &values, const LongValueStore &storeLongValue);

// Text as a column stores it: compressed when the column allows it and every character fits in one
// byte (and compressing makes it shorter), otherwise UTF-16LE.
std::string EncodeJetText(const std::string &utf8, bool compressible);

} // namespace tarnwick::jet
