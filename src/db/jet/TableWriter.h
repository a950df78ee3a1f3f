#pragma once
// Appending and changing rows of a table within a write in progress. Each new row goes into the
// table's last page with room (a page found full leaves the map of pages with room), or a new page
// added to the file and to the table's maps; memo and OLE values go into long-value pages; the
// table's indexes take the row's entries (see IndexUpkeep.h); the row count and AutoNumber counter
// in the table's definition follow. A changed row of the same size is written over the old;
// otherwise it moves to a page with room, flagged as a moved row, and a pointer to it takes its old
// place, where the indexes keep pointing.
#include "db/jet/IndexUpkeep.h"
#include "db/jet/JetValue.h"
#include "db/jet/PageWrites.h"
#include "db/jet/RelatedRows.h"
#include "db/jet/TableDef.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::jet {

class TableWriter {
public:
    // Refuses, in a sentence and before anything is written, a table with an index this engine does
    // not keep in step yet or a column of a kind it cannot write.
    TableWriter(PageWrites &pages, TableDef table, std::string name);

    // Appends a row with `values` (in the order of the table's columns). An AutoNumber column takes
    // the next number of the table's counter, whatever `values` holds for it. Returns where the row
    // is. A row an index refuses is refused before anything is written.
    RowId append(std::vector<JetValue> values);
    // Appends a row as `values` has it, AutoNumber included, as packing a table puts its rows back;
    // the counter only ever rises.
    RowId restore(const std::vector<JetValue> &values);
    // Gives the row a scan named `home` the values `values`; its AutoNumber stays. A change an index
    // refuses, or one of the key other tables' rows point to the row by, is refused before anything
    // is written.
    void update(RowId home, std::vector<JetValue> values);
    // Writes the index pages changed, and the row count and the counter into the table's definition.
    void finish();

private:
    // Refuses values the table's row cannot hold, before anything is written.
    void checkValues(const std::vector<JetValue> &values) const;
    // Stores a row its indexes accept, with its long values, and gives its entries to the indexes.
    RowId put(const std::vector<JetValue> &values, const RowKeys &keys);
    std::string storeLongValue(const ColumnDef &column, const std::string &bytes);
    // Puts `row` on a page of the table (ownerPage) or of long values, adding a page when none has room.
    RowId place(const std::string &row, std::uint32_t owner, std::optional<std::uint32_t> &current, RowId ownedMap,
                RowId freeSpaceMap);

    PageWrites &pages_;
    TableDef table_;
    std::string name_;
    std::optional<std::uint32_t> dataPage_;
    std::map<std::uint16_t, std::optional<std::uint32_t>> longValuePage_;
    IndexUpkeep indexes_;
    RelatedRows related_;
};

} // namespace tarnwick::jet
