#pragma once
// Compacting a Jet park: a copy of the database written to a new file, in which the rows of the
// park's own tables are packed and the pages they no longer need are free. Every other object keeps
// its pages, byte for byte.
#include "db/jet/JetDatabase.h"

#include <string>
#include <vector>

namespace tarnwick {

// Writes the committed state of `db`, open for writing (and so held against every other writer),
// into `target`, which must not exist yet, with the tables `owned` packed, and puts it in place of
// `db`'s file in one rename: the file holds the park before or after, never neither. A table the
// engine cannot keep consistent is refused; `target` is then removed and the park left as it was.
// A journal left beside `target` by an earlier compaction cut short is removed first: it belongs to
// no file now.
void CompactPark(const jet::JetDatabase &db, const std::string &target, const std::vector<std::string> &owned);

} // namespace tarnwick
