#pragma once
// The rows of other tables that point to a table's rows through relationships Jet enforces. Jet
// refuses to delete a row that rows of another table still point to, or to change the key they
// point to it by; so does this engine, which does not cascade such a change into the other table.
#include "db/jet/JetValue.h"
#include "db/jet/PageSource.h"
#include "db/jet/TableDef.h"

#include <set>
#include <string>
#include <vector>

namespace tarnwick::jet {

class RelatedRows {
public:
    // Reads, once, the keys that the rows of each table pointing to `table` hold.
    RelatedRows(const PageSource &pages, const TableDef &table);

    // Whether `table` has rows of other tables pointing to its rows.
    static bool PointedTo(const TableDef &table);
    // Refuses, in Jet's sentence, a row with `values` (in the order of the table's columns) that
    // rows of another table point to, unless `replacement` keeps the key they point to it by.
    void checkNotPointedTo(const std::vector<JetValue> &values, const std::vector<JetValue> *replacement = nullptr) const;

private:
    struct Relation {
        std::string pointingTable;
        std::vector<std::size_t> keyColumns; // positions in the table's columns
        std::set<std::string> keysPointedTo;
    };
    std::vector<Relation> relations_;
};

} // namespace tarnwick::jet
