#pragma once
// What a column makes of a value assigned to it: the value as it will be stored, or a DbError when
// the column refuses it. Empty and Null store Null in any column.
#include "base/Value.h"
#include "db/ColumnKind.h"

namespace tarnwick {

Value ConvertForColumn(const ColumnType &column, Value value);

} // namespace tarnwick
