#include "db/jet/IndexPage.h"

#include "db/jet/BigEndian.h"

#include <algorithm>

namespace tarnwick::jet {
namespace {

constexpr std::size_t kFreeSpaceAt = 0x02;
constexpr std::size_t kPreviousPageAt = 0x0C;
constexpr std::size_t kNextPageAt = 0x10;
constexpr std::size_t kTailPageAt = 0x14;
constexpr std::size_t kPrefixLengthAt = 0x18;
constexpr std::size_t kEntryMapAt = 0x1B;
constexpr std::size_t kEntriesAt = 0x1E0;
static_assert(kEntriesAt + kIndexEntryRoom == kPageSize);
constexpr std::size_t kRowPointerSize = 4;
constexpr std::size_t kChildPointerSize = 4;

std::uint32_t bigEndian(const std::string &bytes, std::size_t at, std::size_t length) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

void putLittleEndian(Page &page, std::size_t at, std::uint32_t value, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        page.data()[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The length of the prefix the keys of `first` and `last`, and so of every entry sorted between
// them, share: keys of one index are never the start of one another, so it lies within each key.
std::size_t sharedPrefix(const IndexEntry &first, const IndexEntry &last) {
    std::size_t length = 0;
    while (length < first.key.size() && length < last.key.size() && first.key[length] == last.key[length])
        ++length;
    return length;
}

// How many of `entries` a page stores: a node's last is its tail pointer.
std::size_t storedCount(const std::vector<IndexEntry> &entries, bool leaf) {
    return leaf || entries.empty() ? entries.size() : entries.size() - 1;
}

} // namespace

std::size_t StoredEntriesSize(const std::vector<IndexEntry> &entries, std::size_t sortBytes, bool leaf) {
    const std::size_t count = storedCount(entries, leaf);
    if (count == 0)
        return 0;
    if (count < entries.size())
        sortBytes -= entries.back().key.size() + kRowPointerSize;
    const std::size_t prefix = sharedPrefix(entries.front(), entries[count - 1]);
    return sortBytes + (leaf ? 0 : kChildPointerSize * count) - prefix * (count - 1);
}

Page EncodeIndexPage(Page page, const std::vector<IndexEntry> &entries, bool leaf) {
    if (!leaf && entries.empty())
        ThrowDamaged("an index node was given no children");
    std::size_t sortBytes = 0;
    for (const IndexEntry &entry : entries)
        sortBytes += entry.key.size() + kRowPointerSize;
    const std::size_t size = StoredEntriesSize(entries, sortBytes, leaf);
    if (size > kIndexEntryRoom)
        ThrowDamaged("an index page was given entries it cannot hold");
    const std::size_t stored = storedCount(entries, leaf);
    const std::size_t prefix = stored > 1 ? sharedPrefix(entries.front(), entries[stored - 1]) : 0;

    page.data()[0] = static_cast<std::uint8_t>(leaf ? PageType::IndexLeaf : PageType::IndexNode);
    putLittleEndian(page, kFreeSpaceAt, static_cast<std::uint32_t>(kIndexEntryRoom - size), 2);
    putLittleEndian(page, kTailPageAt, leaf ? 0 : entries.back().child, 4);
    putLittleEndian(page, kPrefixLengthAt, static_cast<std::uint32_t>(prefix), 2);
    std::fill(page.data() + kEntryMapAt, page.data() + kPageSize, 0);
    std::size_t at = kEntriesAt;
    for (std::size_t i = 0; i < stored; ++i) {
        const std::string bytes = leaf ? entries[i].sortBytes() : entries[i].nodeBytes();
        const std::size_t skip = i == 0 ? 0 : prefix;
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end(), page.data() + at);
        at += bytes.size() - skip;
        const std::size_t bit = at - kEntriesAt; // each entry's end is marked, the last one's too
        page.data()[kEntryMapAt + bit / 8] = static_cast<std::uint8_t>(page.data()[kEntryMapAt + bit / 8] | 1 << (bit % 8));
    }
    return page;
}

std::string IndexEntry::sortBytes() const {
    return key + BigEndianBytes(row.stored(), kRowPointerSize);
}

std::string IndexEntry::nodeBytes() const {
    return sortBytes() + BigEndianBytes(child, kChildPointerSize);
}

IndexPage::IndexPage(const Page &page, std::uint32_t number) : number_(number) {
    if (page.type() != PageType::IndexLeaf && page.type() != PageType::IndexNode)
        ThrowDamaged("page " + std::to_string(number) + " was expected to hold an index");
    leaf_ = page.type() == PageType::IndexLeaf;
    const ByteView view = page.view("index page");
    previous_ = view.u32(kPreviousPageAt);
    next_ = view.u32(kNextPageAt);
    if (!leaf_)
        tail_ = view.u32(kTailPageAt);
    const std::size_t prefixLength = view.u16(kPrefixLengthAt);
    const std::size_t tail = kRowPointerSize + (leaf_ ? 0 : kChildPointerSize);

    std::string prefix;
    std::size_t start = kEntriesAt;
    // An entry may end at the page's very end: the map has a bit for that offset too.
    for (std::size_t offset = kEntriesAt + 1; offset <= kPageSize; ++offset) {
        const std::size_t bit = offset - kEntriesAt;
        if (!(view.u8(kEntryMapAt + bit / 8) >> (bit % 8) & 1))
            continue;
        std::string bytes = prefix + view.slice(start, offset - start).bytes();
        if (bytes.size() < tail)
            ThrowDamaged("an entry of index page " + std::to_string(number) + " is shorter than its pointers");
        if (entries_.empty()) {
            if (prefixLength > bytes.size() - tail)
                ThrowDamaged("index page " + std::to_string(number) + " shares a prefix longer than its first key");
            prefix = bytes.substr(0, prefixLength);
        }
        const std::size_t keyLength = bytes.size() - tail;
        IndexEntry entry;
        entry.key = bytes.substr(0, keyLength);
        entry.row = RowId::fromStored(bigEndian(bytes, keyLength, kRowPointerSize));
        if (!leaf_)
            entry.child = bigEndian(bytes, keyLength + kRowPointerSize, kChildPointerSize);
        entries_.push_back(std::move(entry));
        start = offset;
    }
}

std::vector<std::uint32_t> IndexPage::children() const {
    std::vector<std::uint32_t> children;
    for (const IndexEntry &entry : entries_)
        children.push_back(entry.child);
    if (tail_ != 0)
        children.push_back(tail_);
    return children;
}

} // namespace tarnwick::jet
