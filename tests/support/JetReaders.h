#pragma once
// The outside readers the Jet engine is checked against: mdbtools (mdb-tables, mdb-export) and the
// npm package mdb-reader. Nothing here trusts the engine's own reading of what it wrote.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// A table as mdb-export prints it: column names, then each row's cells; an unquoted empty cell
// (NULL) is nothing, a quoted one is "".
struct ExportedTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
};

// Bytes from hexadecimal digits, as the readers print them.
std::string HexDecoded(const std::string &digits);

// Every table mdbtools lists in `file`, system tables included.
std::vector<std::string> MdbTables(const std::string &file);
// `table` through mdb-export: dates as "YYYY-MM-DD HH:MM:SS", bytes in upper-case hex.
ExportedTable MdbExport(const std::string &file, const std::string &table);

// The SQL mdb-queries makes of the saved query `name`, its line end left off.
std::string MdbQuery(const std::string &file, const std::string &name);

// Looks up each of `ids` in the Long column `column` of `table` through mdb-sql (one query per id, in one
// run) and returns the ids it found, in the order asked.
std::vector<std::int64_t> MdbSqlLookups(const std::string &file, const std::string &table, const std::string &column,
                                        const std::vector<std::int64_t> &ids);

// Compares each row of `table` as the engine reads it, in the engine's order, with mdb-export and
// with mdb-reader, value for value. Returns "" when all three agree, otherwise the first difference.
std::string CompareWithOutsideReaders(const std::string &file, const std::string &table);

} // namespace tarnwick
