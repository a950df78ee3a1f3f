#pragma once
// A table of an SQLite database: rows named by their rowid, read through one running scan while
// they are read in order, written through statements kept for the sets of columns met.
#include "db/Engine.h"
#include "db/sqlite/Sqlite.h"

#include <map>

namespace tarnwick {

class SqliteTable : public EngineTable {
public:
    // Throws DbError (no such table) when the database has no table `name`.
    SqliteTable(sqlite3 *db, const std::string &name);

    const std::vector<EngineColumn> &columns() const override { return columns_; }
    std::vector<RowKey> keys(std::optional<long long> id) override;
    bool read(RowKey key, std::vector<Value> &values) override;
    RowKey insert(const std::vector<bool> &set, const std::vector<Value> &values) override;
    void update(RowKey key, const std::vector<bool> &set, const std::vector<Value> &values) override;
    void remove(RowKey key) override;

private:
    // Writes end a running scan, whose view of the table they would change.
    void stopScan();
    Statement &insertFor(const std::vector<bool> &set);

    sqlite3 *db_;
    std::string quoted_;
    std::vector<EngineColumn> columns_;
    // Reads rows in rowid order from a given row on; scanRowid_ is the row it stands on.
    Statement scan_;
    bool scanning_ = false;
    RowKey scanRowid_ = 0;
    std::map<std::vector<bool>, Statement> inserts_;
    // The insert used last, found again without a map search when the same columns are set.
    std::vector<bool> lastSet_;
    Statement *lastInsert_ = nullptr;
};

} // namespace tarnwick
