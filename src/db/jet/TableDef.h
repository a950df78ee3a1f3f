#pragma once
// A table definition as its definition pages hold it: the row count and AutoNumber counter, the
// columns, the indexes and the usage maps of the table's pages.
#include "db/jet/PageSource.h"
#include "db/jet/RowId.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::jet {

// The kinds of columns, as stored.
enum class ColumnKind : std::uint8_t {
    YesNo = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Decimal = 0x10,
};

struct ColumnDef {
    std::string name;
    ColumnKind kind = ColumnKind::Long;
    // The column's number in a row's null mask; counts deleted columns too.
    std::uint16_t number = 0;
    // Where a variable-length column is in a row's variable offset table.
    std::uint16_t variableIndex = 0;
    // Where a fixed-length column starts in a row's fixed area.
    std::uint16_t fixedOffset = 0;
    std::uint16_t length = 0;
    std::uint8_t flags = 0;
    // Text and memo values may be stored compressed.
    bool compressedUnicode = false;

    static constexpr std::uint8_t kFixedLength = 0x01;
    static constexpr std::uint8_t kAutoNumber = 0x04;
    bool fixedLength() const { return flags & kFixedLength; }
    bool autoNumber() const { return flags & kAutoNumber; }
};

struct IndexColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

// An index's B-tree: the entries of one or more logical indexes.
struct IndexTree {
    std::vector<IndexColumn> columns;
    RowId usageMap;
    std::uint32_t rootPage = 0;
    std::uint8_t flags = 0;
    // The count of distinct keys the definition keeps for the tree, which Access's planner reads.
    std::uint32_t distinctKeys = 0;

    static constexpr std::uint8_t kUnique = 0x01;
    static constexpr std::uint8_t kIgnoreNulls = 0x02;
    static constexpr std::uint8_t kRequired = 0x08;
    // Set by Access 2000 and later on every index it writes.
    static constexpr std::uint8_t kJet4 = 0x80;
};

// An index as Access names it; foreign-key indexes may share a tree with another index.
struct IndexDef {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t tree = 0;
    std::uint8_t kind = 0;
    // For an index of a relationship: the side this table is on (kPointedTo, or 2 where its rows
    // point to the other table's), the other table's definition page, and the number of that
    // table's index of the relationship.
    std::uint8_t relationSide = 0;
    std::uint32_t relatedTable = 0;
    std::uint32_t relatedIndex = 0;
    // Whether Access carries a change of the key, or a delete, into the pointing rows.
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;

    static constexpr std::uint8_t kPrimaryKey = 0x01;
    static constexpr std::uint8_t kForeignKey = 0x02;
    // Rows of the other table point to rows of this one.
    static constexpr std::uint8_t kPointedTo = 0x01;
};

// The pages holding one memo or OLE column's long values, and those of them with room.
struct LongValueMaps {
    std::uint16_t columnNumber = 0;
    RowId owned;
    RowId freeSpace;
};

struct TableDef {
    std::uint32_t page = 0;
    std::uint32_t rowCount = 0;
    // The AutoNumber last given; the next row takes the one after it.
    std::uint32_t lastAutoNumber = 0;
    // The columns a row holds, deleted ones included: the size of its null mask.
    std::uint16_t maxColumns = 0;
    std::uint16_t variableColumns = 0;
    std::vector<ColumnDef> columns; // in column-number order
    std::vector<IndexTree> trees;
    std::vector<IndexDef> indexes;
    RowId ownedPages;
    RowId freeSpacePages;
    std::vector<LongValueMaps> longValues;

    // The column of `number`, or nullptr.
    const ColumnDef *column(std::uint16_t number) const;
    // The maps of the memo or OLE column of `number`, or nullptr.
    const LongValueMaps *longValueMaps(std::uint16_t columnNumber) const;
    // Where the Long column the table's counter numbers is in `columns`, or columns.size() when the
    // table has none.
    std::size_t autoNumberColumn() const;
};

// Writes the counts of `table` into its first definition page `definition`: the rows, the
// AutoNumber counter, and each tree's distinct keys (the row count for a primary key's).
void WriteTableCounts(Page &definition, const TableDef &table);

// Reads the definition starting on page `page`, following its chain of continuation pages.
TableDef ReadTableDef(const PageSource &file, std::uint32_t page);

} // namespace tarnwick::jet
