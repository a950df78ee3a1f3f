#include "app/Backups.h"

#include "app/Maintenance.h"
#include "app/Startup.h"
#include "base/NewFile.h"
#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "db/OpenEngine.h"
#include "db/ParkFileLock.h"
#include "db/ParkSchema.h"
#include "db/jet/Journal.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>
#include <system_error>

namespace tarnwick {
namespace {

// A backup's name; a second BeforeRestore of the same minute carries " (2)", " (3)" ...
const std::regex kBackupName("Park_([A-Za-z]+)_(\\d\\d)-(\\d\\d)-(\\d{4}) (\\d\\d) (\\d\\d)(?: \\(\\d+\\))?\\.MDB",
                             std::regex::icase);

// Whether the copy at `path` reads whole, every page checked as a restore checks it.
bool ReadsWhole(const std::string &path) {
    try {
        OpenEngine(path, "", EngineAccess::ReadAsItLies)->checkIntegrity();
        return true;
    } catch (const NumberedError &) {
        return false;
    }
}

// How a backup takes its name `stem`.MDB when a file has it already: in its place, or beside it as
// `stem` (2).MDB ...
enum class Naming { Replacing, Beside };

// A copy of the park written beside it as `stem`.MDB, named as `naming` says; checked and flushed,
// with its folder entry, before it is named, so that the name never shows a partial copy. A park
// that no engine can read (the reason for many a restore) is copied byte for byte. The caller holds
// the park against other writers. Throws std::exception, after removing what it wrote.
std::string SnapshotPark(const std::string &park, const std::string &folder, const std::string &stem, Naming naming) {
    const std::string temporary = MakeTemporaryFile(folder);
    try {
        std::remove(temporary.c_str()); // the copy makes the file itself
        if (CopyAsDatabase(park, temporary)) {
            if (!ReadsWhole(temporary))
                throw std::runtime_error("the copy of " + park + " does not read back whole");
        } else {
            std::remove(temporary.c_str());
            std::filesystem::copy_file(park, temporary);
        }
        if (!FlushToDisk(temporary))
            throw std::runtime_error("the copy could not be written to the disk");
        std::string named = folder + "/" + stem + ".MDB";
        if (naming == Naming::Beside)
            named = NameWithoutReplacing(temporary, folder, stem, ".MDB");
        else
            std::filesystem::rename(temporary, named);
        FlushFolder(folder);
        return named;
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}

// Puts a flushed copy of `path` in place of the park, atomically; what went wrong, or nothing.
std::string replacePark(Session &session, const std::string &path, const std::string &park) {
    std::string incoming;
    try {
        incoming = MakeTemporaryFile(session.DbFolder);
        std::filesystem::copy_file(path, incoming, std::filesystem::copy_options::overwrite_existing);
        if (!FlushToDisk(incoming))
            throw std::runtime_error("not flushed");
        // The old database's log, shared memory and journal go first, so that the restored file
        // never meets them; the write lock keeps every other writer out meanwhile.
        std::filesystem::remove(park + "-wal");
        std::filesystem::remove(park + "-shm");
        std::filesystem::remove(jet::JournalPath(park));
        std::filesystem::rename(incoming, park);
    } catch (const std::exception &) {
        std::error_code error;
        if (!incoming.empty())
            std::filesystem::remove(incoming, error);
        return "Nothing was restored: " + path + " could not be copied into " + session.DbFolder + ".";
    }
    FlushFolder(session.DbFolder);
    return {};
}

} // namespace

BackupInfo DescribeBackup(const std::string &path, BackupCheck check) {
    BackupInfo info;
    info.path = path;
    std::smatch name;
    const std::string file = std::filesystem::path(path).filename().string();
    if (std::regex_match(file, name, kBackupName)) {
        info.reason = name[1];
        info.stamp =
            name[2].str() + "-" + name[3].str() + "-" + name[4].str() + " " + name[5].str() + " " + name[6].str();
    }
    const DatabaseFormat format = IsRegularFile(path) ? DetectDatabaseFormat(path) : DatabaseFormat::Other;
    if (format != DatabaseFormat::Sqlite && format != DatabaseFormat::Jet4) {
        info.problem = path + " is not a park database.";
        return info;
    }
    try {
        const std::unique_ptr<Engine> engine = OpenEngine(path, "", EngineAccess::ReadAsItLies);
        if (check == BackupCheck::Full)
            engine->checkIntegrity();
        const std::string problem = ParkSchemaProblem(*engine);
        if (!problem.empty()) {
            info.problem = path + " is not a park database: " + problem + ".";
            return info;
        }
        info.sites = engine->rowCount("Sites");
        info.guests = engine->rowCount("Guest");
        info.charges = engine->rowCount("OtherCharges");
        const std::unique_ptr<EngineTable> parkInfo = engine->openTable("ParkInfo");
        std::vector<Value> first;
        const std::vector<RowKey> rows = parkInfo->keys(std::nullopt);
        if (!rows.empty() && parkInfo->read(rows.front(), first))
            for (std::size_t c = 0; c < first.size(); ++c)
                if (UpperCase(parkInfo->columns()[c].name).rfind("SITETYPE", 0) == 0 && first[c].isText() &&
                    first[c].text() != "None")
                    info.siteTypes.push_back(first[c].text());
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
            backups.push_back(DescribeBackup(it->path().string(), BackupCheck::Quick));
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

std::string BackUpPark(const std::string &folder, const std::string &stem) {
    const std::string park = folder + "/Park.MDB";
    const ParkFileLock lock(park);
    try {
        return SnapshotPark(park, folder, stem, Naming::Replacing);
    } catch (const NumberedError &) {
        throw;
    } catch (const std::system_error &error) {
        throw NumberedError(75, std::string("Path/File access error: ") + error.code().message());
    } catch (const std::exception &error) {
        throw NumberedError(75, std::string("Path/File access error: ") + error.what());
    }
}

bool RestoreBackup(Session &session, const std::string &path) {
    const BackupInfo info = DescribeBackup(path, BackupCheck::Full);
    if (!info.problem.empty()) {
        session.prompter.notify("Nothing was restored: " + info.problem, Icon::Exclamation);
        return false;
    }
    if (!ParkStillThere(session))
        return false;
    if (session.ParkConnection)
        session.ParkConnection->Close();
    const std::string park = session.DbFolder + "/Park.MDB";
    std::string refusal;
    std::optional<std::string> before;
    {
        std::unique_ptr<ParkFileLock> lock;
        try {
            lock = std::make_unique<ParkFileLock>(park);
        } catch (const NumberedError &error) {
            refusal = "Nothing was restored: " + error.description() + ".";
        }
        if (lock)
            try {
                before = SnapshotPark(park, session.DbFolder, "Park_BeforeRestore_" + BackupTimeStamp(session),
                                      Naming::Beside);
            } catch (const std::exception &) {
                refusal = "Nothing was restored, as the database as it is now could not be backed up first.";
            }
        if (before)
            refusal = replacePark(session, path, park);
    }
    // The connection is back before the messages: a window may use it while they are up.
    CreateRVCon(session);
    if (before)
        session.prompter.notify("The Database has been BackedUp as " + *before);
    if (!refusal.empty()) {
        session.prompter.notify(refusal, Icon::Exclamation);
        return false;
    }
    session.prompter.notify("The backup " + path + " is now the park database: Sites " + std::to_string(info.sites) +
                            ", Guest " + std::to_string(info.guests) + ", OtherCharges " +
                            std::to_string(info.charges) + ".");
    return true;
}

} // namespace tarnwick
