#pragma once
// A page of an index's B-tree. Leaf pages hold one entry per row: the key, then the row's page (three
// bytes) and number (one byte), big-endian so that whole entries sort as bytes. Node pages add the
// page number of the child each entry stands for. Entries are packed from offset 0x1E0; a bitmap from
// offset 0x1B marks where each entry after the first starts, bit N standing for offset 0x1E0 + N.
// The first `prefix` bytes of the page's first entry are left out of every later entry. A node
// entry holds the last entry of its child, except for the node's last child, which Access names
// only in the tail pointer at 0x14; leaves link to their neighbours (previous at 0x0C, next at 0x10).
#include "db/jet/PageSource.h"
#include "db/jet/RowId.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

struct IndexEntry {
    std::string key;
    RowId row;
    std::uint32_t child = 0; // node pages only
    // The entry's bytes as they sort: the key, then the row pointer.
    std::string sortBytes() const;
    // The entry as a node page stores it: its sort bytes, then the child's page number.
    std::string nodeBytes() const;
};

// The room an index page has for its entries.
constexpr std::size_t kIndexEntryRoom = 3616;

// How many bytes `entries`, whose sort bytes add up to `sortBytes`, take once stored on a page:
// the bytes all of them start with are stored only in the first (see IndexPage). A node stores its
// children's page numbers too, and its last entry, its tail, takes no room.
std::size_t StoredEntriesSize(const std::vector<IndexEntry> &entries, std::size_t sortBytes, bool leaf);

// `page` holding `entries`, as Access lays an index page out: the type, the free space, the shared
// prefix and the entry map are written; the owner, the links and the bytes Jet keeps unexplained
// stay. A node's last entry stands for its tail: only its child is stored, in the tail pointer.
// Entries that do not fit are a fault of the caller's, reported as damage.
Page EncodeIndexPage(Page page, const std::vector<IndexEntry> &entries, bool leaf);

class IndexPage {
public:
    IndexPage(const Page &page, std::uint32_t number);

    std::uint32_t number() const { return number_; }
    bool leaf() const { return leaf_; }
    // The pages before and after at the same level; 0 before the first and after the last.
    std::uint32_t previousPage() const { return previous_; }
    std::uint32_t nextPage() const { return next_; }
    // A node's last child, which no entry stands for; 0 where every child has an entry.
    std::uint32_t tailPage() const { return tail_; }
    const std::vector<IndexEntry> &entries() const { return entries_; }
    // A node's children in key order: those of its entries, then its tail.
    std::vector<std::uint32_t> children() const;

private:
    std::uint32_t number_;
    bool leaf_;
    std::uint32_t previous_;
    std::uint32_t next_;
    std::uint32_t tail_ = 0;
    std::vector<IndexEntry> entries_;
};

} // namespace tarnwick::jet
