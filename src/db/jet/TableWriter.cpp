#include "db/jet/TableWriter.h"

#include "db/jet/DataPage.h"
#include "db/jet/IndexUpkeep.h"
#include "db/jet/LongValue.h"
#include "db/jet/RelatedRows.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/RowEncoder.h"
#include "db/jet/TableRemove.h"
#include "db/jet/TableRows.h"
#include "db/jet/UsageMap.h"
#include "db/jet/UsageMapWrite.h"

#include <algorithm>

namespace tarnwick::jet {
namespace {

// The largest row a page holds: the page less its header and one row offset.
constexpr std::size_t kLargestRow = kPageSize - kDataRowTableAt - 2;
// Memo and OLE values up to this size stay in the row.
constexpr std::size_t kLargestInlineValue = 64;
constexpr std::uint32_t kInline = 0x80000000;
constexpr std::uint32_t kSingleRow = 0x40000000;

void put32(std::uint8_t *at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string littleEndian32(std::uint32_t value) {
    std::string out(4, '\0');
    put32(reinterpret_cast<std::uint8_t *>(&out[0]), value);
    return out;
}

bool writableKind(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Guid:
    case ColumnKind::Decimal:
        return false;
    default:
        return kind <= ColumnKind::Memo;
    }
}

} // namespace

TableWriter::TableWriter(PageWrites &pages, TableDef table, std::string name)
    : pages_(pages), table_(std::move(table)), name_(std::move(name)), indexes_(pages_, table_, name_),
      related_(pages_, table_, name_) {
    for (const ColumnDef &column : table_.columns)
        if (!writableKind(column.kind))
            throw Refusal(dberr::StorageFailure, "The column '" + column.name + "' of the table '" + name_ +
                                                     "' is of a kind this engine cannot write. Nothing was written.");
}

RowId TableWriter::place(const std::string &row, std::uint32_t owner, std::optional<std::uint32_t> &current,
                         RowId ownedMap, RowId freeSpaceMap) {
    if (row.size() > kLargestRow)
        throw DbError(dberr::StorageFailure, "A row of the table '" + name_ + "' is too large to store.");
    if (!current) {
        // Appends go to the last page the table's free-space map offers.
        const std::vector<std::uint32_t> withRoom = UsageMapPages(pages_, freeSpaceMap);
        if (!withRoom.empty())
            current = withRoom.back();
    }
    if (current) {
        // The page a row goes on is nearly always in the change already, from the row before.
        if (const std::optional<std::uint16_t> at = InsertRow(pages_.edit(*current, "table page"), *current, row))
            return {*current, *at};
        // A page without room for the row leaves the map of pages with room.
        MarkInUsageMap(pages_, freeSpaceMap, *current, false);
    }
    const std::uint32_t number = pages_.append(EmptyDataPage(owner));
    const std::uint16_t at = *InsertRow(pages_.edit(number, "table page"), number, row);
    MarkInUsageMap(pages_, kFreePagesMap, number, false);
    MarkInUsageMap(pages_, ownedMap, number, true);
    MarkInUsageMap(pages_, freeSpaceMap, number, true);
    current = number;
    return {number, at};
}

std::string TableWriter::storeLongValue(const ColumnDef &column, const std::string &bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (bytes.size() <= kLargestInlineValue)
        return littleEndian32(length | kInline) + std::string(8, '\0') + bytes;
    const LongValueMaps *maps = table_.longValueMaps(column.number);
    if (!maps)
        ThrowDamaged("the memo or OLE column " + column.name + " has no page maps");
    std::optional<std::uint32_t> &current = longValuePage_[column.number];
    if (bytes.size() <= kLargestRow) {
        const RowId at = place(bytes, kLongValueOwner, current, maps->owned, maps->freeSpace);
        return littleEndian32(length | kSingleRow) + littleEndian32(at.stored()) + std::string(4, '\0');
    }
    // A chain: the last part is placed first so that each part can point to the next.
    constexpr std::size_t kPart = kLargestRow - 4;
    std::uint32_t next = 0;
    for (std::size_t end = bytes.size(); end > 0;) {
        const std::size_t start = (end - 1) / kPart * kPart;
        next = place(littleEndian32(next) + bytes.substr(start, end - start), kLongValueOwner, current, maps->owned,
                     maps->freeSpace)
                   .stored();
        end = start;
    }
    return littleEndian32(length) + littleEndian32(next) + std::string(4, '\0');
}

void TableWriter::checkValues(const std::vector<JetValue> &values) const {
    if (values.size() != table_.columns.size())
        throw DbError(dberr::ConversionRefused, "A row for the table '" + name_ + "' has " +
                                                    std::to_string(values.size()) + " values for " +
                                                    std::to_string(table_.columns.size()) + " columns.");
    CheckValuesFit(table_, values);
}

RowId TableWriter::append(std::vector<JetValue> values) {
    checkValues(values);
    if (const std::size_t numbered = table_.autoNumberColumn(); numbered < values.size())
        values[numbered] = JetValue::whole(static_cast<std::int32_t>(table_.lastAutoNumber + 1));
    const RowKeys keys = indexes_.check(values, std::nullopt);
    ++table_.lastAutoNumber;
    return put(values, keys);
}

RowId TableWriter::restore(const std::vector<JetValue> &values) {
    checkValues(values);
    const RowKeys keys = indexes_.check(values, std::nullopt);
    if (const std::size_t numbered = table_.autoNumberColumn(); numbered < values.size() && !values[numbered].isNull())
        table_.lastAutoNumber = std::max(table_.lastAutoNumber, static_cast<std::uint32_t>(values[numbered].integer));
    return put(values, keys);
}

RowId TableWriter::put(const std::vector<JetValue> &values, const RowKeys &keys) {
    const std::string row = EncodeRow(table_, values, [this](const ColumnDef &column, const std::string &bytes) {
        return storeLongValue(column, bytes);
    });
    const RowId at = place(row, table_.page, dataPage_, table_.ownedPages, table_.freeSpacePages);
    indexes_.add(keys, at);
    ++table_.rowCount;
    return at;
}

void TableWriter::update(RowId home, std::vector<JetValue> values) {
    checkValues(values);
    const DataPage homePage(pages_.read(home.page, "row"), home.page);
    if (homePage.owner() != table_.page || !(homePage.inScan(home.row) || homePage.movedAway(home.row)))
        throw DbError(dberr::NoCurrentRecord, "Row " + std::to_string(home.row) + " of page " +
                                                  std::to_string(home.page) + " is no row of the table '" + name_ +
                                                  "'.");
    const RowId at = ResolveRow(pages_, table_, home);
    const std::string old = DataPage(pages_.read(at.page, "row"), at.page).row(at.row).bytes();
    const ByteView oldRow(reinterpret_cast<const std::uint8_t *>(old.data()), old.size(), "row");
    const std::vector<JetValue> oldValues = DecodeRow(pages_, table_, oldRow);
    for (std::size_t i = 0; i < table_.columns.size(); ++i)
        if (table_.columns[i].autoNumber())
            values[i] = oldValues[i];
    related_.checkNotPointedTo(oldValues, &values);
    const RowKeys keys = indexes_.check(values, home);

    indexes_.remove(oldValues, home);
    for (ByteView field : LongValueFields(table_, oldRow))
        for (RowId part : LongValueRows(pages_, field))
            FlagRowDeleted(pages_, part);
    const std::string row = EncodeRow(table_, values, [this](const ColumnDef &column, const std::string &bytes) {
        return storeLongValue(column, bytes);
    });

    if (row.size() == old.size()) {
        Page &page = pages_.edit(at.page, "row");
        std::copy(row.begin(), row.end(), page.data() + DataPage(page, at.page).rowOffset(at.row));
    } else {
        if (old.size() < 4 && at == home)
            throw DbError(dberr::StorageFailure, "A row of the table '" + name_ + "' is too short to leave a pointer.");
        const RowId moved = place(row, table_.page, dataPage_, table_.ownedPages, table_.freeSpacePages);
        FlagRow(pages_, moved, kRowMovedHere);
        // The pointer at the row's old place now leads to the new one; a place it moved to before is freed.
        Page &page = pages_.edit(home.page, "row");
        put32(page.data() + DataPage(page, home.page).rowOffset(home.row), moved.stored());
        FlagRow(pages_, home, kRowNotInScan);
        if (!(at == home))
            FlagRowDeleted(pages_, at);
    }
    indexes_.add(keys, home);
}

void TableWriter::finish() {
    indexes_.flush();
    StoreTableCounts(pages_, table_);
}

} // namespace tarnwick::jet
