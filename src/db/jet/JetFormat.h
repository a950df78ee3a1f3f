#pragma once
// Layout constants of Jet 4 (Access 2000-2003) files: page size, page types and the offsets within
// pages that more than one part of the engine reads.
#include <cstddef>
#include <cstdint>

namespace tarnwick::jet {

constexpr std::size_t kPageSize = 4096;

// The first byte of every page.
enum class PageType : std::uint8_t {
    Database = 0x00,
    Data = 0x01,
    TableDefinition = 0x02,
    IndexNode = 0x03,
    IndexLeaf = 0x04,
    UsageMap = 0x05,
};

// The system catalog's table definition always starts on page 2.
constexpr std::uint32_t kCatalogPage = 2;

// Data pages (and long-value pages, which share their layout).
constexpr std::size_t kDataFreeSpaceAt = 2;
constexpr std::size_t kDataOwnerAt = 4;
constexpr std::size_t kDataRowCountAt = 12;
constexpr std::size_t kDataRowTableAt = 14;
// The owner field of a long-value page holds the bytes "LVAL" instead of a table's page.
constexpr std::uint32_t kLongValueOwner = 0x4C41564C;

// Flags in the high bits of a row's entry in the row offset table. Jet 4 files show three states
// besides a plain row: a row that moved leaves a four-byte pointer to its new place flagged
// kRowNotInScan; the row at the new place is flagged kRowMovedHere; a deleted row carries both.
// mdbtools and mdb-reader read every row without kRowNotInScan where it is, so a moved row is met
// once, at its new place, and the engine scans the same way.
constexpr std::uint16_t kRowMovedHere = 0x8000;
constexpr std::uint16_t kRowNotInScan = 0x4000;
constexpr std::uint16_t kRowOffsetMask = 0x1FFF;

// Table definition pages: the header, then the definition continued on the next page of the chain.
constexpr std::size_t kTableDefNextPageAt = 4;
constexpr std::size_t kTableDefHeaderSize = 8;
// The definition's length less its first eight bytes.
constexpr std::size_t kTableDefLengthAt = 8;

} // namespace tarnwick::jet
