#include "support/JetPages.h"

#include "db/jet/DataPage.h"
#include "db/jet/UsageMap.h"

namespace tarnwick {

std::set<std::uint32_t> PagesHeldBy(const jet::JetDatabase &database, const std::string &name) {
    const jet::TableDef table = database.table(name);
    std::vector<jet::RowId> maps{table.ownedPages, table.freeSpacePages};
    for (const jet::LongValueMaps &longValues : table.longValues)
        maps.insert(maps.end(), {longValues.owned, longValues.freeSpace});
    std::set<std::uint32_t> pages;
    for (std::uint32_t page = table.page; page != 0 && pages.insert(page).second;)
        page = database.file().read(page, "table definition").view("table definition").u32(jet::kTableDefNextPageAt);
    for (const jet::IndexTree &tree : table.trees) {
        maps.push_back(tree.usageMap);
        pages.insert(tree.rootPage);
    }
    for (jet::RowId map : maps) {
        if (map.page == 0) // no map of that kind
            continue;
        pages.insert(map.page);
        // A map kept in map pages names them in its row.
        const jet::DataPage holder(database.file().read(map.page, "usage map"), map.page);
        const jet::ByteView row = holder.row(map.row);
        if (row.u8(0) == jet::kReferencedMap)
            for (std::size_t slot = 1; slot + 4 <= row.size(); slot += 4)
                if (row.u32(slot) != 0)
                    pages.insert(row.u32(slot));
        for (std::uint32_t page : jet::UsageMapPages(database.file(), map))
            pages.insert(page);
    }
    return pages;
}

} // namespace tarnwick
