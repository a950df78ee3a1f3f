#include "db/jet/ParkCompaction.h"

#include "db/jet/LockFile.h"

#include <filesystem>

namespace tarnwick {

void CompactPark(const jet::JetDatabase &db, const std::string &target, const std::vector<std::string> &owned) {
    const std::string &source = db.file().path();
    if (db.changing())
        throw DbError(dberr::StorageFailure, "A change to '" + source + "' is under way.");
    // A copy of a file another program is writing to could hold half of its change.
    if (jet::OpenForWritingElsewhere(source))
        jet::ThrowInUse(source);
    std::error_code error;
    std::filesystem::copy_file(source, target, error);
    if (error)
        throw DbError(dberr::StorageFailure, "'" + target + "' could not be written: " + error.message() + ".");
    try {
        jet::JetDatabase(target, true).pack(owned);
    } catch (...) {
        std::filesystem::remove(target, error);
        throw;
    }
}

} // namespace tarnwick
