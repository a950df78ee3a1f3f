#pragma once
// How a converted value is stored in SQLite for each column kind, and read back.
#include "base/Value.h"
#include "db/ColumnKind.h"

#include <sqlite3.h>

namespace tarnwick {

// Text is bound without a copy: `value` must outlive the statement's next step.
void BindStored(sqlite3_stmt *stmt, int parameter, const ColumnType &column, const Value &value);
Value ReadStored(sqlite3_stmt *stmt, int column, const ColumnType &type);

} // namespace tarnwick
