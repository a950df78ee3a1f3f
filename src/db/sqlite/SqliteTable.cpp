#include "db/sqlite/SqliteTable.h"

#include "db/sqlite/StoredValue.h"

namespace tarnwick {
namespace {

std::string quoteIdentifier(const std::string &name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

} // namespace

SqliteTable::SqliteTable(sqlite3 *db, const std::string &name) : db_(db), quoted_(quoteIdentifier(name)) {
    Statement info(db, "PRAGMA table_info(" + quoted_ + ")");
    while (info.step()) {
        const char *decl = reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 2));
        columns_.push_back({reinterpret_cast<const char *>(sqlite3_column_text(info.get(), 1)),
                            ColumnType::fromDeclaration(decl ? decl : "")});
    }
    if (columns_.empty())
        throw NoSuchTableError(name);
    scan_ = Statement(db, "SELECT rowid, * FROM " + quoted_ + " WHERE rowid >= ? ORDER BY rowid");
}

std::vector<RowKey> SqliteTable::keys(std::optional<long long> id) {
    Statement ids(db_, "SELECT rowid FROM " + quoted_ + (id ? " WHERE ID = ?" : "") + " ORDER BY rowid");
    if (id)
        sqlite3_bind_int64(ids.get(), 1, *id);
    std::vector<RowKey> rowids;
    while (ids.step())
        rowids.push_back(sqlite3_column_int64(ids.get(), 0));
    return rowids;
}

bool SqliteTable::read(RowKey key, std::vector<Value> &values) {
    // A walk through the rows reads them from one running scan; any other move looks the row up
    // and starts the scan there.
    if (!scanning_ || scanRowid_ != key) {
        scan_.reset();
        sqlite3_bind_int64(scan_.get(), 1, key);
        scanning_ = scan_.step();
        scanRowid_ = scanning_ ? sqlite3_column_int64(scan_.get(), 0) : 0;
    }
    if (!scanning_ || scanRowid_ != key)
        return false;
    values.clear();
    for (const EngineColumn &column : columns_)
        values.push_back(ReadStored(scan_.get(), static_cast<int>(values.size()) + 1, column.type));
    scanning_ = scan_.step();
    scanRowid_ = scanning_ ? sqlite3_column_int64(scan_.get(), 0) : 0;
    return true;
}

void SqliteTable::stopScan() {
    scan_.reset();
    scanning_ = false;
}

Statement &SqliteTable::insertFor(const std::vector<bool> &set) {
    if (lastInsert_ && lastSet_ == set)
        return *lastInsert_;
    auto it = inserts_.find(set);
    if (it == inserts_.end()) {
        std::string names, parameters;
        for (std::size_t i = 0; i < set.size(); ++i) {
            if (!set[i])
                continue;
            names += (names.empty() ? "" : ", ") + quoteIdentifier(columns_[i].name);
            parameters += parameters.empty() ? "?" : ", ?";
        }
        it = inserts_
                 .emplace(set, Statement(db_, names.empty() ? "INSERT INTO " + quoted_ + " DEFAULT VALUES"
                                                            : "INSERT INTO " + quoted_ + " (" + names + ") VALUES (" +
                                                                  parameters + ")"))
                 .first;
    }
    lastSet_ = set;
    lastInsert_ = &it->second;
    return it->second;
}

RowKey SqliteTable::insert(const std::vector<bool> &set, const std::vector<Value> &values) {
    stopScan();
    Statement &insert = insertFor(set);
    int parameter = 0;
    for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i])
            BindStored(insert.get(), ++parameter, columns_[i].type, values[i]);
    insert.run();
    return sqlite3_last_insert_rowid(db_);
}

void SqliteTable::update(RowKey key, const std::vector<bool> &set, const std::vector<Value> &values) {
    stopScan();
    std::string assignments;
    for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i])
            assignments += (assignments.empty() ? "" : ", ") + quoteIdentifier(columns_[i].name) + " = ?";
    Statement update(db_, "UPDATE " + quoted_ + " SET " + assignments + " WHERE rowid = ?");
    int parameter = 0;
    for (std::size_t i = 0; i < set.size(); ++i)
        if (set[i])
            BindStored(update.get(), ++parameter, columns_[i].type, values[i]);
    sqlite3_bind_int64(update.get(), ++parameter, key);
    update.run();
}

void SqliteTable::remove(RowKey key) {
    stopScan();
    Statement remove(db_, "DELETE FROM " + quoted_ + " WHERE rowid = ?");
    sqlite3_bind_int64(remove.get(), 1, key);
    remove.run();
}

} // namespace tarnwick
