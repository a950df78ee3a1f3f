#pragma once
// Deleting rows of a table within a write in progress: each row's entry in its page's row offset
// table is flagged deleted (the flags a deleted row carries in Access's files), and so are the
// long-value rows of its memo and OLE values; its index entries are taken out (see IndexUpkeep.h)
// and the table's row count follows. The space stays in the
// page until the file is compacted, as with Access.
#include "db/jet/IndexUpkeep.h"
#include "db/jet/PageWrites.h"
#include "db/jet/RelatedRows.h"
#include "db/jet/TableDef.h"

#include <string>

namespace tarnwick::jet {

class TableRemove {
public:
    // Refuses, in a sentence and before anything is written, a table with an index this engine does
    // not keep in step yet.
    TableRemove(PageWrites &pages, TableDef table, const std::string &name);

    // Deletes the row a scan of the table named `id` (and, for a moved row, the pointer it left).
    // A row that rows of another table point to is refused before anything is written.
    void remove(RowId id);
    // Writes the index pages changed and the row count into the table's definition.
    void finish();

private:
    PageWrites &pages_;
    TableDef table_;
    std::string name_;
    IndexUpkeep indexes_;
    RelatedRows related_;
};

// Gives row `id`'s entry in its page's row offset table the flags `flags` (see JetFormat.h).
void FlagRow(PageWrites &pages, RowId id, std::uint16_t flags);
// Flags row `id` deleted, as Access flags a deleted row.
void FlagRowDeleted(PageWrites &pages, RowId id);

// Writes the counts of `table` into its definition page within the write (see WriteTableCounts).
void StoreTableCounts(PageWrites &pages, const TableDef &table);

} // namespace tarnwick::jet
