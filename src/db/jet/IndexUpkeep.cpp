#include "db/jet/IndexUpkeep.h"

#include "db/jet/IndexKey.h"
#include "db/jet/UsageMapWrite.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::jet {
namespace {

constexpr std::size_t kOwnerAt = 4;
constexpr std::size_t kPreviousPageAt = 0x0C;
constexpr std::size_t kNextPageAt = 0x10;
constexpr std::size_t kPointerSize = 4;
// Far deeper than any tree of a file's worth of pages; a deeper one loops.
constexpr std::size_t kDeepestTree = 16;

[[noreturn]] void refuse(const std::string &name, const std::string &why) {
    throw Refusal(dberr::StorageFailure, "The table '" + name + "' " + why + ". Nothing was written.");
}

void put32(Page &page, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        page.data()[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Byte `i` of an entry's sort bytes (its key, then its row pointer big-endian), read in place.
std::uint8_t sortByte(const IndexEntry &entry, std::size_t i) {
    if (i < entry.key.size())
        return static_cast<std::uint8_t>(entry.key[i]);
    return static_cast<std::uint8_t>(entry.row.stored() >> (8 * (kPointerSize - 1 - (i - entry.key.size()))));
}

std::size_t sortSize(const IndexEntry &entry) {
    return entry.key.size() + kPointerSize;
}

[[noreturn]] void refuseDuplicate() {
    throw Refusal(dberr::StorageFailure, "The changes you requested to the table were not successful because they "
                                         "would create duplicate values in the index, primary key, or relationship.");
}

// Whether `a` sorts before `b`: their sort bytes compared without building them.
bool before(const IndexEntry &a, const IndexEntry &b) {
    const std::size_t common = std::min(a.key.size(), b.key.size());
    if (const int order = std::memcmp(a.key.data(), b.key.data(), common); order != 0)
        return order < 0;
    if (a.key.size() == b.key.size())
        return a.row.stored() < b.row.stored();
    // One key is the start of the other: the shorter one's row pointer meets the longer one's key.
    const std::size_t aSize = sortSize(a), bSize = sortSize(b);
    for (std::size_t i = common; i < std::min(aSize, bSize); ++i) {
        const std::uint8_t x = sortByte(a, i), y = sortByte(b, i);
        if (x != y)
            return x < y;
    }
    return aSize < bSize;
}

bool same(const IndexEntry &a, const IndexEntry &b) {
    return a.key == b.key && a.row == b.row;
}

std::size_t sortSizeOf(const std::vector<IndexEntry> &entries) {
    std::size_t size = 0;
    for (const IndexEntry &entry : entries)
        size += sortSize(entry);
    return size;
}

bool fits(const std::vector<IndexEntry> &entries, std::size_t sortBytes, bool leaf) {
    return StoredEntriesSize(entries, sortBytes, leaf) <= kIndexEntryRoom;
}

// The node entry standing for `child`: a copy of its last entry.
IndexEntry standingFor(const std::vector<IndexEntry> &childEntries, std::uint32_t child) {
    IndexEntry entry = childEntries.back();
    entry.child = child;
    return entry;
}

std::uint32_t link(const Page &page, std::size_t at) {
    return page.view("index page").u32(at);
}

} // namespace

Page EmptyIndexLeaf(std::uint32_t tablePage) {
    Page page;
    page.data()[1] = 0x01;
    put32(page, kOwnerAt, tablePage);
    return EncodeIndexPage(page, {}, true);
}

void CheckIndexesKeptInStep(const TableDef &table, const std::string &name) {
    // Rows pointed to are checked before they go (see RelatedRows.h); rows that point are not.
    for (const IndexDef &index : table.indexes)
        if (index.kind == IndexDef::kForeignKey && index.relationSide != IndexDef::kPointedTo)
            refuse(name, "points to another table through a relationship, which this engine does not keep in step yet");
    for (const IndexTree &tree : table.trees) {
        for (const IndexColumn &keyColumn : tree.columns) {
            const ColumnDef *column = table.column(keyColumn.columnNumber);
            if (!column || !KeysBuiltFor(column->kind))
                refuse(name, "has an index on a column whose keys this engine does not build yet");
        }
    }
}

IndexUpkeep::IndexUpkeep(PageWrites &pages, TableDef &table, std::string name)
    : pages_(pages), table_(table), name_(std::move(name)) {
    CheckIndexesKeptInStep(table_, name_);
}

std::string IndexUpkeep::keyFor(const IndexTree &tree, const std::vector<JetValue> &values, bool adding) const {
    std::optional<std::string> key = IndexKey(table_, tree, values);
    if (!key)
        refuse(name_, adding ? "is given a text that an index cannot sort (a character beyond the Basic "
                               "Multilingual Plane, such as most emoji, or a NUL)"
                             : "holds a text that an index cannot sort");
    return std::move(*key);
}

void IndexUpkeep::add(const RowKeys &keys, RowId at) {
    for (std::size_t i = 0; i < table_.trees.size(); ++i)
        if (keys.at(i))
            insert(table_.trees[i], IndexEntry{*keys[i], at});
}

RowKeys IndexUpkeep::check(const std::vector<JetValue> &values, std::optional<RowId> replacing) {
    RowKeys keys;
    for (const IndexTree &tree : table_.trees) {
        if ((tree.flags & IndexTree::kRequired) && NullInKey(table_, tree, values))
            throw Refusal(dberr::StorageFailure, "Index or primary key cannot contain a Null value.");
        if (LeftOutOf(table_, tree, values)) {
            keys.emplace_back();
            continue;
        }
        keys.push_back(keyFor(tree, values, true));
        if (!unique(tree))
            continue;
        // The first entry a key can have: any row holding the key is at or after it.
        const IndexEntry first{*keys.back(), RowId{}};
        const CachedPage &leaf = cached(descend(tree, first, true).back().page);
        const auto at = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), first, before);
        if (at != leaf.entries.end() && at->key == first.key && !(replacing && at->row == *replacing))
            refuseDuplicate();
    }
    return keys;
}

