#pragma once
// The park's backups: what each one holds, and putting one back in place of Park.MDB.
#include "app/Session.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct BackupInfo {
    std::string path;
    std::string reason; // "AddSites", "BeforeRestore", ...; empty for a copy not named as a backup
    std::string stamp;  // "mm-dd-yyyy hh mm" from the name; empty when the name has none
    long sites = 0, guests = 0, charges = 0;
    std::vector<std::string> siteTypes;
    // Why the file cannot be put back; empty for a sound park database.
    std::string problem;
};

// Quick reads the schema and counts; Full also checks every page, as a restore does before it
// puts a file back.
enum class BackupCheck { Quick, Full };

// What the park database file at `path` holds, read without writing to it.
BackupInfo DescribeBackup(const std::string &path, BackupCheck check = BackupCheck::Full);

// The backups in `folder` (Park_<reason>_<mm-dd-yyyy hh mm>.MDB), newest first.
std::vector<BackupInfo> ListBackups(const std::string &folder);

// One line for a backup, as the terminal lists it.
std::string BackupLine(const BackupInfo &info);

// Backs up the folder's Park.MDB as `stem`.MDB beside it, in place of a file of that name, while no
// other program writes to it: a consistent copy, checked as a restore checks it and flushed to the
// disk with its folder entry before it takes the name. Its path. Throws NumberedError after removing
// what it wrote: another program writing, or a copy not written whole (a full disk).
std::string BackUpPark(const std::string &folder, const std::string &stem);

// Puts the park database at `path` in place of Park.MDB: refuses, with a message, a file that is
// not a sound park database; otherwise takes a "BeforeRestore" backup of the current one, then
// replaces it atomically (a flushed copy beside it renamed over it), and opens the connection
// again. True when the file was put back.
bool RestoreBackup(Session &session, const std::string &path);

// The question asked before a restore.
std::string RestoreQuestion(const std::string &path);

// Asks the restore question and, on Yes, restores. True when the file was put back.
bool OfferRestore(Session &session, const std::string &path);

} // namespace tarnwick
