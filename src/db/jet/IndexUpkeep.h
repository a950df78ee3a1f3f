#pragma once
// Keeping a table's indexes in step as rows are appended and deleted, so far for the indexes whose keys the
// engine builds (see IndexKey.h), in trees of up to two levels: each new row's entry goes in key order
// into its leaf; a full leaf splits, and a full root leaf becomes a node over two leaves.
#include "db/jet/JetValue.h"
#include "db/jet/PageWrites.h"
#include "db/jet/TableDef.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

// The root of a new table's index: a leaf without entries, owned by the table defined on `tablePage`.
Page EmptyIndexLeaf(std::uint32_t tablePage);

// Refuses, in a sentence, a table with an index this engine cannot keep in step yet: one on a column
// of another kind, or one that enforces a relationship.
void CheckIndexesKeptInStep(const TableDef &table, const std::string &name);

// Adds the entries of the row with `values`, stored at `at`, to every index of `table`. A unique
// index that already holds the key, or a tree that would need a third level, refuses the row in a
// sentence.
void AddIndexEntries(PageWrites &pages, const TableDef &table, const std::string &name,
                     const std::vector<JetValue> &values, RowId at);

// Takes the entries of the row with `values`, stored at `at`, out of every index of `table`.
void RemoveIndexEntries(PageWrites &pages, const TableDef &table, const std::string &name,
                        const std::vector<JetValue> &values, RowId at);

} // namespace tarnwick::jet
