#include "db/Backups.h"

#include "app/PathCheck.h"
#include "app/Startup.h"
#include "db/Maintenance.h"
#include "db/ParkSchema.h"
#include "db/Sqlite.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <unistd.h>

namespace tarnwick {
namespace {

const std::regex kBackupName("Park_([A-Za-z]+)_(\\d\\d)-(\\d\\d)-(\\d{4}) (\\d\\d) (\\d\\d)\\.MDB", std::regex::icase);

long count(sqlite3 *db, const std::string &table) {
    Statement query(db, "SELECT count(*) FROM \"" + table + "\"");
    return query.step() ? static_cast<long>(sqlite3_column_int64(query.get(), 0)) : 0;
}

// Writes a file's bytes to the disk before it is renamed into place.
bool flushToDisk(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void flushFolder(const std::string &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

BackupInfo DescribeBackup(const std::string &path) {
    BackupInfo info;
    info.path = path;
    std::smatch name;
    const std::string file = std::filesystem::path(path).filename().string();
    if (std::regex_match(file, name, kBackupName)) {
        info.reason = name[1];
        info.stamp =
            name[2].str() + "-" + name[3].str() + "-" + name[4].str() + " " + name[5].str() + " " + name[6].str();
    }
    if (!IsRegularFile(path) || !HasDatabaseHeader(path)) {
        info.problem = path + " is not a park database.";
        return info;
    }
    // Immutable: read as it lies, without a journal or a lock file beside it.
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(("file:" + path + "?immutable=1").c_str(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    SqliteHandle db(raw);
    try {
        if (rc != SQLITE_OK)
            ThrowSqlite(raw);
        Statement check(raw, "PRAGMA integrity_check");
        if (!check.step() || std::string(reinterpret_cast<const char *>(sqlite3_column_text(check.get(), 0))) != "ok")
            throw DbError(dberr::UnrecognizedFormat, "damaged");
        for (const TableDef &table : ParkTables()) {
            Statement exists(raw, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
            sqlite3_bind_text(exists.get(), 1, table.name.c_str(), -1, SQLITE_TRANSIENT);
            if (!exists.step()) {
                info.problem = path + " is not a park database: it has no " + table.name + " table.";
                return info;
            }
        }
        info.sites = count(raw, "Sites");
        info.guests = count(raw, "Guest");
        info.charges = count(raw, "OtherCharges");
        Statement types(raw, "SELECT * FROM ParkInfo LIMIT 1");
        if (types.step())
            for (int c = 0; c < sqlite3_column_count(types.get()); ++c) {
                const std::string column = sqlite3_column_name(types.get(), c);
                const unsigned char *text = sqlite3_column_text(types.get(), c);
                if (column.rfind("SiteType", 0) == 0 && text &&
                    std::string(reinterpret_cast<const char *>(text)) != "None")
                    info.siteTypes.push_back(reinterpret_cast<const char *>(text));
            }
    } catch (const NumberedError &) {
        info.problem = path + " is damaged and cannot be put back.";
    }
    return info;
}

std::vector<BackupInfo> ListBackups(const std::string &folder) {
    std::vector<BackupInfo> backups;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (std::regex_match(it->path().filename().string(), kBackupName))
            backups.push_back(DescribeBackup(it->path().string()));
    // Newest first: by the stamp's year, month, day, hour and minute.
    auto key = [](const BackupInfo &b) {
        return b.stamp.size() == 16 ? b.stamp.substr(6, 4) + b.stamp.substr(0, 2) + b.stamp.substr(3, 2) +
                                          b.stamp.substr(11, 2) + b.stamp.substr(14, 2)
                                    : std::string();
    };
    std::stable_sort(backups.begin(), backups.end(), [&](const BackupInfo &a, const BackupInfo &b) {
        return key(a) != key(b) ? key(a) > key(b) : a.path < b.path;
    });
    return backups;
}

std::string BackupLine(const BackupInfo &info) {
    std::string line = std::filesystem::path(info.path).filename().string() + "\t" +
                       (info.reason.empty() ? "-" : info.reason) + "\t" + (info.stamp.empty() ? "-" : info.stamp);
    if (!info.problem.empty())
        return line + "\t" + info.problem;
    line += "\tSites " + std::to_string(info.sites) + "\tGuest " + std::to_string(info.guests) + "\tOtherCharges " +
            std::to_string(info.charges) + "\tsite types:";
    for (const std::string &type : info.siteTypes)
        line += " " + type;
    return line;
}

std::string RestoreQuestion(const std::string &path) {
    return "Do you want to put the backup " + path +
           " in place of Park.MDB? A backup of the database as it is now is taken first (BeforeRestore).";
}

bool OfferRestore(Session &session, const std::string &path) {
    return session.prompter.ask(RestoreQuestion(path), Buttons::YesNo) == Answer::Yes && RestoreBackup(session, path);
}

bool RestoreBackup(Session &session, const std::string &path) {
    const BackupInfo info = DescribeBackup(path);
    if (!info.problem.empty()) {
        session.prompter.notify("Nothing was restored: " + info.problem, Icon::Exclamation);
        return false;
    }
    if (!ParkStillThere(session))
        return false;
    if (!CopyParkAs(session, "BeforeRestore")) {
        session.prompter.notify("Nothing was restored, as the database as it is now could not be backed up first.",
                                Icon::Exclamation);
        return false;
    }
    if (session.ParkConnection)
        session.ParkConnection->Close();
    const std::string park = session.DbFolder + "/Park.MDB";
    const std::string incoming = session.DbFolder + "/Park.MDB.restoring";
    std::error_code error;
    std::filesystem::copy_file(path, incoming, std::filesystem::copy_options::overwrite_existing, error);
    const bool flushed = !error && flushToDisk(incoming);
    if (flushed) {
        // The old database was folded into its file when its connection closed; its sidecars go
        // first, so that the restored file never meets the old log.
        std::filesystem::remove(park + "-wal", error);
        std::filesystem::remove(park + "-shm", error);
        std::filesystem::rename(incoming, park, error);
    }
    if (!flushed || error) {
        std::filesystem::remove(incoming, error);
        session.prompter.notify("Nothing was restored: " + path + " could not be copied into " + session.DbFolder + ".",
                                Icon::Exclamation);
        CreateRVCon(session);
        return false;
    }
    flushFolder(session.DbFolder);
    CreateRVCon(session);
    session.prompter.notify("The backup " + path + " is now the park database: Sites " + std::to_string(info.sites) +
                            ", Guest " + std::to_string(info.guests) + ", OtherCharges " +
                            std::to_string(info.charges) + ".");
    return true;
}

} // namespace tarnwick
