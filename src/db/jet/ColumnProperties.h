#pragma once
// The properties Access keeps for a table and its columns in the catalog's LvProp field: "MR2",
// a block of property names, then one block per column listing its properties by name number.
#include "db/jet/TableDesign.h"

#include <map>
#include <string>

namespace tarnwick::jet {

// The LvProp bytes holding each column's default value (Access's DefaultValue property), or ""
// when no column of `design` has one.
std::string EncodeDefaultValues(const TableDesign &design);

// Each column's default value expression in the LvProp bytes `properties`, by the column's name in
// capitals; columns without one are not listed. Malformed bytes are reported as damage.
std::map<std::string, std::string> DecodeDefaultValues(const std::string &properties);

} // namespace tarnwick::jet
