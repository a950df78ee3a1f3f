#pragma once
// The definition page of a new, empty table: the inverse of ReadTableDef for the tables the engine
// makes (one page, at most one index: the primary key).
#include "db/jet/PageSource.h"
#include "db/jet/TableDesign.h"

#include <optional>

namespace tarnwick::jet {

// Where the new table's maps and index live.
struct TableDefPlaces {
    RowId ownedPages;
    RowId freeSpacePages;
    // The primary key's usage map and root leaf, when the design has one.
    RowId keyMap;
    std::uint32_t keyRoot = 0;
    // The owned and free-space maps of each memo and OLE column, in column order.
    std::vector<LongValueMaps> longValues;
    // The sort order text columns take: the database's.
    std::uint16_t collation = 0;
};

// The bytes of the column kinds the engine makes (every kind but binary, GUID and decimal).
std::optional<std::uint16_t> StoredLength(const ColumnDesign &column);

// The definition page of `design`; a design that does not fit in one page is refused in a sentence.
Page EncodeTableDef(const TableDesign &design, const TableDefPlaces &places);

} // namespace tarnwick::jet