void IndexUpkeep::remove(const std::vector<JetValue> &values, RowId at) {
    // Every entry is built before any is taken, so that a key refused leaves the indexes whole.
    std::vector<std::pair<const IndexTree *, IndexEntry>> entries;
    for (const IndexTree &tree : table_.trees)
        if (!LeftOutOf(table_, tree, values))
            entries.emplace_back(&tree, IndexEntry{keyFor(tree, values, false), at});
    for (const auto &[tree, entry] : entries)
        take(*tree, entry);
}

void IndexUpkeep::flush() {
    for (auto &[number, page] : cache_)
        if (page.changed) {
            pages_.write(number, EncodeIndexPage(page.page, page.entries, page.leaf));
            page.changed = false;
        }
}

IndexUpkeep::CachedPage &IndexUpkeep::cached(std::uint32_t number, std::size_t depth) {
    const auto found = cache_.find(number);
    if (found != cache_.end())
        return found->second;
    if (depth > kDeepestTree)
        ThrowDamaged("the index tail pointers from page " + std::to_string(number) + " go deeper than Jet builds");
    CachedPage page;
    page.page = pages_.read(number, "index");
    const IndexPage decoded(page.page, number);
    page.leaf = decoded.leaf();
    page.entries = decoded.entries();
    if (decoded.tailPage() != 0) {
        // The tail is kept as the node's last entry, holding the last entry under it, as every
        // other child's entry does; it is stored as the tail pointer again.
        const CachedPage &tail = cached(decoded.tailPage(), depth + 1);
        IndexEntry standing = !tail.entries.empty()       ? tail.entries.back()
                              : !page.entries.empty() ? page.entries.back()
                                                      : IndexEntry{};
        standing.child = decoded.tailPage();
        page.entries.push_back(std::move(standing));
    }
    page.sortBytes = sortSizeOf(page.entries);
    return cache_.emplace(number, std::move(page)).first->second;
}

void IndexUpkeep::setEntries(CachedPage &page, std::vector<IndexEntry> entries, bool leaf) {
    page.leaf = leaf;
    page.sortBytes = sortSizeOf(entries);
    page.entries = std::move(entries);
    page.changed = true;
}

// A new page of the index, recorded in the index's map and taken off the file's free pages.
std::uint32_t IndexUpkeep::addPage(const IndexTree &tree, CachedPage page) {
    const std::uint32_t number = pages_.append(page.page);
    MarkInUsageMap(pages_, kFreePagesMap, number, false);
    MarkInUsageMap(pages_, tree.usageMap, number, true);
    page.changed = true;
    cache_[number] = std::move(page);
    return number;
}

// A tree flagged unique, or one a primary key stands on: parks made by earlier versions of Tarnwick
// left the flags of their primary keys' trees off.
bool IndexUpkeep::unique(const IndexTree &tree) const {
    if (tree.flags & IndexTree::kUnique)
        return true;
    const auto number = static_cast<std::uint32_t>(&tree - table_.trees.data());
    return std::any_of(table_.indexes.begin(), table_.indexes.end(), [&](const IndexDef &index) {
        return index.tree == number && index.kind == IndexDef::kPrimaryKey;
    });
}

