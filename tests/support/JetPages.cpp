#include "support/JetPages.h"

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
        for (std::uint32_t page : jet::UsageMapPages(database.file(), map))
            pages.insert(page);
    }
    return pages;
}

} // namespace tarnwick
