#include "db/jet/TablePacking.h"

#include "db/jet/DataPage.h"
#include "db/jet/IndexPage.h"
#include "db/jet/IndexUpkeep.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"
#include "db/jet/TableWriter.h"
#include "db/jet/UsageMap.h"
#include "db/jet/UsageMapWrite.h"

#include <algorithm>
#include <set>

namespace tarnwick::jet {
namespace {

// Where the rows of `table` are in the file as it was before the change, ordered by their AutoNumber
// when the table has one. Only the places are kept: the rows are read again one at a time.
std::vector<RowId> rowsInNumberOrder(const PageSource &committed, const TableDef &table) {
    const std::size_t numbered = table.autoNumberColumn();
    std::vector<std::pair<std::int64_t, RowId>> places;
    ScanRows(committed, table, [&](RowId id, ByteView bytes) {
        const std::int64_t number =
            numbered < table.columns.size() ? DecodeColumn(committed, table, bytes, numbered).integer : 0;
        return places.emplace_back(number, id), true;
    });
    std::stable_sort(places.begin(), places.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<RowId> rows;
    for (const auto &place : places)
        rows.push_back(place.second);
    return rows;
}

// The data and long-value pages a map of the table marks that the table holds rows on.
void addRowPages(const PageSource &pages, const TableDef &table, RowId map, std::set<std::uint32_t> &found) {
    for (std::uint32_t number : UsageMapPages(pages, map)) {
        if (number >= pages.pageCount())
            continue;
        const Page page = pages.read(number, "table page");
        if (page.type() != PageType::Data)
            continue;
        const std::uint32_t owner = DataPage(page, number).owner();
        if (owner == table.page || owner == kLongValueOwner)
            found.insert(number);
    }
}

// The pages of an index of `table` below its root: the nodes' children, and the leaves their
// neighbours link. A page another table owns is damage: it must not be given back.
std::set<std::uint32_t> pagesBelowRoot(const PageSource &pages, const TableDef &table, std::uint32_t root) {
    std::set<std::uint32_t> found;
    std::vector<std::uint32_t> pending{root};
    while (!pending.empty()) {
        const std::uint32_t number = pending.back();
        pending.pop_back();
        const Page bytes = pages.read(number, "index page");
        // Index pages name their table where data pages do.
        if (bytes.view("index page").u32(kDataOwnerAt) != table.page)
            ThrowDamaged("index page " + std::to_string(number) + " does not belong to the table it is reached from");
        const IndexPage page(bytes, number);
        std::vector<std::uint32_t> next;
        if (page.leaf())
            next.push_back(page.nextPage());
        else
            next = page.children();
        for (std::uint32_t child : next)
            if (child != 0 && child != root && found.insert(child).second)
                pending.push_back(child);
    }
    return found;
}

// Takes the pages of `released` out of the map `map`, where it marks them; a table may have no map
// of a kind (row 0 of page 0).
void clearFromMap(PageWrites &pages, RowId map, const std::set<std::uint32_t> &released) {
    if (map.page == 0)
        return;
    for (std::uint32_t number : UsageMapPages(pages, map))
        if (released.count(number))
            MarkInUsageMap(pages, map, number, false);
}

} // namespace

void PackTable(PageWrites &pages, const TableDef &table, const std::string &name) {
    TableDef emptied = table;
    emptied.rowCount = 0;
    // The rows put back count each tree's distinct keys afresh.
    for (IndexTree &tree : emptied.trees)
        tree.distinctKeys = 0;
    TableWriter writer(pages, emptied, name);
    // The rows are read from the file as it was: the change blanks their pages before they go back.
    const PageSource &committed = pages.committed();
    const std::vector<RowId> rows = rowsInNumberOrder(committed, table);

    std::set<std::uint32_t> released;
    std::vector<RowId> maps{table.ownedPages, table.freeSpacePages};
    addRowPages(pages, table, table.ownedPages, released);
    for (const LongValueMaps &longValues : table.longValues) {
        addRowPages(pages, table, longValues.owned, released);
        maps.push_back(longValues.owned);
        maps.push_back(longValues.freeSpace);
    }
    for (const IndexTree &tree : table.trees) {
        maps.push_back(tree.usageMap);
        const std::set<std::uint32_t> below = pagesBelowRoot(pages, table, tree.rootPage);
        released.insert(below.begin(), below.end());
        pages.write(tree.rootPage, EmptyIndexLeaf(table.page));
    }
    for (RowId map : maps)
        clearFromMap(pages, map, released);
    for (std::uint32_t number : released) {
        pages.write(number, Page());
        MarkInUsageMap(pages, kFreePagesMap, number, true);
    }
    pages.reuse(released);

    for (RowId at : rows)
        WithRow(committed, table, at, [&](ByteView bytes) { writer.restore(DecodeRow(committed, table, bytes)); });
    writer.finish();
    // Map pages added when the file grew lie far up; the pages given back below them take them.
    for (RowId map : maps)
        LowerMapPages(pages, map);
}

} // namespace tarnwick::jet
