#pragma once
#include "db/Connection.h"
#include "db/access/AccessDatabase.h"

namespace tarnwick {

// One of our own SQLite park files (Park.MDB or a backup), browsed like any other database.
class SqliteDatabase : public AccessDatabase {
public:
    explicit SqliteDatabase(const std::string &path);
    std::vector<std::string> tableNames() override;
    std::vector<AccessField> fields(const std::string &table) override;
    long recordCount(const std::string &table) override;
    void forEachRecord(const std::string &table, const std::function<void(const std::vector<Value> &)> &row) override;

private:
    Connection connection_;
};

} // namespace tarnwick
