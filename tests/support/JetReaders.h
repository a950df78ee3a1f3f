#pragma once
// The outside readers the Jet engine is checked against: mdbtools (mdb-tables, mdb-export, mdb-prop)
// and the npm package mdb-reader; beside them the engine's own walk of a table's indexes and the
// pages a table holds. Nothing here trusts the engine's reading of what it
// wrote, but for the rows it compares with the outside readers' rows.
#include "db/jet/JetDatabase.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

// The Access files of the shared test data. A test that needs them starts with
// SKIP_WITHOUT_ACCESS_FILES(): a clone without the data skips it.
inline const std::filesystem::path kAccessFolder = std::filesystem::path(TESTDATA_DIR) / "access";
#define SKIP_WITHOUT_ACCESS_FILES()                                                                                    \
    if (!std::filesystem::is_directory(kAccessFolder))                                                                 \
    GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source"
// A copy of the Access file `name` at `path`, writable; returns `path`.
std::string CopyOfAccessFile(const std::string &name, const std::string &path);

// The sentence of the DbError `change` throws; "" when it throws none.
std::string RefusalOf(const std::function<void()> &change);

// Bytes from hexadecimal digits, as the readers print them.
std::string HexDecoded(const std::string &digits);

// Every table mdbtools lists in `file`, system tables included.
std::vector<std::string> MdbTables(const std::string &file);
// What mdb-prop prints of the properties of `table` and its columns.
std::string MdbProp(const std::string &file, const std::string &table);

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
