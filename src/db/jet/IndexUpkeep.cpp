#include "db/jet/IndexUpkeep.h"

#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"
#include "db/jet/UsageMapWrite.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::jet {
namespace {

constexpr std::size_t kFreeSpaceAt = 2;
constexpr std::size_t kOwnerAt = 4;
constexpr std::size_t kPreviousPageAt = 0x0C;
constexpr std::size_t kNextPageAt = 0x10;
constexpr std::size_t kPrefixLengthAt = 0x18;
constexpr std::size_t kEntryMapAt = 0x1B;
constexpr std::size_t kEntriesAt = 0x1E0;

[[noreturn]] void refuse(const std::string &name, const std::string &why) {
    throw DbError(dberr::StorageFailure, "The table '" + name + "' " + why + ". Nothing was written.");
}

void put32(Page &page, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        page.data()[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool before(const IndexEntry &a, const IndexEntry &b) {
    return a.sortBytes() < b.sortBytes();
}

std::size_t bytesOf(const std::vector<IndexEntry> &entries, bool leaf) {
    std::size_t size = 0;
    for (const IndexEntry &entry : entries)
        size += leaf ? entry.sortBytes().size() : entry.nodeBytes().size();
    return size;
}

bool fits(const std::vector<IndexEntry> &entries, bool leaf) {
    return kEntriesAt + bytesOf(entries, leaf) <= kPageSize;
}

// `base` (whose type, owner and links are kept) with `entries`, unprefixed.
Page withEntries(Page page, const std::vector<IndexEntry> &entries, bool leaf) {
    page.data()[0] = static_cast<std::uint8_t>(leaf ? PageType::IndexLeaf : PageType::IndexNode);
    std::fill(page.data() + kPrefixLengthAt, page.data() + kPageSize, 0);
    std::size_t at = kEntriesAt;
    for (const IndexEntry &entry : entries) {
        const std::string bytes = leaf ? entry.sortBytes() : entry.nodeBytes();
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

// The node entry standing for `child`: a copy of its last entry.
IndexEntry standingFor(const std::vector<IndexEntry> &childEntries, std::uint32_t child) {
    IndexEntry entry = childEntries.back();
    entry.child = child;
    return entry;
}

class TreeChange {
public:
    TreeChange(PageWrites &pages, const IndexTree &tree, const std::string &name)
        : pages_(pages), tree_(tree), name_(name) {}

    void insert(const IndexEntry &entry) {
        const Page rootPage = pages_.read(tree_.rootPage, "index");
        const IndexPage root(rootPage, tree_.rootPage);
        if (root.leaf())
            insertIntoRootLeaf(rootPage, root, entry);
        else
            insertUnderNode(rootPage, root, entry);
    }

    // Takes `entry` out of its leaf. A leaf left empty under the root node leaves the tree (its
    // neighbours linked past it, its page given back to the file), and a root node left without
    // children becomes an empty leaf again.
    void remove(const IndexEntry &entry) {
        const Page rootPage = pages_.read(tree_.rootPage, "index");
        const IndexPage root(rootPage, tree_.rootPage);
        if (root.leaf()) {
            pages_.write(tree_.rootPage, withEntries(rootPage, without(root.entries(), entry), true));
            return;
        }
        std::vector<IndexEntry> children = root.entries();
        const auto slot = std::lower_bound(children.begin(), children.end(), entry, before);
        if (slot == children.end())
            ThrowDamaged("an index has no entry for a row of its table");
        const std::uint32_t childNumber = slot->child;
        const Page childPage = pages_.read(childNumber, "index");
        const IndexPage child(childPage, childNumber);
        const std::vector<IndexEntry> entries = without(child.entries(), entry);
        if (!entries.empty()) {
            pages_.write(childNumber, withEntries(childPage, entries, true));
            *slot = standingFor(entries, childNumber);
        } else {
            unlink(childPage, childNumber);
            children.erase(slot);
        }
        pages_.write(tree_.rootPage, children.empty() ? emptyLeaf(rootPage) : withEntries(rootPage, children, false));
    }

private:
    std::vector<IndexEntry> without(std::vector<IndexEntry> entries, const IndexEntry &entry) {
        const auto at = std::find_if(entries.begin(), entries.end(),
                                     [&](const IndexEntry &e) { return e.sortBytes() == entry.sortBytes(); });
        if (at == entries.end())
            ThrowDamaged("an index has no entry for a row of its table");
        entries.erase(at);
        return entries;
    }

    // Links the neighbours of the leaf `number` to each other and gives its page back.
    void unlink(const Page &leaf, std::uint32_t number) {
        const ByteView view = leaf.view("index page");
        const std::uint32_t previous = view.u32(kPreviousPageAt), next = view.u32(kNextPageAt);
        if (previous != 0) {
            Page page = pages_.read(previous, "index");
            put32(page, kNextPageAt, next);
            pages_.write(previous, page);
        }
        if (next != 0) {
            Page page = pages_.read(next, "index");
            put32(page, kPreviousPageAt, previous);
            pages_.write(next, page);
        }
        MarkInUsageMap(pages_, tree_.usageMap, number, false);
        MarkInUsageMap(pages_, kFreePagesMap, number, true);
    }

    std::vector<IndexEntry> withEntry(std::vector<IndexEntry> entries, const IndexEntry &entry) {
        if ((tree_.flags & IndexTree::kUnique) &&
            std::any_of(entries.begin(), entries.end(), [&](const IndexEntry &e) { return e.key == entry.key; }))
            throw DbError(dberr::StorageFailure,
                          "The changes you requested to the table were not successful because they would create "
                          "duplicate values in the index, primary key, or relationship.");
        entries.insert(std::upper_bound(entries.begin(), entries.end(), entry, before), entry);
        return entries;
    }

    // A new page of the index, recorded in the index's map and taken off the file's free pages.
    std::uint32_t addPage(const Page &page) {
        const std::uint32_t number = pages_.append(page);
        MarkInUsageMap(pages_, kFreePagesMap, number, false);
        MarkInUsageMap(pages_, tree_.usageMap, number, true);
        return number;
    }

    Page emptyLeaf(const Page &like) { return EmptyIndexLeaf(like.view("index").u32(kOwnerAt)); }

    // The root leaf, when full, keeps its page number as a node over two new leaves.
    void insertIntoRootLeaf(const Page &rootPage, const IndexPage &root, const IndexEntry &entry) {
        std::vector<IndexEntry> entries = withEntry(root.entries(), entry);
        if (fits(entries, true)) {
            pages_.write(tree_.rootPage, withEntries(rootPage, entries, true));
            return;
        }
        const auto middle = entries.begin() + static_cast<std::ptrdiff_t>(entries.size() / 2);
        const std::vector<IndexEntry> low(entries.begin(), middle), high(middle, entries.end());
        const std::uint32_t left = addPage(emptyLeaf(rootPage)), right = addPage(emptyLeaf(rootPage));
        Page leftPage = emptyLeaf(rootPage), rightPage = emptyLeaf(rootPage);
        put32(leftPage, kNextPageAt, right);
        put32(rightPage, kPreviousPageAt, left);
        pages_.write(left, withEntries(leftPage, low, true));
        pages_.write(right, withEntries(rightPage, high, true));
        pages_.write(tree_.rootPage,
                     withEntries(emptyLeaf(rootPage), {standingFor(low, left), standingFor(high, right)}, false));
    }

    // Under a node root: into the leaf whose range holds the entry (the last leaf past the end); a
    // full leaf splits, its new right neighbour taking the upper half, or only the new entry when it
    // comes after all others (so that rows appended in key order fill their leaves).
    void insertUnderNode(const Page &rootPage, const IndexPage &root, const IndexEntry &entry) {
        std::vector<IndexEntry> children = root.entries();
        if (children.empty())
            ThrowDamaged("index page " + std::to_string(tree_.rootPage) + " is a node without entries");
        auto slot = std::lower_bound(children.begin(), children.end(), entry, before);
        if (slot == children.end())
            --slot;
        const std::uint32_t childNumber = slot->child;
        const Page childPage = pages_.read(childNumber, "index");
        const IndexPage child(childPage, childNumber);
        if (!child.leaf())
            refuse(name_, "has an index of more than two levels, which this engine does not keep in step yet");
        const bool atEnd = child.entries().empty() || before(child.entries().back(), entry);
        std::vector<IndexEntry> entries = withEntry(child.entries(), entry);
        if (fits(entries, true)) {
            pages_.write(childNumber, withEntries(childPage, entries, true));
            *slot = standingFor(entries, childNumber);
        } else {
            const auto middle = atEnd && child.nextPage() == 0
                                    ? entries.end() - 1
                                    : entries.begin() + static_cast<std::ptrdiff_t>(entries.size() / 2);
            const std::vector<IndexEntry> low(entries.begin(), middle), high(middle, entries.end());
            const std::uint32_t newNumber = addPage(emptyLeaf(childPage));
            Page newPage = emptyLeaf(childPage);
            put32(newPage, kPreviousPageAt, childNumber);
            put32(newPage, kNextPageAt, child.nextPage());
            if (child.nextPage() != 0) {
                Page following = pages_.read(child.nextPage(), "index");
                put32(following, kPreviousPageAt, newNumber);
                pages_.write(child.nextPage(), following);
            }
            Page lowPage = childPage;
            put32(lowPage, kNextPageAt, newNumber);
            pages_.write(childNumber, withEntries(lowPage, low, true));
            pages_.write(newNumber, withEntries(newPage, high, true));
            *slot = standingFor(low, childNumber);
            children.insert(slot + 1, standingFor(high, newNumber));
        }
        if (!fits(children, false))
            refuse(name_, "has an index that needs a third level, which this engine does not build yet");
        pages_.write(tree_.rootPage, withEntries(rootPage, children, false));
    }

    PageWrites &pages_;
    const IndexTree &tree_;
    const std::string &name_;
};

} // namespace

Page EmptyIndexLeaf(std::uint32_t tablePage) {
    Page page;
    page.data()[1] = 0x01;
    put32(page, kOwnerAt, tablePage);
    return withEntries(page, {}, true);
}

void CheckIndexesKeptInStep(const TableDef &table, const std::string &name) {
    for (const IndexDef &index : table.indexes)
        if (index.kind == IndexDef::kForeignKey)
            refuse(name, "takes part in a relationship, which this engine does not keep in step yet");
    for (const IndexTree &tree : table.trees) {
        for (const IndexColumn &keyColumn : tree.columns) {
            const ColumnDef *column = table.column(keyColumn.columnNumber);
            if (!column || (column->kind != ColumnKind::Long && column->kind != ColumnKind::Text))
                refuse(name, "has an index on a column whose keys this engine does not build yet");
        }
    }
}

void AddIndexEntries(PageWrites &pages, const TableDef &table, const std::string &name,
                     const std::vector<JetValue> &values, RowId at) {
    for (const IndexTree &tree : table.trees) {
        IndexEntry entry;
        const std::optional<std::string> key = IndexKey(table, tree, values);
        if (!key)
            refuse(name, "is given a text whose index key this engine does not build yet (it builds them for "
                         "non-empty text of letters, digits, spaces and underscores)");
        entry.key = *key;
        entry.row = at;
        TreeChange(pages, tree, name).insert(entry);
    }
}

void RemoveIndexEntries(PageWrites &pages, const TableDef &table, const std::string &name,
                        const std::vector<JetValue> &values, RowId at) {
    for (const IndexTree &tree : table.trees) {
        IndexEntry entry;
        const std::optional<std::string> key = IndexKey(table, tree, values);
        if (!key)
            refuse(name, "holds a text whose index key this engine does not build yet");
        entry.key = *key;
        entry.row = at;
        TreeChange(pages, tree, name).remove(entry);
    }
}

} // namespace tarnwick::jet
