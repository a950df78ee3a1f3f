#include "db/jet/NewTable.h"

#include "base/TextUtil.h"
#include "db/jet/Catalog.h"
#include "db/jet/ColumnProperties.h"
#include "db/jet/DataPage.h"
#include "db/jet/IndexUpkeep.h"
#include "db/jet/NamedRows.h"
#include "db/jet/TableDefEncoder.h"
#include "db/jet/TableWriter.h"
#include "db/jet/UsageMapWrite.h"

#include <set>

namespace tarnwick::jet {
namespace {

// Jet's limits on names and columns.
constexpr std::size_t kLongestName = 64;
constexpr std::size_t kMostColumns = 255;
// The catalog's container of tables, and the permissions that give every right on an object.
constexpr std::int32_t kTablesContainer = 0x0F000001;
constexpr std::int64_t kAllRights = 0xFFEFF;
// An inline usage map: its kind, its first page, and a bitmap of 512 pages, as Access writes them.
constexpr std::size_t kInlineMapBitmap = 64;

[[noreturn]] void refuse(const TableDesign &design, const std::string &why) {
    throw DbError(dberr::StorageFailure, "The table '" + design.name + "' cannot be made: " + why + ".");
}

void checkDesign(const TableDesign &design, const std::vector<CatalogEntry> &catalog) {
    if (design.name.empty() || design.name.size() > kLongestName)
        refuse(design, "a table's name has 1 to 64 characters");
    for (const CatalogEntry &entry : catalog)
        if (entry.isLocalTable() && UpperCase(entry.name) == UpperCase(design.name))
            throw DbError(dberr::StorageFailure, "Table '" + design.name + "' already exists.");
    if (design.columns.empty() || design.columns.size() > kMostColumns)
        refuse(design, "a table has 1 to 255 columns");
    std::set<std::string> names;
    bool keyFound = design.primaryKey.empty();
    for (const ColumnDesign &column : design.columns) {
        if (column.name.empty() || column.name.size() > kLongestName)
            refuse(design, "a column's name has 1 to 64 characters");
        if (!names.insert(UpperCase(column.name)).second)
            refuse(design, "two columns are named '" + column.name + "'");
        if (!StoredLength(column))
            refuse(design, "the column '" + column.name + "' is of a kind or size this engine does not make");
        if (column.autoNumber && column.kind != ColumnKind::Long)
            refuse(design, "the AutoNumber column '" + column.name + "' is not a Long column");
        keyFound = keyFound || column.name == design.primaryKey;
    }
    if (!keyFound)
        refuse(design, "its primary key names no column of it");
}

std::string emptyInlineMap() {
    return std::string(1 + 4 + kInlineMapBitmap, '\0');
}

const CatalogEntry &systemTable(const std::vector<CatalogEntry> &catalog, const std::string &name) {
    for (const CatalogEntry &entry : catalog)
        if (entry.isLocalTable() && entry.name == name)
            return entry;
    ThrowDamaged("the catalog lists no " + name + " table");
}

} // namespace

void AddTable(PageWrites &pages, const TableDesign &design, std::uint16_t collation, double now) {
    const std::vector<CatalogEntry> catalog = ReadCatalog(pages);
    checkDesign(design, catalog);
    const TableDef objects = ReadTableDef(pages, kCatalogPage);
    const TableDef permissions = ReadTableDef(pages, systemTable(catalog, "MSysACEs").definitionPage());
    TableWriter catalogRows(pages, objects, "MSysObjects");
    TableWriter permissionRows(pages, permissions, "MSysACEs");

    // The definition page comes first, so that the pages after it can name it as their owner.
    const std::uint32_t definitionPage = pages.append(Page{});
    Page mapPage = EmptyDataPage(0);
    const std::uint32_t mapPageNumber = pages.append(mapPage);
    const auto addMap = [&] { return RowId{mapPageNumber, *InsertRow(mapPage, mapPageNumber, emptyInlineMap())}; };
    TableDefPlaces places;
    places.collation = collation;
    places.ownedPages = addMap();
    places.freeSpacePages = addMap();
    if (!design.primaryKey.empty())
        places.keyMap = addMap();
    for (std::size_t number = 0; number < design.columns.size(); ++number) {
        const ColumnKind kind = design.columns[number].kind;
        if (kind == ColumnKind::Memo || kind == ColumnKind::Ole) {
            const RowId owned = addMap();
            places.longValues.push_back({static_cast<std::uint16_t>(number), owned, addMap()});
        }
    }
    pages.write(mapPageNumber, mapPage);
    if (!design.primaryKey.empty()) {
        places.keyRoot = pages.append(EmptyIndexLeaf(definitionPage));
        MarkInUsageMap(pages, places.keyMap, places.keyRoot, true);
    }
    pages.write(definitionPage, EncodeTableDef(design, places));
    for (std::uint32_t page = definitionPage; page < pages.pageCount(); ++page)
        MarkInUsageMap(pages, kFreePagesMap, page, false);
    // The engine must be able to keep the new table's index in step before the table exists.
    CheckIndexesKeptInStep(ReadTableDef(pages, definitionPage), design.name);

    // The catalog row: owned by the database's owner, as a table made in Access is.
    JetValue owner = JetValue::null();
    for (const auto &row : NamedRows(pages, objects))
        if (row.at("Name").text == "MSysDb")
            owner = row.at("Owner");
    const std::string lvProp = EncodeDefaultValues(design);
    catalogRows.append(RowOf(objects, {{"Id", JetValue::whole(definitionPage)},
                                       {"ParentId", JetValue::whole(kTablesContainer)},
                                       {"Name", JetValue::utf8(design.name)},
                                       {"Type", JetValue::whole(CatalogEntry::kLocalTable)},
                                       {"DateCreate", JetValue::date(now)},
                                       {"DateUpdate", JetValue::date(now)},
                                       {"Owner", owner},
                                       {"Flags", JetValue::whole(0)},
                                       {"LvProp", lvProp.empty() ? JetValue::null() : JetValue::bytes(lvProp)}}));
    catalogRows.finish();

    // Every right for the owner and for each holder the tables container passes every right on to,
    // as Access gives a new table; a holder named twice there gets its row once.
    std::vector<JetValue> holders{owner};
    std::set<std::string> named{owner.text};
    for (const auto &row : NamedRows(pages, permissions))
        if (row.at("ObjectId").integer == kTablesContainer && row.at("FInheritable").integer != 0 &&
            row.at("ACM").integer == kAllRights && named.insert(row.at("SID").text).second)
            holders.push_back(row.at("SID"));
    for (const JetValue &holder : holders)
        permissionRows.append(RowOf(permissions, {{"ObjectId", JetValue::whole(definitionPage)},
                                                  {"SID", holder},
                                                  {"ACM", JetValue::whole(kAllRights)},
                                                  {"FInheritable", JetValue::yesNo(false)}}));
    permissionRows.finish();
}

} // namespace tarnwick::jet
