#pragma once
// The rows of other tables that point to a table's rows through relationships Access enforces. A
// row they point to is not deleted, nor the key they point to it by changed: Jet refuses that where
// the relationship does not cascade, and this engine, which does not carry a change into another
// table, refuses it where it does.
#include "db/jet/JetValue.h"
#include "db/jet/PageSource.h"
#include "db/jet/TableDef.h"

#include <set>
#include <string>
#include <vector>

namespace tarnwick::jet {

class RelatedRows {
public:
    // The rows pointing to those of `table`, named `name`, in `pages`; both must outlive this.
    RelatedRows(const PageSource &pages, const TableDef &table, std::string name)
        : pages_(pages), table_(table), name_(std::move(name)) {}

    // Refuses a row with `values` (in the order of the table's columns) that rows of another table
    // point to, unless `replacement` keeps the key they point to it by. The first call reads the
    // keys the pointing rows hold, once; it refuses a relationship of more than one column.
    void checkNotPointedTo(const std::vector<JetValue> &values, const std::vector<JetValue> *replacement = nullptr);

private:
    void readPointingKeys();

    struct Relation {
        std::string pointingTable;
        IndexTree tree; // the pointed-to table's tree of the relationship, taken ascending
        bool cascadeUpdates = false;
        bool cascadeDeletes = false;
        std::set<std::string> keysPointedTo;
        // Whether a pointing row holds a key this engine does not build; any row may be its target.
        bool unknownKeys = false;
    };
    const PageSource &pages_;
    const TableDef &table_;
    std::string name_;
    bool read_ = false;
    std::vector<Relation> relations_;
};

} // namespace tarnwick::jet
