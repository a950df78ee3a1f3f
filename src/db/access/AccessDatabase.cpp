#include "db/access/AccessDatabase.h"

#include "base/PathCheck.h"
#include "db/DbError.h"
#include "db/access/JetHeader.h"
#include "db/access/RemoteAccessDatabase.h"
#include "db/access/SqliteDatabase.h"

namespace tarnwick {

std::unique_ptr<AccessDatabase> OpenAccessDatabase(const std::string &path, const std::string &password,
                                                   const std::function<void()> &waiting) {
    if (!IsRegularFile(path))
        throw DbError(dberr::FileNotFound, "Could not find file '" + path + "'.");
    if (HasDatabaseHeader(path))
        return std::make_unique<SqliteDatabase>(path);
    JetHeader header = ReadJetHeader(path);
    if (header.version == JetVersion::NotJet)
        throw DbError(dberr::FileNotFound, "Unrecognized database format '" + path + "'.");
    // libmdb reads past the password; the check is ours.
    if (!PasswordAccepted(header, password))
        throw DbError(dberr::WrongPassword, "Not a valid password.");
    return std::make_unique<RemoteAccessDatabase>(AccessReaderProgram(), path, ReaderLimits{}, waiting);
}

} // namespace tarnwick
