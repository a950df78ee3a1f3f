#pragma once
// An independent check of a table's indexes: reads each index's B-tree from its root down to the
// leaves, and the leaves onward through their next-page links (new leaves may hang off the last
// one before the tree takes them in), then checks that each leaf links back to the one before it,
// that the entries are in order, that each points to a row of the table, that every row appears
// exactly once, and that each key is the one the row's values give, where the engine builds keys
// of the columns' kinds.
#include "db/jet/JetDatabase.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

struct IndexReport {
    std::string index; // the names of the indexes sharing the tree, joined by "/"
    std::size_t entries = 0;
    std::size_t keysCompared = 0;
    std::vector<std::string> problems; // empty when the index is in step with the table
};

// One report per index tree of `table`. A file damaged beyond walking throws as reading does.
std::vector<IndexReport> WalkIndexes(const JetDatabase &database, const TableDef &table);

} // namespace tarnwick::jet
