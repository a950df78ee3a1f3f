#include "db/jet/IndexInsert.h"

#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::jet {
namespace {

constexpr std::size_t kFreeSpaceAt = 2;
constexpr std::size_t kPrefixLengthAt = 0x18;
constexpr std::size_t kEntryMapAt = 0x1B;
constexpr std::size_t kEntriesAt = 0x1E0;

[[noreturn]] void refuse(const std::string &name, const std::string &why) {
    throw DbError(dberr::StorageFailure, "The table '" + name + "' " + why + ". Nothing was written.");
}

// `leaf` written anew with `entries`, unprefixed, its header otherwise kept.
Page leafWith(const Page &leaf, const std::vector<IndexEntry> &entries, const std::string &name) {
    Page page = leaf;
    std::fill(page.data() + kPrefixLengthAt, page.data() + kPageSize, 0);
    std::size_t at = kEntriesAt;
    for (const IndexEntry &entry : entries) {
        const std::string bytes = entry.sortBytes();
        if (at + bytes.size() > kPageSize)
            refuse(name, "has an index page that is full, and this engine does not split index pages yet");
        std::memcpy(page.data() + at, bytes.data(), bytes.size());
        at += bytes.size();
        const std::size_t bit = at - kEntriesAt; // each entry's end is marked, the last one's too
        page.data()[kEntryMapAt + bit / 8] =
            static_cast<std::uint8_t>(page.data()[kEntryMapAt + bit / 8] | 1 << (bit % 8));
    }
    const std::size_t free = kPageSize - at;
    page.data()[kFreeSpaceAt] = static_cast<std::uint8_t>(free);
    page.data()[kFreeSpaceAt + 1] = static_cast<std::uint8_t>(free >> 8);
    return page;
}

} // namespace

void CheckIndexesKeptInStep(const TableDef &table, const std::string &name) {
    for (const IndexDef &index : table.indexes)
        if (index.kind == IndexDef::kForeignKey)
            refuse(name, "takes part in a relationship, which this engine does not keep in step yet");
    for (const IndexTree &tree : table.trees) {
        for (const IndexColumn &keyColumn : tree.columns) {
            const ColumnDef *column = table.column(keyColumn.columnNumber);
            if (!column || column->kind != ColumnKind::Long)
                refuse(name, "has an index on a column whose keys this engine does not build yet");
        }
    }
}

void AddIndexEntries(PageWrites &pages, const TableDef &table, const std::string &name,
                     const std::vector<JetValue> &values, RowId at) {
    for (const IndexTree &tree : table.trees) {
        IndexEntry entry;
        entry.key = *IndexKey(table, tree, values);
        entry.row = at;
        const Page leaf = pages.read(tree.rootPage, "index");
        const IndexPage current(leaf, tree.rootPage);
        if (!current.leaf() || current.nextPage() != 0)
            refuse(name, "has an index of more than one page, which this engine does not keep in step yet");
        std::vector<IndexEntry> entries = current.entries();
        const bool unique = tree.flags & IndexTree::kUnique;
        if (unique &&
            std::any_of(entries.begin(), entries.end(), [&](const IndexEntry &e) { return e.key == entry.key; }))
            throw DbError(dberr::StorageFailure,
                          "The changes you requested to the table were not successful because they would create "
                          "duplicate values in the index, primary key, or relationship.");
        const auto after =
            std::upper_bound(entries.begin(), entries.end(), entry,
                             [](const IndexEntry &a, const IndexEntry &b) { return a.sortBytes() < b.sortBytes(); });
        entries.insert(after, entry);
        pages.write(tree.rootPage, leafWith(leaf, entries, name));
    }
}

} // namespace tarnwick::jet
