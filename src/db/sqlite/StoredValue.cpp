#include "db/sqlite/StoredValue.h"

#include "base/VbDate.h"
#include "base/VbNumber.h"

#include <string>

namespace tarnwick {

void BindStored(sqlite3_stmt *stmt, int parameter, const ColumnType &column, const Value &value) {
    if (value.isEmpty() || value.isNull()) {
        sqlite3_bind_null(stmt, parameter);
        return;
    }
    switch (column.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        sqlite3_bind_text(stmt, parameter, value.text().data(), static_cast<int>(value.text().size()), SQLITE_STATIC);
        break;
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
    case ColumnKind::Integer:
    case ColumnKind::Byte:
        sqlite3_bind_int64(stmt, parameter, static_cast<sqlite3_int64>(value.number()));
        break;
    case ColumnKind::YesNo:
        sqlite3_bind_int(stmt, parameter, value.boolean() ? 1 : 0);
        break;
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::Currency:
        sqlite3_bind_double(stmt, parameter, value.asDouble());
        break;
    case ColumnKind::Date: {
        std::string iso = FormatIsoDate(value.dateSerial());
        sqlite3_bind_text(stmt, parameter, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

Value ReadStored(sqlite3_stmt *stmt, int column, const ColumnType &type) {
    int storage = sqlite3_column_type(stmt, column);
    // A Yes/No field is never Null, as in Jet: a row stored without it reads as No.
    if (storage == SQLITE_NULL)
        return type.kind == ColumnKind::YesNo ? Value::boolean(false) : Value::null();
    auto text = [&] { return std::string(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column))); };
    switch (type.kind) {
    case ColumnKind::Text:
    case ColumnKind::Memo:
        return Value(text());
    case ColumnKind::AutoNumber:
    case ColumnKind::Long:
    case ColumnKind::Integer:
    case ColumnKind::Byte:
    case ColumnKind::Single:
    case ColumnKind::Double:
        return storage == SQLITE_TEXT ? Value(text()) : Value::number(sqlite3_column_double(stmt, column));
    case ColumnKind::Currency:
        return storage == SQLITE_TEXT ? Value(text())
                                      : Value::currency(ScaleHalfEven(sqlite3_column_double(stmt, column), 4));
    case ColumnKind::YesNo:
        return storage == SQLITE_TEXT ? Value(text()) : Value::boolean(sqlite3_column_int64(stmt, column) != 0);
    case ColumnKind::Date:
        if (storage == SQLITE_TEXT) {
            std::string t = text();
            if (auto serial = ParseIsoDate(t))
                return Value::date(*serial);
            return Value(t);
        }
        return Value::date(sqlite3_column_double(stmt, column));
    }
    return Value::null();
}

} // namespace tarnwick
