#pragma once
// The pages of a Jet database that one table holds, to check which pages a change may touch.
#include "db/jet/JetDatabase.h"

#include <cstdint>
#include <set>
#include <string>

namespace tarnwick {

// The pages of the table `name`: its definition and continuation pages, the pages holding its usage
// maps and the map pages they name, the pages those maps mark (rows, long values, index pages) and its indexes' roots.
std::set<std::uint32_t> PagesHeldBy(const jet::JetDatabase &database, const std::string &name);

} // namespace tarnwick
