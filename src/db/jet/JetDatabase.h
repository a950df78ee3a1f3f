#pragma once
// A Jet 4 database file opened for reading: its header, its catalog, its tables and their rows.
#include "db/access/JetHeader.h"
#include "db/jet/Catalog.h"
#include "db/jet/JetValue.h"
#include "db/jet/PageFile.h"
#include "db/jet/TableDef.h"

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::jet {

using Row = std::vector<JetValue>;

class JetDatabase {
public:
    // Opens `path`; a file that is not a Jet 4 database is refused as Jet refuses one.
    explicit JetDatabase(const std::string &path);

    const JetHeader &header() const { return header_; }
    const PageFile &file() const { return file_; }
    const std::vector<CatalogEntry> &catalog() const { return catalog_; }
    // The names of the local tables, system tables included, in catalog order.
    std::vector<std::string> tableNames() const;
    // The definition of the table `name` (compared without regard to case, as Jet does).
    TableDef table(const std::string &name) const;

    // Calls `visit` with each row of `table` and where it is; stops when `visit` returns false.
    void scan(const TableDef &table, const std::function<bool(RowId, const Row &)> &visit) const;
    // The row at `id`, found through the pointer a moved row left there.
    Row row(const TableDef &table, RowId id) const;

private:
    PageFile file_;
    JetHeader header_;
    std::vector<CatalogEntry> catalog_;
};

} // namespace tarnwick::jet
