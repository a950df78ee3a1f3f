#include "db/ParkFileLock.h"

#include "db/DbError.h"
#include "db/OpenEngine.h"
#include "db/jet/Journal.h"
#include "db/jet/LockFile.h"
#include "db/sqlite/Sqlite.h"

#include <filesystem>
#include <optional>

namespace tarnwick {
namespace {

[[noreturn]] void writingElsewhere(const std::string &park) {
    throw DbError(dberr::StorageFailure, "another program is writing to " + park +
                                             ", so it cannot be replaced now; close that program and try again");
}

} // namespace

struct ParkFileLock::Held {
    SqliteHandle sqlite;
    std::optional<jet::WriterLock> jet;
};

ParkFileLock::ParkFileLock(const std::string &park) : held_(std::make_unique<Held>()) {
    switch (DetectDatabaseFormat(park)) {
    case DatabaseFormat::Jet4:
        if (jet::OpenForWritingElsewhere(park))
            writingElsewhere(park);
        held_->jet.emplace(park);
        return;
    case DatabaseFormat::Sqlite:
        break;
    default:
        return;
    }
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(park.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    held_->sqlite.reset(raw);
    if (rc != SQLITE_OK)
        return;
    // The log stays where it is when this closes: by then it belongs to the replaced file.
    int keep = 1;
    sqlite3_file_control(raw, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
    sqlite3_busy_timeout(raw, 5000);
    if (sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK)
        return;
    const int code = sqlite3_errcode(raw) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        writingElsewhere(park);
}

ParkFileLock::~ParkFileLock() = default;

std::optional<std::string> RecoverParkJournal(const std::string &park) {
    std::error_code error;
    if (!std::filesystem::exists(jet::JournalPath(park), error) || DetectDatabaseFormat(park) != DatabaseFormat::Jet4)
        return std::nullopt;
    try {
        return jet::RecoverAsReader(park);
    } catch (const DbError &) {
        return std::nullopt;
    }
}

bool CopyAsDatabase(const std::string &park, const std::string &target) {
    switch (DetectDatabaseFormat(park)) {
    case DatabaseFormat::Jet4: {
        // What a killed writer left half done is put back, so that the copy holds the last commit.
        try {
            jet::RecoverFromJournal(park);
        } catch (const DbError &) {
            return false;
        }
        std::error_code error;
        return std::filesystem::copy_file(park, target, error) && !error;
    }
    case DatabaseFormat::Sqlite:
        break;
    default:
        return false;
    }
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(park.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    SqliteHandle reader(raw);
    return rc == SQLITE_OK && VacuumInto(raw, target);
}

} // namespace tarnwick
