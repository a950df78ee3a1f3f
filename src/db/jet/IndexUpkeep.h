#pragma once
// Keeping a table's indexes in step as rows are appended and deleted: each new row's entry goes in
// key order into its leaf; a full page splits and its parent takes an entry for the new page, and a
// full root moves its halves down a level. Each tree's count of distinct keys grows with the keys
// it is given that it did not hold (and is not lowered by a delete, as other writers leave it). The
// pages a write changes are read once and kept decoded until the write flushes them; a node's tail
// child is kept as its last entry.
#include "db/jet/IndexPage.h"
#include "db/jet/JetValue.h"
#include "db/jet/PageWrites.h"
#include "db/jet/TableDef.h"

#include <unordered_map>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::jet {

// The root of a new table's index: a leaf without entries, owned by the table defined on `tablePage`.
Page EmptyIndexLeaf(std::uint32_t tablePage);

// Refuses, in a sentence, a table with an index this engine cannot keep in step yet: one on a column
// of another kind, or one by which its rows point to another table's.
void CheckIndexesKeptInStep(const TableDef &table, const std::string &name);

// A row's key in each tree of its table, in the trees' order; none where the tree leaves the row out.
using RowKeys = std::vector<std::optional<std::string>>;

class IndexUpkeep {
public:
    // Refuses, as CheckIndexesKeptInStep does, a table whose indexes the engine cannot keep in step.
    IndexUpkeep(PageWrites &pages, TableDef &table, std::string name);

    // The keys of the row with `values`, after refusing in a sentence, before anything is changed,
    // the row that `add` would refuse: a key this engine cannot build, or one a unique index holds
    // for a row other than `replacing` (the row being changed, if any).
    RowKeys check(const std::vector<JetValue> &values, std::optional<RowId> replacing);
    // Adds the entries of a row with the keys `check` gave, stored at `at`, to every index of the
    // table. A unique index that already holds the key refuses the row in a sentence.
    void add(const RowKeys &keys, RowId at);
    // Takes the entries of the row with `values`, stored at `at`, out of every index of the table.
    void remove(const std::vector<JetValue> &values, RowId at);
    // Writes the changed index pages into the write.
    void flush();

private:
    struct CachedPage {
        Page page; // the type, owner and links; the entries are kept apart until flushed
        bool leaf = true;
        std::vector<IndexEntry> entries;
        std::size_t sortBytes = 0; // the sum of the entries' sort bytes
        bool changed = false;
    };

    // A page on the way from the root to a leaf, and the entry of that page the way goes through.
    struct Step {
        std::uint32_t page;
        std::size_t slot;
    };

    std::string keyFor(const IndexTree &tree, const std::vector<JetValue> &values, bool adding) const;
    // The page `number`, read when it is not kept yet; `depth` counts the tail pointers followed to it.
    CachedPage &cached(std::uint32_t number, std::size_t depth = 0);
    void setEntries(CachedPage &page, std::vector<IndexEntry> entries, bool leaf);
    std::uint32_t addPage(const IndexTree &tree, CachedPage page);
    // The way from the root to the leaf where `entry` belongs (for a removal, where it is).
    std::vector<Step> descend(const IndexTree &tree, const IndexEntry &entry, bool adding);
    void refreshAbove(const IndexTree &tree, const std::vector<Step> &path, std::size_t level);
    void insert(IndexTree &tree, const IndexEntry &entry);
    bool heldNextDoor(const CachedPage &leaf, std::size_t at, const std::string &key);
    void place(const IndexTree &tree, const std::vector<Step> &path, std::size_t level, std::vector<IndexEntry> entries,
               bool atEnd);
    void take(const IndexTree &tree, const IndexEntry &entry);
    void unlink(const IndexTree &tree, std::uint32_t number);
    bool unique(const IndexTree &tree) const;
    // Where `entry` goes among `entries`; a unique index that holds its key refuses it in a sentence.
    std::vector<IndexEntry>::iterator placeFor(const IndexTree &tree, std::vector<IndexEntry> &entries,
                                               const IndexEntry &entry) const;

    PageWrites &pages_;
    TableDef &table_;
    std::string name_;
    std::unordered_map<std::uint32_t, CachedPage> cache_;
};

} // namespace tarnwick::jet
