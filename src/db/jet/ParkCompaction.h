#pragma once
// Compacting a Jet park: a copy of the database written to a new file, in which the rows of the
// park's own tables are packed and the pages they no longer need are free. Every other object keeps
// its pages, byte for byte.
#include "db/jet/JetDatabase.h"

#include <string>
#include <vector>

namespace tarnwick {

// Writes the committed state of `db` into `target`, which must not exist yet, with the tables
// `owned` packed. A database another program is writing to is refused, and so is a table the engine
// cannot keep consistent; `target` is then removed.
void CompactPark(const jet::JetDatabase &db, const std::string &target, const std::vector<std::string> &owned);

} // namespace tarnwick
