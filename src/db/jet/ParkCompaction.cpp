#include "db/jet/ParkCompaction.h"

#include <filesystem>

namespace tarnwick {

void CompactPark(const jet::JetDatabase &db, const std::string &target) {
    if (db.changing())
        throw DbError(dberr::StorageFailure, "A change to '" + db.file().path() + "' is under way.");
    std::error_code error;
    std::filesystem::copy_file(db.file().path(), target, error);
    if (error)
        throw DbError(dberr::StorageFailure, "'" + target + "' could not be written: " + error.message() + ".");
}

} // namespace tarnwick
