#include "db/jet/TableRows.h"

#include "db/jet/DataPage.h"
#include "db/jet/UsageMap.h"

#include <map>
#include <string>

namespace tarnwick::jet {
namespace {

// The data page `number`, checked to belong to `table`.
DataPage tablePage(const PageSource &file, const TableDef &table, std::uint32_t number) {
    DataPage page(file.read(number, "row pointer"), number);
    if (page.owner() != table.page)
        ThrowDamaged("page " + std::to_string(number) + " is listed for the table on page " +
                     std::to_string(table.page) + " but belongs to another");
    return page;
}

} // namespace

void ScanRows(const PageSource &file, const TableDef &table, const std::function<bool(RowId, ByteView)> &visit) {
    const std::vector<std::uint32_t> pages = UsageMapPages(file, table.ownedPages);
    // Where the moved rows' pointers are, by the place each leads to.
    std::map<std::uint32_t, RowId> homes;
    for (std::uint32_t number : pages) {
        const DataPage rows = tablePage(file, table, number);
        for (std::uint16_t row = 0; row < rows.rowCount(); ++row)
            if (rows.movedAway(row))
                homes.emplace(rows.row(row).u32(0), RowId{number, row});
    }
    for (std::uint32_t number : pages) {
        const DataPage rows = tablePage(file, table, number);
        for (std::uint16_t row = 0; row < rows.rowCount(); ++row) {
            if (!rows.inScan(row))
                continue;
            const auto home = homes.find(RowId{number, row}.stored());
            if (!visit(home != homes.end() ? home->second : RowId{number, row}, rows.row(row)))
                return;
        }
    }
}

RowId ResolveRow(const PageSource &file, const TableDef &table, RowId id) {
    const DataPage page = tablePage(file, table, id.page);
    if (page.movedAway(id.row)) {
        const RowId target = RowId::fromStored(page.row(id.row).u32(0));
        if (!tablePage(file, table, target.page).inScan(target.row))
            ThrowDamaged("the pointer a moved row left on page " + std::to_string(id.page) + " leads to no row");
        return target;
    }
    if (!page.inScan(id.row))
        ThrowDamaged("a pointer names deleted row " + std::to_string(id.row) + " of page " + std::to_string(id.page));
    return id;
}

void WithRow(const PageSource &file, const TableDef &table, RowId id, const std::function<void(ByteView)> &use) {
    const RowId at = ResolveRow(file, table, id);
    use(tablePage(file, table, at.page).row(at.row));
}

} // namespace tarnwick::jet
