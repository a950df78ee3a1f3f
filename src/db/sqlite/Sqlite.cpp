#include "db/sqlite/Sqlite.h"

namespace tarnwick {

void ThrowSqlite(sqlite3 *db, long number) {
    throw DbError(number, db ? sqlite3_errmsg(db) : "out of memory");
}

Statement::Statement(sqlite3 *db, const std::string &sql) : db_(db) {
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK)
        ThrowSqlite(db);
    stmt_.reset(raw);
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_.get());
    ThrowSqlite(db_);
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

void Execute(sqlite3 *db, const std::string &sql) {
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw DbError(dberr::StorageFailure, message);
    }
}

bool VacuumInto(sqlite3 *db, const std::string &target) {
    std::string quoted;
    for (char c : target)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return sqlite3_exec(db, ("VACUUM INTO '" + quoted + "'").c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace tarnwick
