#pragma once
// A Jet 4 database file: its header, its catalog, its tables and their rows, and rows appended.
#include "db/access/JetHeader.h"
#include "db/jet/Catalog.h"
#include "db/jet/JetValue.h"
#include "db/jet/LockFile.h"
#include "db/jet/PageFile.h"
#include "db/jet/PageWrites.h"
#include "db/jet/TableDef.h"
#include "db/jet/TableDesign.h"
#include "db/jet/TableRemove.h"
#include "db/jet/TableWriter.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::jet {

using Row = std::vector<JetValue>;

class JetDatabase {
public:
    // Opens `path`, for appending rows too when `writable`; a file that is not a Jet 4 database is
    // refused as Jet refuses one, and so is a file open for writing elsewhere (see LockFile.h), to a
    // writer, and to a reader while that writer's commit is under way.
    explicit JetDatabase(const std::string &path, bool writable = false);
    // Opens for writing a file no other program knows of yet (a compaction's copy), without a lock
    // file: its name's lock file is the park's, held by the compaction.
    struct Unshared {};
    JetDatabase(const std::string &path, Unshared);

    const JetHeader &header() const { return header_; }
    const PageFile &file() const { return file_; }
    const std::vector<CatalogEntry> &catalog() const { return catalog_; }
    // The names of the local tables, system tables included, in catalog order.
    std::vector<std::string> tableNames() const;
    // The definition of the table `name` (compared without regard to case, as Jet does).
    TableDef table(const std::string &name) const;

    // Calls `visit` with each row of `table` and where it is; stops when `visit` returns false.
    void scan(const TableDef &table, const std::function<bool(RowId, const Row &)> &visit) const;
    // Calls `visit` with the value of column `column` (a position in `table.columns`) of each row,
    // as scan meets the rows, decoding nothing else.
    void scanColumn(const TableDef &table, std::size_t column,
                    const std::function<bool(RowId, const JetValue &)> &visit) const;
    // The row at `id`, found through the pointer a moved row left there.
    Row row(const TableDef &table, RowId id) const;

    // Appends `rows` (each in the order of the table's columns) to the table `name` and commits them
    // together; an AutoNumber column takes the table's next numbers. A table the engine cannot keep
    // consistent is refused in a sentence and the file is left as it was.
    void append(const std::string &name, const std::vector<Row> &rows);
    // Deletes the rows a scan of the table `name` met at `ids` and commits that; with no ids given,
    // every row of the table. A table the engine cannot keep consistent is refused as for appending.
    void remove(const std::string &name, const std::vector<RowId> &ids);
    // Gives the rows a scan of the table `name` named by the ids the values paired with them, and
    // commits that. A table the engine cannot keep consistent is refused as for appending.
    void update(const std::string &name, const std::vector<std::pair<RowId, Row>> &changes);
    void removeAll(const std::string &name);
    // Adds the empty table `design` and commits it (see NewTable.h).
    void createTable(const TableDesign &design);
    // Packs the tables `names` (see TablePacking.h), commits that, and cuts off the free pages the
    // file then ends with.
    void pack(const std::vector<std::string> &names);

    // A change of many rows, committed together: begin, then any number of appendRow, updateRow
    // and removeRow, then commit, or rollback to leave the file as it was. Reads meanwhile see the
    // change. A row refused in a sentence (a key an index refuses) leaves the change as it was
    // before that row; any other failure leaves it to be rolled back.
    void begin();
    bool changing() const { return static_cast<bool>(pages_); }
    RowId appendRow(const std::string &name, const Row &values);
    void updateRow(const std::string &name, RowId id, const Row &values);
    void removeRow(const std::string &name, RowId id);
    void commit();
    void rollback() noexcept;

private:
    void checkWritable() const;
    // Runs `change` as a change of its own: committed when it returns, rolled back when it throws.
    template <typename Change> void committed(Change change);
    const PageSource &source() const;
    // Writes the pages the running row operation keeps (indexes, counts) into the change and ends it.
    void finishOperation();
    // The running operation of its kind on the table `name`, begun when another one runs.
    template <typename Operation> Operation &operationFor(std::unique_ptr<Operation> &running, const std::string &name);

    bool writable_;
    std::optional<WriterLock> lock_;
    PageFile file_;
    JetHeader header_;
    std::vector<CatalogEntry> catalog_;
    // The change under way, and the row operation running in it on the table `operationTable_`.
    std::unique_ptr<PageWrites> pages_;
    std::string operationTable_;
    std::unique_ptr<TableWriter> writer_;
    std::unique_ptr<TableRemove> remover_;
};

} // namespace tarnwick::jet
