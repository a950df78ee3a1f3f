#include "db/jet/Catalog.h"

#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"

namespace tarnwick::jet {
namespace {

// Where the catalog's columns are among its decoded values, found by name.
std::size_t columnPosition(const TableDef &catalog, const std::string &name) {
    for (std::size_t i = 0; i < catalog.columns.size(); ++i)
        if (catalog.columns[i].name == name)
            return i;
    ThrowDamaged("the system catalog has no column " + name);
}

} // namespace

std::vector<CatalogEntry> ReadCatalog(const PageSource &file) {
    const TableDef catalog = ReadTableDef(file, kCatalogPage);
    const std::size_t name = columnPosition(catalog, "Name"), id = columnPosition(catalog, "Id"),
                      parentId = columnPosition(catalog, "ParentId"), type = columnPosition(catalog, "Type"),
                      flags = columnPosition(catalog, "Flags"), properties = columnPosition(catalog, "LvProp");
    std::vector<CatalogEntry> entries;
    ScanRows(file, catalog, [&](RowId, ByteView bytes) {
        const std::vector<JetValue> row = DecodeRow(file, catalog, bytes);
        CatalogEntry entry;
        entry.name = row[name].text;
        entry.id = static_cast<std::int32_t>(row[id].integer);
        entry.parentId = static_cast<std::int32_t>(row[parentId].integer);
        entry.type = static_cast<std::int16_t>(row[type].integer);
        entry.flags = static_cast<std::int32_t>(row[flags].integer);
        entry.properties = row[properties].text;
        entries.push_back(std::move(entry));
        return true;
    });
    return entries;
}

} // namespace tarnwick::jet
