#pragma once
// Rows as maps from column name to value, for the system tables whose columns are known by name.
#include "db/jet/JetValue.h"
#include "db/jet/PageSource.h"
#include "db/jet/TableDef.h"

#include <map>
#include <string>
#include <vector>

namespace tarnwick::jet {

using NamedRow = std::map<std::string, JetValue>;

// Every row of `table`, named by column.
std::vector<NamedRow> NamedRows(const PageSource &pages, const TableDef &table);

// A row for `table` (in the order of its columns) with the values `named` names, null elsewhere.
std::vector<JetValue> RowOf(const TableDef &table, const NamedRow &named);

} // namespace tarnwick::jet
