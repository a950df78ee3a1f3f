#pragma once
// Owning handles for SQLite's C objects, and a prepared statement with typed binding.
#include "db/DbError.h"

#include <memory>
#include <sqlite3.h>
#include <string>

namespace tarnwick {

struct SqliteCloser {
    void operator()(sqlite3 *db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *stmt) const noexcept { sqlite3_finalize(stmt); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

class Statement {
public:
    Statement() = default;
    Statement(sqlite3 *db, const std::string &sql);

    sqlite3_stmt *get() const { return stmt_.get(); }
    explicit operator bool() const { return static_cast<bool>(stmt_); }
    // Steps once; true when a row is available, false when done. Errors throw.
    bool step();
    void reset();
    // Runs to the end, for statements that return no rows.
    void run() {
        while (step()) {
        }
        reset();
    }

private:
    sqlite3 *db_ = nullptr;
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> stmt_;
};

// Throws the database's last error as a DbError with the given number.
[[noreturn]] void ThrowSqlite(sqlite3 *db, long number = dberr::StorageFailure);

// Writes a compacted copy of the database into `target`, which must not exist; false when SQLite
// cannot (its error is the database's last).
bool VacuumInto(sqlite3 *db, const std::string &target);

// Runs SQL with no results (several statements allowed).
void Execute(sqlite3 *db, const std::string &sql);

} // namespace tarnwick
