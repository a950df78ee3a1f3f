#pragma once
// Adding a table to a database within a write in progress: its definition page, a page of its usage
// maps, its primary key's root leaf, its row in the catalog (with its columns' default values) and
// the permissions a table made in Access gets.
#include "db/jet/PageWrites.h"
#include "db/jet/TableDesign.h"

namespace tarnwick::jet {

// Adds the empty table `design` to the database `pages` writes, made at `now` (a date serial). The
// collation is the database's sort order. A design the engine cannot make, or a name a table
// already has, is refused in a sentence before anything is written.
void AddTable(PageWrites &pages, const TableDesign &design, std::uint16_t collation, double now);

} // namespace tarnwick::jet
