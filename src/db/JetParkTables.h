#pragma once
// The park tables as a Jet 4 park holds them: the columns of ParkTables(), ID as the AutoNumber
// primary key, and the defaults a table designed in Access has.
#include "db/jet/TableDesign.h"

#include <vector>

namespace tarnwick {

// Sites, Guest, OtherCharges and ParkInfo, in that order.
std::vector<jet::TableDesign> JetParkTables();

} // namespace tarnwick