std::vector<IndexEntry>::iterator IndexUpkeep::placeFor(const IndexTree &tree, std::vector<IndexEntry> &entries,
                                                        const IndexEntry &entry) const {
    const auto at = std::upper_bound(entries.begin(), entries.end(), entry, before);
    // Entries of one key sort together, by row: a key already held is beside the new entry's place.
    const bool held =
        (at != entries.end() && at->key == entry.key) || (at != entries.begin() && std::prev(at)->key == entry.key);
    if (held && unique(tree))
        refuseDuplicate();
    return at;
}

// Whether a leaf other than `leaf` holds `key` beside the place `at` of a new entry there: the
// leaf before it when the place is first, the leaf after it when the place is last.
bool IndexUpkeep::heldNextDoor(const CachedPage &leaf, std::size_t at, const std::string &key) {
    if (at == 0)
        if (const std::uint32_t previous = link(leaf.page, kPreviousPageAt); previous != 0) {
            const CachedPage &page = cached(previous);
            if (!page.entries.empty() && page.entries.back().key == key)
                return true;
        }
    if (at == leaf.entries.size())
        if (const std::uint32_t next = link(leaf.page, kNextPageAt); next != 0) {
            const CachedPage &page = cached(next);
            if (!page.entries.empty() && page.entries.front().key == key)
                return true;
        }
    return false;
}

std::vector<IndexUpkeep::Step> IndexUpkeep::descend(const IndexTree &tree, const IndexEntry &entry, bool adding) {
    std::vector<Step> path;
    for (std::uint32_t number = tree.rootPage;;) {
        if (path.size() > kDeepestTree)
            ThrowDamaged("the index tree under page " + std::to_string(tree.rootPage) + " is deeper than Jet builds");
        const CachedPage &page = cached(number);
        if (page.leaf) {
            path.push_back({number, 0});
            return path;
        }
        if (page.entries.empty())
            ThrowDamaged("index page " + std::to_string(number) + " is a node without entries");
        auto slot = std::lower_bound(page.entries.begin(), page.entries.end(), entry, before);
        if (slot == page.entries.end()) {
            if (!adding)
                ThrowDamaged("an index has no entry for a row of its table");
            --slot; // past the end: into the last child
        }
        path.push_back({number, static_cast<std::size_t>(slot - page.entries.begin())});
        number = slot->child;
    }
}

// Each node on `path` above `level` takes the last entry of the child it leads to, which a change
// below may have moved.
void IndexUpkeep::refreshAbove(const IndexTree &tree, const std::vector<Step> &path, std::size_t level) {
    for (std::size_t at = level; at > 0; --at) {
        const std::vector<IndexEntry> &childEntries = cached(path[at].page).entries;
        CachedPage &parent = cached(path[at - 1].page);
        IndexEntry &slot = parent.entries[path[at - 1].slot];
        if (same(slot, childEntries.back()) && slot.child == path[at].page)
            return; // the last entry under the parent, and so above it, stays
        IndexEntry standing = standingFor(childEntries, path[at].page);
        parent.sortBytes = parent.sortBytes - sortSize(slot) + sortSize(standing);
        slot = std::move(standing);
        parent.changed = true;
        // A longer key may leave the parent too full.
        if (!fits(parent.entries, parent.sortBytes, false)) {
            place(tree, path, at - 1, parent.entries, false);
            return;
        }
    }
}

void IndexUpkeep::insert(IndexTree &tree, const IndexEntry &entry) {
    const std::vector<Step> path = descend(tree, entry, true);
    CachedPage &leaf = cached(path.back().page);
    const auto at = placeFor(tree, leaf.entries, entry);
    const auto position = static_cast<std::size_t>(at - leaf.entries.begin());
    const bool held = (at != leaf.entries.end() && at->key == entry.key) ||
                      (at != leaf.entries.begin() && std::prev(at)->key == entry.key) ||
                      heldNextDoor(leaf, position, entry.key);
    if (!held)
        ++tree.distinctKeys;
    const bool atEnd = position == leaf.entries.size();
    leaf.entries.insert(leaf.entries.begin() + static_cast<std::ptrdiff_t>(position), entry);
    leaf.sortBytes += sortSize(entry);
    leaf.changed = true;
    if (fits(leaf.entries, leaf.sortBytes, true))
        refreshAbove(tree, path, path.size() - 1);
    else
        place(tree, path, path.size() - 1, std::move(leaf.entries), atEnd);
}

