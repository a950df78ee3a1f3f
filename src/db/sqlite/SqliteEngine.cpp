#include "db/sqlite/SqliteEngine.h"

#include "base/NewFile.h"
#include "base/PathCheck.h"
#include "db/sqlite/SqliteTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tarnwick {

SqliteEngine::SqliteEngine(const std::string &path, EngineAccess access) : path_(path) {
    sqlite3 *raw = nullptr;
    // One thread uses a connection, so SQLite's own locking per call is not needed. Immutable: read
    // as the file lies, without a log or a lock beside it.
    int rc = access == EngineAccess::ReadAsItLies
                 ? sqlite3_open_v2(("file:" + path + "?immutable=1").c_str(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr)
                 : sqlite3_open_v2(path.c_str(), &raw,
                                   (access == EngineAccess::Write ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                                       SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    SqliteHandle db(raw);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(raw, 5000);
        // Reading the schema is what tells a database from a damaged file.
        rc = sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        const int code = sqlite3_errcode(raw) & 0xff;
        const std::string folder = ParentFolder(path);
        // A database in write-ahead mode needs its folder for the log and the shared-memory file.
        if (code != SQLITE_NOTADB && code != SQLITE_CORRUPT && !IsWritable(folder))
            throw DbError(dberr::StorageFailure,
                          "the folder " + folder + " cannot be written, so " + path + " cannot be opened.");
        if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
            throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + path + "'.");
        ThrowSqlite(raw);
    }
    // NORMAL sync keeps every committed row in write-ahead mode, even if the process is killed,
    // and keeps row-by-row commits fast. Checkpoints (each waits for the disk) come after 80 MB of
    // changes rather than 4 MB, so an import of a park's whole history usually meets only the one
    // at close. Nothing here writes to the file.
    if (access == EngineAccess::Write)
        Execute(raw, "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=20000;");
    db_ = std::move(db);
}

std::unique_ptr<EngineTable> SqliteEngine::openTable(const std::string &name) {
    return std::make_unique<SqliteTable>(handle(), name);
}

std::vector<std::string> SqliteEngine::tableNames() {
    Statement tables(handle(), "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                               "ESCAPE '\\' ORDER BY rowid");
    std::vector<std::string> names;
    while (tables.step()) {
        std::string name = reinterpret_cast<const char *>(sqlite3_column_text(tables.get(), 0));
        if (!IsSystemTableName(name))
            names.push_back(std::move(name));
    }
    return names;
}

void SqliteEngine::close() noexcept {
    endTrial();
    if (inGroup_ && db_)
        sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
    // Fold the write-ahead log into the file, so that the file alone can be copied.
    if (db_ && sqlite3_db_readonly(db_.get(), "main") == 0)
        sqlite3_exec(db_.get(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    inGroup_ = false;
    walChecked_ = false;
    db_.reset();
}

void SqliteEngine::beginTrial() {
    beginGroup();
    inGroup_ = false;
    trial_ = true;
}

void SqliteEngine::endTrial() noexcept {
    if (!trial_)
        return;
    trial_ = false;
    if (db_ && !sqlite3_get_autocommit(db_.get()))
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteEngine::beginGroup() {
    if (inGroup_ || trial_)
        return;
    // Said here, before the first row, rather than by every row's failure.
    if (sqlite3_db_readonly(handle(), "main") == 1)
        throw DbError(dberr::StorageFailure, path_ + " is read-only, so nothing can be written to it.");
    // Writes go through the write-ahead log, which keeps every committed row if the process is
    // killed. Parks made by this program are in that mode already; another file is switched at
    // its first write, never by merely opening it.
    if (!walChecked_) {
        Execute(handle(), "PRAGMA journal_mode=WAL");
        walChecked_ = true;
    }
    if (sqlite3_exec(handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(handle()) & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw DbError(dberr::StorageFailure,
                          path_ + " is in use by another program, so nothing can be written to it.");
        ThrowSqlite(handle());
    }
    inGroup_ = true;
}

void SqliteEngine::commitGroup() {
    if (!inGroup_ || trial_)
        return;
    inGroup_ = false;
    // A failed statement may have ended the transaction already (SQLite rolls back on some errors);
    // a commit the disk refuses is taken back whole.
    if (sqlite3_get_autocommit(handle()))
        return;
    try {
        Execute(handle(), "COMMIT");
    } catch (const DbError &) {
        if (!sqlite3_get_autocommit(handle()))
            sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// VACUUM INTO packs every table: an SQLite park holds nothing but Tarnwick's own. It cannot run
// within a transaction, so the write lock is taken after it, and a commit of another program in
// between (which data_version shows) leaves the park as it is. The log is folded in first, so that
// the replaced file leaves no log behind that a reader could take for the new file's.
void SqliteEngine::compactInPlace(const std::string &scratch, const std::vector<std::string> &) {
    if (inGroup_ || trial_)
        throw DbError(dberr::StorageFailure, "A change to '" + path_ + "' is under way.");
    const auto dataVersion = [this] {
        Statement query(handle(), "PRAGMA data_version");
        return query.step() ? sqlite3_column_int64(query.get(), 0) : 0;
    };
    const auto refuse = [&](const std::string &why) {
        if (!sqlite3_get_autocommit(handle()))
            sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        std::remove(scratch.c_str());
        close();
        throw DbError(dberr::StorageFailure, why);
    };
    sqlite3_exec(handle(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    const sqlite3_int64 before = dataVersion();
    if (!VacuumInto(handle(), scratch))
        refuse("'" + scratch + "' could not be written: " + sqlite3_errmsg(handle()) + ".");
    if (sqlite3_exec(handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK || dataVersion() != before)
        refuse(path_ + " is in use by another program, so it was not compacted.");
    if (!FlushToDisk(scratch))
        refuse("'" + scratch + "' could not be written to the disk.");
    if (std::rename(scratch.c_str(), path_.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        refuse("'" + scratch + "' could not take the place of '" + path_ + "': " + why + ".");
    }
    FlushFolder(std::filesystem::absolute(path_).parent_path().string());
    sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    close();
}

long SqliteEngine::rowCount(const std::string &name) {
    Statement query(handle(), "SELECT count(*) FROM \"" + name + "\"");
    return query.step() ? static_cast<long>(sqlite3_column_int64(query.get(), 0)) : 0;
}

void SqliteEngine::checkIntegrity() {
    Statement integrity(handle(), "PRAGMA integrity_check");
    if (!integrity.step() ||
        std::string(reinterpret_cast<const char *>(sqlite3_column_text(integrity.get(), 0))) != "ok")
        throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + path_ + "'.");
}

sqlite3 *SqliteEngine::handle() const {
    if (!db_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
    return db_.get();
}

} // namespace tarnwick
