#pragma once
// Compacting a Jet park: a copy of the database written to a new file.
#include "db/jet/JetDatabase.h"

#include <string>

namespace tarnwick {

// Writes the committed state of `db` into `target`, which must not exist yet.
void CompactPark(const jet::JetDatabase &db, const std::string &target);

} // namespace tarnwick
