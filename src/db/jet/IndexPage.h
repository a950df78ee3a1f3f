#pragma once
// A page of an index's B-tree. Leaf pages hold one entry per row: the key, then the row's page (three
// bytes) and number (one byte), big-endian so that whole entries sort as bytes. Node pages add the
// page number of the child each entry stands for. Entries are packed from offset 0x1E0; a bitmap from
// offset 0x1B marks where each entry after the first starts, bit N standing for offset 0x1E0 + N.
// The first `prefix` bytes of the page's first entry are left out of every later entry. A node
// entry holds the last entry of its child; leaves link to their neighbours (previous at 0x0C, next
// at 0x10), as Access's files show.
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

class IndexPage {
public:
    IndexPage(const Page &page, std::uint32_t number);

    std::uint32_t number() const { return number_; }
    bool leaf() const { return leaf_; }
    // The next page at the same level; 0 after the last.
    std::uint32_t nextPage() const { return next_; }
    const std::vector<IndexEntry> &entries() const { return entries_; }

private:
    std::uint32_t number_;
    bool leaf_;
    std::uint32_t next_;
    std::vector<IndexEntry> entries_;
};

} // namespace tarnwick::jet