// Gives the page at `level` of `path` the entries `entries`. Where they do not fit, the page splits:
// a new right neighbour takes the upper half, or only the last entry when the new one came after
// all others at the end of the level (so that rows appended in key order fill their pages), and
// the parent takes an entry for it. The root keeps its page number: split, its two halves move to
// new pages under it, and the tree grows a level.
void IndexUpkeep::place(const IndexTree &tree, const std::vector<Step> &path, std::size_t level,
                        std::vector<IndexEntry> entries, bool atEnd) {
    const std::uint32_t number = path[level].page;
    CachedPage &page = cached(number);
    const bool leaf = page.leaf;
    const std::size_t sortBytes = sortSizeOf(entries);
    if (fits(entries, sortBytes, leaf)) {
        setEntries(page, std::move(entries), leaf);
        refreshAbove(tree, path, level);
        return;
    }
    const std::uint32_t owner = link(page.page, kOwnerAt);
    const std::uint32_t next = link(page.page, kNextPageAt);
    const auto middle =
        atEnd && next == 0 ? entries.end() - 1 : entries.begin() + static_cast<std::ptrdiff_t>(entries.size() / 2);
    CachedPage high;
    high.page = EmptyIndexLeaf(owner);
    setEntries(high, {middle, entries.end()}, leaf);
    entries.erase(middle, entries.end());
    if (level == 0) {
        CachedPage low;
        low.page = EmptyIndexLeaf(owner);
        setEntries(low, std::move(entries), leaf);
        const std::uint32_t left = addPage(tree, std::move(low));
        const std::uint32_t right = addPage(tree, std::move(high));
        put32(cache_[left].page, kNextPageAt, right);
        put32(cache_[right].page, kPreviousPageAt, left);
        CachedPage &root = cached(number);
        root.page = EmptyIndexLeaf(owner);
        setEntries(root, {standingFor(cache_[left].entries, left), standingFor(cache_[right].entries, right)}, false);
        return;
    }
    put32(high.page, kPreviousPageAt, number);
    put32(high.page, kNextPageAt, next);
    const std::uint32_t added = addPage(tree, std::move(high));
    if (next != 0) {
        CachedPage &following = cached(next);
        put32(following.page, kPreviousPageAt, added);
        following.changed = true;
    }
    put32(page.page, kNextPageAt, added);
    setEntries(page, std::move(entries), leaf);

    const Step parent = path[level - 1];
    std::vector<IndexEntry> siblings = cached(parent.page).entries;
    const bool lastChild = parent.slot + 1 == siblings.size();
    siblings[parent.slot] = standingFor(page.entries, number);
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(parent.slot) + 1,
                    standingFor(cache_[added].entries, added));
    place(tree, path, level - 1, std::move(siblings), atEnd && lastChild);
}

// Takes `entry` out of its leaf. A page left empty below the root leaves the tree (its neighbours
// linked past it, its page given back to the file, its parent's entry for it gone), and a root node
// left without children becomes an empty leaf again.
void IndexUpkeep::take(const IndexTree &tree, const IndexEntry &entry) {
    const std::vector<Step> path = descend(tree, entry, false);
    CachedPage &leaf = cached(path.back().page);
    const auto at =
        std::find_if(leaf.entries.begin(), leaf.entries.end(), [&](const IndexEntry &e) { return same(e, entry); });
    if (at == leaf.entries.end())
        ThrowDamaged("an index has no entry for a row of its table");
    leaf.entries.erase(at);
    leaf.sortBytes -= sortSize(entry);
    leaf.changed = true;
    std::size_t level = path.size() - 1;
    for (; level > 0 && cached(path[level].page).entries.empty(); --level) {
        unlink(tree, path[level].page);
        CachedPage &parent = cached(path[level - 1].page);
        parent.entries.erase(parent.entries.begin() + static_cast<std::ptrdiff_t>(path[level - 1].slot));
        setEntries(parent, std::move(parent.entries), false);
    }
    CachedPage &page = cached(path[level].page);
    if (level == 0 && page.entries.empty()) {
        page.page = EmptyIndexLeaf(link(page.page, kOwnerAt));
        setEntries(page, {}, true);
        return;
    }
    refreshAbove(tree, path, level);
}

// Links the neighbours of the page `number` to each other and gives its page back.
void IndexUpkeep::unlink(const IndexTree &tree, std::uint32_t number) {
    const Page leaf = cached(number).page;
    const std::uint32_t previous = link(leaf, kPreviousPageAt), next = link(leaf, kNextPageAt);
    if (previous != 0) {
        CachedPage &page = cached(previous);
        put32(page.page, kNextPageAt, next);
        page.changed = true;
    }
    if (next != 0) {
        CachedPage &page = cached(next);
        put32(page.page, kPreviousPageAt, previous);
        page.changed = true;
    }
    // The page leaves the index: it is written no more.
    cache_.erase(number);
    MarkInUsageMap(pages_, tree.usageMap, number, false);
    MarkInUsageMap(pages_, kFreePagesMap, number, true);
}

} // namespace tarnwick::jet
