#include "db/Connection.h"

#include "base/PathCheck.h"
#include "base/TextUtil.h"

namespace tarnwick {

std::string Connection::Property(const std::string &name) const {
    auto it = properties_.find(name);
    return it == properties_.end() ? std::string() : it->second;
}

void Connection::SetConnectionString(const std::string &text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        std::size_t eq = part.find('=');
        if (eq != std::string::npos) {
            std::string key = TrimBlanks(part.substr(0, eq));
            std::string value = part.substr(eq + 1);
            if (key == "Provider")
                Provider = value;
            else if (key == "Jet OLEDB:Database Password")
                properties_["Password"] = value;
            else
                properties_[key] = value;
        }
        start = end + 1;
    }
}

void Connection::Open() {
    Close();
    const std::string path = Property("Data Source");
    if (path.empty() || !IsRegularFile(path))
        throw DbError(dberr::FileNotFound, "Could not find file '" + path + "'.");

    // An empty file or any other kind of file is refused before SQLite sees it: SQLite would take
    // an empty file for a new database and write to it.
    if (!HasDatabaseHeader(path))
        throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + path + "'.");

    sqlite3 *raw = nullptr;
    // One thread uses a connection, so SQLite's own locking per call is not needed.
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
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
    Execute(raw, "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=20000;");
    db_ = std::move(db);
}

void Connection::Close() noexcept {
    EndTrial();
    if (inGroup_ && db_)
        sqlite3_exec(db_.get(), "COMMIT", nullptr, nullptr, nullptr);
    // Fold the write-ahead log into the file, so that the file alone can be copied.
    if (db_)
        sqlite3_exec(db_.get(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    inGroup_ = false;
    walChecked_ = false;
    db_.reset();
}

void Connection::BeginTrial() {
    BeginGroup();
    inGroup_ = false;
    trial_ = true;
}

void Connection::EndTrial() {
    if (!trial_)
        return;
    trial_ = false;
    if (db_ && !sqlite3_get_autocommit(db_.get()))
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Connection::BeginGroup() {
    if (inGroup_ || trial_)
        return;
    // Said here, before the first row, rather than by every row's failure.
    const std::string path = Property("Data Source");
    if (sqlite3_db_readonly(handle(), "main") == 1)
        throw DbError(dberr::StorageFailure, path + " is read-only, so nothing can be written to it.");
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
                          path + " is in use by another program, so nothing can be written to it.");
        ThrowSqlite(handle());
    }
    inGroup_ = true;
}

void Connection::CommitGroup() {
    if (!inGroup_ || trial_)
        return;
    inGroup_ = false;
    // A failed statement may have ended the transaction already (SQLite rolls back on some errors).
    if (!sqlite3_get_autocommit(handle()))
        Execute(handle(), "COMMIT");
}

sqlite3 *Connection::handle() const {
    if (!db_)
        throw DbError(dberr::ObjectClosed, "Operation is not allowed when the object is closed.");
    return db_.get();
}

} // namespace tarnwick
