#pragma once
// A table to be made: its name, its columns in order (kind, size, AutoNumber, default value) and the
// column its primary key is on.
#include "db/jet/TableDef.h"

#include <string>
#include <vector>

namespace tarnwick::jet {

struct ColumnDesign {
    std::string name;
    ColumnKind kind = ColumnKind::Long;
    // The most characters a Text column holds (1 to 255); other kinds have their own size.
    std::uint16_t textLength = 0;
    // A Long column numbered by the table's counter.
    bool autoNumber = false;
    // The expression Access fills a new row's column with ("0", "No"), or "" for none.
    std::string defaultValue;
};

struct TableDesign {
    std::string name;
    std::vector<ColumnDesign> columns;
    // The name of the column the primary key is on, or "" for a table without one.
    std::string primaryKey;
};

} // namespace tarnwick::jet
