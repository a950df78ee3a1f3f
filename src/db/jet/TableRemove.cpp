#include "db/jet/TableRemove.h"

#include "db/jet/DataPage.h"
#include "db/jet/IndexUpkeep.h"
#include "db/jet/LongValue.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"

namespace tarnwick::jet {
TableRemove::TableRemove(PageWrites &pages, TableDef table, const std::string &name)
    : pages_(pages), table_(std::move(table)), name_(name), indexes_(pages_, table_, name_),
      related_(pages_, table_, name_) {}

void FlagRow(PageWrites &pages, RowId id, std::uint16_t flags) {
    Page &page = pages.edit(id.page, "row");
    const std::size_t entryAt = kDataRowTableAt + 2 * std::size_t{id.row};
    const auto entry = static_cast<std::uint16_t>(DataPage(page, id.page).rowOffset(id.row) | flags);
    page.data()[entryAt] = static_cast<std::uint8_t>(entry);
    page.data()[entryAt + 1] = static_cast<std::uint8_t>(entry >> 8);
}

void FlagRowDeleted(PageWrites &pages, RowId id) {
    FlagRow(pages, id, kRowMovedHere | kRowNotInScan);
}

void StoreTableCounts(PageWrites &pages, const TableDef &table) {
    WriteTableCounts(pages.edit(table.page, "table definition"), table);
}

void TableRemove::remove(RowId id) {
    const DataPage rows(pages_.read(id.page, "row"), id.page);
    if (rows.owner() != table_.page || !(rows.inScan(id.row) || rows.movedAway(id.row)))
        throw DbError(dberr::NoCurrentRecord, "Row " + std::to_string(id.row) + " of page " + std::to_string(id.page) +
                                                  " is no row of the table '" + name_ + "'.");
    const RowId at = ResolveRow(pages_, table_, id);
    const DataPage holder(pages_.read(at.page, "row"), at.page);
    const ByteView row = holder.row(at.row);
    if (!table_.trees.empty()) {
        const std::vector<JetValue> values = DecodeRow(pages_, table_, row);
        related_.checkNotPointedTo(values);
        indexes_.remove(values, id);
    }
    for (ByteView field : LongValueFields(table_, row))
        for (RowId part : LongValueRows(pages_, field))
            FlagRowDeleted(pages_, part);
    FlagRowDeleted(pages_, at);
    if (!(at == id))
        FlagRowDeleted(pages_, id);
    --table_.rowCount;
}

void TableRemove::finish() {
    indexes_.flush();
    StoreTableCounts(pages_, table_);
}

} // namespace tarnwick::jet
