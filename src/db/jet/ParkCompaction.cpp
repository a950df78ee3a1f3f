#include "db/jet/ParkCompaction.h"

#include "base/NewFile.h"
#include "db/jet/Journal.h"

#include <filesystem>

namespace tarnwick {

void CompactPark(const jet::JetDatabase &db, const std::string &target, const std::vector<std::string> &owned) {
    const std::string &source = db.file().path();
    if (db.changing())
        throw DbError(dberr::StorageFailure, "A change to '" + source + "' is under way.");
    std::error_code error;
    std::filesystem::remove(jet::JournalPath(target), error);
    std::filesystem::copy_file(source, target, error);
    if (error) {
        const std::string why = error.message();
        std::filesystem::remove(target, error);
        throw DbError(dberr::StorageFailure, "'" + target + "' could not be written: " + why + ".");
    }
    try {
        jet::JetDatabase(target, jet::JetDatabase::Unshared{}).pack(owned);
        if (!FlushToDisk(target))
            throw DbError(dberr::StorageFailure, "'" + target + "' could not be written to the disk.");
    } catch (...) {
        std::filesystem::remove(target, error);
        throw;
    }
    std::filesystem::rename(target, source, error);
    if (error)
        throw DbError(dberr::StorageFailure,
                      "'" + target + "' could not take the place of '" + source + "': " + error.message() + ".");
    FlushFolder(std::filesystem::absolute(source).parent_path().string());
}

} // namespace tarnwick
