#pragma once
// The system catalog (MSysObjects): one row per object of the database. Its own definition is
// always on page 2.
#include "db/jet/PageSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::jet {

struct CatalogEntry {
    std::string name;
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::int16_t type = 0;
    std::int32_t flags = 0;
    // The object's properties as Access stores them (LvProp), such as its columns' default values.
    std::string properties;

    static constexpr std::int16_t kLocalTable = 1;
    // A table's id holds its definition page in its low three bytes.
    std::uint32_t definitionPage() const { return static_cast<std::uint32_t>(id) & 0xFFFFFF; }
    bool isLocalTable() const { return type == kLocalTable; }
};

std::vector<CatalogEntry> ReadCatalog(const PageSource &file);

} // namespace tarnwick::jet
