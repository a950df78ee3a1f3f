#include "db/jet/JetError.h"

namespace tarnwick::jet {

void ThrowDamaged(const std::string &detail) {
    throw DbError(dberr::UnrecognizedFormat, "The database file is damaged: " + detail + ".");
}

} // namespace tarnwick::jet
