#include "db/jet/IndexPage.h"

namespace tarnwick::jet {
namespace {

constexpr std::size_t kNextPageAt = 0x10;
constexpr std::size_t kPrefixLengthAt = 0x18;
constexpr std::size_t kEntryMapAt = 0x1B;
constexpr std::size_t kEntriesAt = 0x1E0;
constexpr std::size_t kRowPointerSize = 4;
constexpr std::size_t kChildPointerSize = 4;

std::uint32_t bigEndian(const std::string &bytes, std::size_t at, std::size_t length) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

} // namespace

std::string IndexEntry::sortBytes() const {
    std::string bytes = key;
    const std::uint32_t stored = row.stored();
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>(stored >> shift & 0xFF);
    return bytes;
}

std::string IndexEntry::nodeBytes() const {
    std::string bytes = sortBytes();
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>(child >> shift & 0xFF);
    return bytes;
}

IndexPage::IndexPage(const Page &page, std::uint32_t number) : number_(number) {
    if (page.type() != PageType::IndexLeaf && page.type() != PageType::IndexNode)
        ThrowDamaged("page " + std::to_string(number) + " was expected to hold an index");
    leaf_ = page.type() == PageType::IndexLeaf;
    const ByteView view = page.view("index page");
    next_ = view.u32(kNextPageAt);
    const std::size_t prefixLength = view.u16(kPrefixLengthAt);
    const std::size_t tail = kRowPointerSize + (leaf_ ? 0 : kChildPointerSize);

    std::string prefix;
    std::size_t start = kEntriesAt;
    for (std::size_t offset = kEntriesAt + 1; offset < kPageSize; ++offset) {
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

} // namespace tarnwick::jet
