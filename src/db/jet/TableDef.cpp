#include "db/jet/TableDef.h"

#include "db/jet/JetText.h"

#include <algorithm>
#include <set>

namespace tarnwick::jet {
namespace {

// Offsets within a definition, counted from the start of its first page.
constexpr std::size_t kRowCountAt = 16;
constexpr std::size_t kAutoNumberAt = 20;
constexpr std::size_t kMaxColumnsAt = 41;
constexpr std::size_t kVariableColumnsAt = 43;
constexpr std::size_t kColumnCountAt = 45;
constexpr std::size_t kIndexCountAt = 47;
constexpr std::size_t kTreeCountAt = 51;
constexpr std::size_t kOwnedPagesAt = 55;
constexpr std::size_t kFreeSpacePagesAt = 59;
constexpr std::size_t kTreeCountsAt = 63;

constexpr std::size_t kTreeCountSize = 12;
constexpr std::size_t kColumnSize = 25;
constexpr std::size_t kTreeSize = 52;
constexpr std::size_t kIndexSize = 28;
constexpr std::size_t kTreeColumnSlots = 10;
constexpr std::uint16_t kNoColumn = 0xFFFF;

// Access allows 255 columns and 32 indexes; counts far beyond them are damage, not a big table.
constexpr std::uint32_t kMostColumns = 4096;
constexpr std::uint32_t kMostIndexes = 1024;

// The definition's bytes: its first page whole, then each continuation page after its header.
std::vector<std::uint8_t> definitionBytes(const PageSource &file, std::uint32_t first) {
    std::vector<std::uint8_t> bytes;
    std::set<std::uint32_t> seen;
    for (std::uint32_t number = first; number != 0;) {
        if (!seen.insert(number).second)
            ThrowDamaged("the definition of the table on page " + std::to_string(first) + " loops back on itself");
        const Page page = file.read(number, "table definition");
        if (page.type() != PageType::TableDefinition)
            ThrowDamaged("page " + std::to_string(number) + " was expected to hold a table definition");
        const std::size_t from = bytes.empty() ? 0 : kTableDefHeaderSize;
        bytes.insert(bytes.end(), page.data() + from, page.data() + kPageSize);
        number = page.view("table definition").u32(kTableDefNextPageAt);
    }
    return bytes;
}

// A name stored as a two-byte byte count and UTF-16LE; `at` moves past it.
std::string readName(ByteView definition, std::size_t &at) {
    const std::uint16_t length = definition.u16(at);
    std::string name = DecodeUtf16(definition.slice(at + 2, length));
    at += 2 + std::size_t{length};
    return name;
}

std::uint32_t checkedCount(std::uint32_t count, std::uint32_t most, const char *what) {
    if (count > most)
        ThrowDamaged(std::string("a table definition claims ") + std::to_string(count) + " " + what);
    return count;
}

} // namespace

void WriteTableCounts(Page &definition, const TableDef &table) {
    const auto put32 = [&](std::size_t at, std::uint32_t value) {
        if (at + 4 > kPageSize)
            ThrowDamaged("the definition of the table on page " + std::to_string(table.page) + " is cut short");
        for (int i = 0; i < 4; ++i)
            definition.data()[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put32(kRowCountAt, table.rowCount);
    put32(kAutoNumberAt, table.lastAutoNumber);
    for (std::size_t tree = 0; tree < table.trees.size(); ++tree)
        put32(kTreeCountsAt + tree * kTreeCountSize + 4, table.trees[tree].distinctKeys);
    // A primary key's count is the row count, as Access's files show.
    for (const IndexDef &index : table.indexes)
        if (index.kind == IndexDef::kPrimaryKey)
            put32(kTreeCountsAt + index.tree * kTreeCountSize + 4, table.rowCount);
}

const ColumnDef *TableDef::column(std::uint16_t number) const {
    for (const ColumnDef &c : columns)
        if (c.number == number)
            return &c;
    return nullptr;
}

std::size_t TableDef::autoNumberColumn() const {
    std::size_t at = 0;
    while (at < columns.size() && !(columns[at].autoNumber() && columns[at].kind == ColumnKind::Long))
        ++at;
    return at;
}

const LongValueMaps *TableDef::longValueMaps(std::uint16_t columnNumber) const {
    for (const LongValueMaps &maps : longValues)
        if (maps.columnNumber == columnNumber)
            return &maps;
    return nullptr;
}

TableDef ReadTableDef(const PageSource &file, std::uint32_t page) {
    const std::vector<std::uint8_t> bytes = definitionBytes(file, page);
    const ByteView definition(bytes.data(), bytes.size(), "table definition");

    TableDef table;
    table.page = page;
    table.rowCount = definition.u32(kRowCountAt);
    table.lastAutoNumber = definition.u32(kAutoNumberAt);
    table.maxColumns = definition.u16(kMaxColumnsAt);
    table.variableColumns = definition.u16(kVariableColumnsAt);
    const std::uint32_t columnCount = checkedCount(definition.u16(kColumnCountAt), kMostColumns, "columns");
    const std::uint32_t indexCount = checkedCount(definition.u32(kIndexCountAt), kMostIndexes, "indexes");
    const std::uint32_t treeCount = checkedCount(definition.u32(kTreeCountAt), kMostIndexes, "index trees");
    table.ownedPages = RowId::fromStored(definition.u32(kOwnedPagesAt));
    table.freeSpacePages = RowId::fromStored(definition.u32(kFreeSpacePagesAt));

    std::size_t at = kTreeCountsAt + treeCount * kTreeCountSize;
    for (std::uint32_t i = 0; i < columnCount; ++i, at += kColumnSize) {
        ColumnDef column;
        column.kind = static_cast<ColumnKind>(definition.u8(at));
        column.number = definition.u16(at + 5);
        column.variableIndex = definition.u16(at + 7);
        column.flags = definition.u8(at + 15);
        column.compressedUnicode = definition.u8(at + 16) & 0x01;
        column.fixedOffset = definition.u16(at + 21);
        column.length = definition.u16(at + 23);
        table.columns.push_back(column);
    }
    for (ColumnDef &column : table.columns)
        column.name = readName(definition, at);

    for (std::uint32_t i = 0; i < treeCount; ++i, at += kTreeSize) {
        IndexTree tree;
        for (std::size_t slot = 0; slot < kTreeColumnSlots; ++slot) {
            const std::uint16_t number = definition.u16(at + 4 + 3 * slot);
            if (number != kNoColumn)
                tree.columns.push_back({number, definition.u8(at + 6 + 3 * slot) == 0x01});
        }
        tree.usageMap = RowId::fromStored(definition.u32(at + 34));
        tree.rootPage = definition.u32(at + 38);
        // Four bytes after the first page are left as they were found; the flags follow them.
        tree.flags = definition.u8(at + 46);
        tree.distinctKeys = definition.u32(kTreeCountsAt + i * kTreeCountSize + 4);
        table.trees.push_back(tree);
    }
    for (std::uint32_t i = 0; i < indexCount; ++i, at += kIndexSize) {
        IndexDef index;
        index.number = definition.u32(at + 4);
        index.tree = definition.u32(at + 8);
        index.kind = definition.u8(at + 23);
        if (index.kind == IndexDef::kForeignKey) {
            index.relationSide = definition.u8(at + 12);
            index.relatedIndex = definition.u32(at + 13);
            index.relatedTable = definition.u32(at + 17);
            index.cascadeUpdates = definition.u8(at + 21) == 1;
            index.cascadeDeletes = definition.u8(at + 22) == 1;
        }
        if (index.tree >= treeCount)
            ThrowDamaged("an index of the table on page " + std::to_string(page) + " names a missing index tree");
        table.indexes.push_back(index);
    }
    for (IndexDef &index : table.indexes)
        index.name = readName(definition, at);
    // Then the maps of each memo and OLE column, up to a column number of 0xFFFF.
    for (std::uint16_t number; (number = definition.u16(at)) != kNoColumn; at += 10) {
        if (table.longValues.size() >= columnCount)
            ThrowDamaged("the table definition on page " + std::to_string(page) +
                         " lists more long-value maps than columns");
        table.longValues.push_back(
            {number, RowId::fromStored(definition.u32(at + 2)), RowId::fromStored(definition.u32(at + 6))});
    }

    std::sort(table.columns.begin(), table.columns.end(),
              [](const ColumnDef &a, const ColumnDef &b) { return a.number < b.number; });
    return table;
}

} // namespace tarnwick::jet
