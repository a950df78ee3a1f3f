#include "db/access/AccessDatabase.h"

#include "app/PathCheck.h"
#include "db/DbError.h"
#include "db/access/JetHeader.h"
#include "db/access/MdbDatabase.h"
#include "db/access/SqliteDatabase.h"

#include <cstdio>
#include <cstring>

namespace tarnwick {
namespace {

bool isSqliteFile(const std::string &path) {
    char magic[16] = {};
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::size_t n = std::fread(magic, 1, sizeof magic, file);
    std::fclose(file);
    return n == 16 && std::memcmp(magic, "SQLite format 3", 16) == 0;
}

} // namespace

std::unique_ptr<AccessDatabase> OpenAccessDatabase(const std::string &path, const std::string &password) {
    if (!IsRegularFile(path))
        throw DbError(dberr::FileNotFound, "Could not find file '" + path + "'.");
    if (isSqliteFile(path))
        return std::make_unique<SqliteDatabase>(path);
    JetHeader header = ReadJetHeader(path);
    if (header.version == JetVersion::NotJet)
        throw DbError(dberr::FileNotFound, "Unrecognized database format '" + path + "'.");
    // libmdb reads past the password; the check is ours, case-sensitive as Jet's.
    if (header.password != password && !(header.password.empty()))
        throw DbError(dberr::WrongPassword, "Not a valid password.");
    return std::make_unique<MdbDatabase>(path);
}

} // namespace tarnwick
