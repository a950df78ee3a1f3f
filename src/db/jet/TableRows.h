#pragma once
// Finding a table's rows: through its usage map, page by page, or one row by its place.
#include "db/jet/PageSource.h"
#include "db/jet/RowId.h"
#include "db/jet/TableDef.h"

#include <functional>

namespace tarnwick::jet {

// Calls `visit` with each row of `table`, page by page in the order of the table's usage map, row
// by row in each page; stops early when `visit` returns false. Deleted rows and the pointers moved
// rows leave are passed over: a moved row is met at its new place, but named by its pointer's place,
// which is where the table's indexes keep pointing.
void ScanRows(const PageSource &file, const TableDef &table, const std::function<bool(RowId, ByteView)> &visit);

// Where the bytes of the row at `id` are: `id` itself, or where the pointer a moved row left there
// leads. A deleted row is reported as damage, since only a damaged structure points to one.
RowId ResolveRow(const PageSource &file, const TableDef &table, RowId id);

// Calls `use` with the bytes of the row at `id`, following the pointer a moved row left there.
void WithRow(const PageSource &file, const TableDef &table, RowId id, const std::function<void(ByteView)> &use);

} // namespace tarnwick::jet
