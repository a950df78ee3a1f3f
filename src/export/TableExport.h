#pragma once
// Writes tables of the browsed database to workbooks in the database folder.
#include "app/Session.h"
#include "db/access/AccessDatabase.h"

#include <string>
#include <vector>

namespace tarnwick {

// Writes `table` to DbFolder/<table>.xls: the field names in row 1, one record a row below.
// Returns true when the workbook was saved.
bool BuildExcel(Session &session, AccessDatabase &database, const std::string &table);

// BuildExcel for every checked table in order; the notice when none was checked. True when every
// checked table was saved.
// `database` may be null when nothing is checked (no database was listed).
bool ExportCheckedTables(Session &session, AccessDatabase *database, const std::vector<std::string> &checked);

} // namespace tarnwick
