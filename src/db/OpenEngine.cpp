#include "db/OpenEngine.h"

#include "base/PathCheck.h"
#include "db/access/JetHeader.h"
#include "db/jet/JetEngine.h"
#include "db/sqlite/SqliteEngine.h"

namespace tarnwick {

DatabaseFormat DetectDatabaseFormat(const std::string &path) {
    if (HasDatabaseHeader(path))
        return DatabaseFormat::Sqlite;
    switch (ReadJetHeader(path).version) {
    case JetVersion::Jet3:
        return DatabaseFormat::Jet3;
    case JetVersion::Jet4:
        return DatabaseFormat::Jet4;
    case JetVersion::Ace:
        return DatabaseFormat::Ace;
    case JetVersion::NotJet:
        break;
    }
    return DatabaseFormat::Other;
}

std::unique_ptr<Engine> OpenEngine(const std::string &path, const std::string &password, EngineAccess access) {
    if (path.empty() || !IsRegularFile(path))
        throw DbError(dberr::FileNotFound, "Could not find file '" + path + "'.");
    const std::string cannotBePark = " Tarnwick writes only to Access 2000-2003 (Jet 4) databases and to its own.";
    switch (DetectDatabaseFormat(path)) {
    case DatabaseFormat::Sqlite:
        return std::make_unique<SqliteEngine>(path, access);
    case DatabaseFormat::Jet4:
        if (access == EngineAccess::Write && !PasswordAccepted(ReadJetHeader(path), password))
            throw DbError(dberr::WrongPassword, "Not a valid password.");
        return std::make_unique<JetEngine>(path, access);
    case DatabaseFormat::Jet3:
        throw DbError(dberr::UnrecognizedFormat, path + " is an Access 97 (Jet 3) database." + cannotBePark);
    case DatabaseFormat::Ace:
        throw DbError(dberr::UnrecognizedFormat, path + " is an Access 2007 or later (ACE) database." + cannotBePark);
    case DatabaseFormat::Other:
        break;
    }
    // An empty file or any other kind of file is refused before an engine sees it: SQLite would
    // take an empty file for a new database and write to it.
    throw DbError(dberr::UnrecognizedFormat, "Unrecognized database format '" + path + "'.");
}

} // namespace tarnwick
