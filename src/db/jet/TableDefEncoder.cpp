#include "db/jet/TableDefEncoder.h"

#include "db/jet/JetFormat.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/RowEncoder.h"

namespace tarnwick::jet {
namespace {

// A value every definition Access wrote carries in its header, in each column and in each index.
constexpr std::uint32_t kDefinitionStamp = 0x0659;
constexpr std::uint32_t kTreeStamp = 0x0783;
constexpr std::uint8_t kUserTable = 0x4E;
constexpr std::uint8_t kNullable = 0x02;
constexpr std::uint8_t kCompressedUnicode = 0x01;
constexpr std::uint8_t kAscending = 0x01;
constexpr std::size_t kTreeColumnSlots = 10;

class Bytes {
public:
    void u8(std::uint32_t value) { bytes_.push_back(static_cast<char>(value)); }
    void u16(std::uint32_t value) { u8(value & 0xFF), u8(value >> 8 & 0xFF); }
    void u32(std::uint32_t value) { u16(value & 0xFFFF), u16(value >> 16); }
    void zeros(std::size_t count) { bytes_.append(count, '\0'); }
    void name(const std::string &utf8) {
        const std::string text = EncodeJetText(utf8, false);
        u16(static_cast<std::uint32_t>(text.size()));
        bytes_ += text;
    }
    void set32(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes_[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    }
    std::size_t size() const { return bytes_.size(); }
    const std::string &str() const { return bytes_; }

private:
    std::string bytes_;
};

bool variableLength(ColumnKind kind) {
    return kind == ColumnKind::Text || kind == ColumnKind::Memo || kind == ColumnKind::Ole;
}

} // namespace

std::optional<std::uint16_t> StoredLength(const ColumnDesign &column) {
    switch (column.kind) {
    case ColumnKind::YesNo:
        return 1;
    case ColumnKind::Text:
        if (column.textLength < 1 || column.textLength > 255)
            return std::nullopt;
        return static_cast<std::uint16_t>(2 * column.textLength);
    case ColumnKind::Memo:
    case ColumnKind::Ole:
        return 0;
    case ColumnKind::Guid:
    case ColumnKind::Decimal:
        return std::nullopt;
    default:
        if (const std::size_t size = FixedSize(column.kind))
            return static_cast<std::uint16_t>(size);
        return std::nullopt;
    }
}

Page EncodeTableDef(const TableDesign &design, const TableDefPlaces &places) {
    const auto columnCount = static_cast<std::uint32_t>(design.columns.size());
    std::uint32_t variableCount = 0;
    for (const ColumnDesign &column : design.columns)
        variableCount += variableLength(column.kind);
    const std::uint32_t treeCount = design.primaryKey.empty() ? 0 : 1;

    Bytes out;
    out.u8(static_cast<std::uint8_t>(PageType::TableDefinition));
    out.u8(0x01);
    out.u16(0); // free space, set below
    out.u32(0); // no continuation page
    out.u32(0); // length, set below
    out.u32(kDefinitionStamp);
    out.u32(0); // rows
    out.u32(0); // last AutoNumber
    out.u8(0x01);
    out.zeros(15);
    out.u8(kUserTable);
    out.u16(columnCount);
    out.u16(variableCount);
    out.u16(columnCount);
    out.u32(treeCount); // one index per tree
    out.u32(treeCount);
    out.u32(places.ownedPages.stored());
    out.u32(places.freeSpacePages.stored());
    for (std::uint32_t i = 0; i < treeCount; ++i)
        out.zeros(12); // the tree's row count among zeros; the table starts empty

    std::uint32_t variableIndex = 0;
    std::uint32_t fixedOffset = 0;
    std::uint16_t keyColumn = 0;
    for (std::uint32_t number = 0; number < columnCount; ++number) {
        const ColumnDesign &column = design.columns[number];
        const std::uint16_t length = *StoredLength(column);
        const bool variable = variableLength(column.kind);
        if (column.name == design.primaryKey)
            keyColumn = static_cast<std::uint16_t>(number);
        out.u8(static_cast<std::uint8_t>(column.kind));
        out.u32(kDefinitionStamp);
        out.u16(number);
        out.u16(variableIndex);
        out.u16(number);
        out.u16(places.collation);
        out.u16(0);
        out.u8((variable ? 0 : ColumnDef::kFixedLength) | kNullable | (column.autoNumber ? ColumnDef::kAutoNumber : 0));
        // Access's files flag text columns for compression, and leave memo columns unflagged.
        out.u8(column.kind == ColumnKind::Text ? kCompressedUnicode : 0);
        out.u32(0);
        // Yes/No values live in the null mask and take no room among the fixed-length values.
        out.u16(variable || column.kind == ColumnKind::YesNo ? 0 : fixedOffset);
        out.u16(length);
        if (variable)
            ++variableIndex;
        else if (column.kind != ColumnKind::YesNo)
            fixedOffset += length;
    }
    for (const ColumnDesign &column : design.columns)
        out.name(column.name);

    if (treeCount == 1) {
        out.u32(kTreeStamp);
        out.u16(keyColumn);
        out.u8(kAscending);
        for (std::size_t slot = 1; slot < kTreeColumnSlots; ++slot)
            out.u16(0xFFFF), out.u8(0);
        out.u32(places.keyMap.stored());
        out.u32(places.keyRoot);
        out.zeros(4);
        // A primary key's flags as Access writes them: unique, required.
        out.u8(IndexTree::kUnique | IndexTree::kRequired | IndexTree::kJet4);
        out.zeros(5);

        out.u32(kDefinitionStamp);
        out.u32(0); // index number
        out.u32(0); // its tree
        out.u8(0);  // no related table
        out.u32(0xFFFFFFFF);
        out.u32(0);
        out.u8(0x04); // no cascading updates or deletes
        out.u8(0x04);
        out.u8(IndexDef::kPrimaryKey);
        out.u32(0);
        out.name("PrimaryKey");
    }
    for (const LongValueMaps &maps : places.longValues) {
        out.u16(maps.columnNumber);
        out.u32(maps.owned.stored());
        out.u32(maps.freeSpace.stored());
    }
    out.u16(0xFFFF);
    out.zeros(8);

    if (out.size() > kPageSize)
        throw DbError(dberr::StorageFailure,
                      "The table '" + design.name + "' has more columns than one definition page holds.");
    out.set32(kTableDefLengthAt, static_cast<std::uint32_t>(out.size() - kTableDefHeaderSize));
    Page page;
    std::copy(out.str().begin(), out.str().end(), page.data());
    const auto free = static_cast<std::uint32_t>(kPageSize - out.size());
    page.data()[2] = static_cast<std::uint8_t>(free);
    page.data()[3] = static_cast<std::uint8_t>(free >> 8);
    return page;
}

} // namespace tarnwick::jet
