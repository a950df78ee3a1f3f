#pragma once
// The outside readers the Jet engine is checked against: mdbtools (mdb-tables, mdb-export, mdb-sql,
// mdb-queries, mdb-prop) and the npm package mdb-reader; beside them the engine's own walk of a
// table's indexes and the pages a table holds. Nothing here trusts the engine's reading of what it
// wrote, but for the rows it compares with the outside readers' rows.
#include "db/jet/JetDatabase.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

// A table as mdb-export prints it: column names, then each row's cells; an unquoted empty cell
// (NULL) is nothing, a quoted one is "". Then what it warned about.
struct ExportedTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
    std::string warnings;
};

// Bytes from hexadecimal digits, as the readers print them.
std::string HexDecoded(const std::string &digits);

// Every table mdbtools lists in `file`, system tables included.
std::vector<std::string> MdbTables(const std::string &file);
// `table` through mdb-export: dates as "YYYY-MM-DD HH:MM:SS", bytes in upper-case hex.
ExportedTable MdbExport(const std::string &file, const std::string &table);
// The SQL mdb-queries makes of the saved query `name`, its line end left off.
std::string MdbQuery(const std::string &file, const std::string &name);
// What mdb-prop prints of the properties of `table` and its columns.
std::string MdbProp(const std::string &file, const std::string &table);

// Looks up each of `ids` in the Long column `column` of `table` through mdb-sql (one query per id, in one
// run) and returns the ids it found, in the order asked.
std::vector<std::int64_t> MdbSqlLookups(const std::string &file, const std::string &table, const std::string &column,
                                        const std::vector<std::int64_t> &ids);

// Compares each row of `table` as the engine reads it, in the engine's order, with mdb-export and
// with mdb-reader, value for value. Returns "" when all three agree, otherwise the first difference.
std::string CompareWithOutsideReaders(const std::string &file, const std::string &table);

// Every problem the index walk finds in `tables` of the Jet file `path`, a line each naming the
// table and index, and a line for each index some of whose keys the engine does not build.
std::string IndexProblems(const std::string &path, const std::vector<std::string> &tables);

// "" when `table` is sound for every reader: its indexes walk clean, the row count its definition
// keeps is the rows found, and mdb-export and mdb-reader read what the engine reads.
std::string TableProblems(const std::string &file, const std::string &table);

// The row of `name` in the catalog (MSysObjects) as mdb-reader reads it, each cell as JSON text
// (bytes as {"hex":"..."}); empty when there is none.
std::map<std::string, std::string> CatalogRow(const std::string &file, const std::string &name);

// The properties kept in the catalog row of `table` (its LvProp), by object (a column, or the table
// itself) and name, each as its stored bytes. Read strictly: every length must add up, as in the
// blobs Access writes; throws where one does not.
std::map<std::string, std::map<std::string, std::string>> StoredProperties(const std::string &file,
                                                                           const std::string &table);

// The pages of the table `name`: its definition and continuation pages, the pages holding its usage
// maps and the map pages they name, the pages those maps mark (rows, long values, index pages) and its indexes' roots.
std::set<std::uint32_t> PagesHeldBy(const jet::JetDatabase &database, const std::string &name);

// The rows of `table` in the engine's order, each with where it is.
std::vector<std::pair<jet::RowId, jet::Row>> JetRows(const jet::JetDatabase &database, const std::string &table);
// Whether two rows hold the same values, of the same kinds.
bool SameRow(const jet::Row &a, const jet::Row &b);

} // namespace tarnwick
