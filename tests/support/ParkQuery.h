#pragma once
// A query on a park file through an outside reader: the sqlite3 shell for an SQLite park, mdb-sql
// (mdbtools) for a Jet park, with each row printed as "value|value" either way. On a Jet park only
// SELECT is asked; currency's trailing zeros are dropped, as the sqlite3 shell prints its numbers.
// Writes for a test's setup go through the park's own engine (ChangePark).
#include <functional>
#include <string>

namespace tarnwick {

std::string ParkQuery(const std::string &parkFile, const std::string &query);

// "ok\n<rows of table>\n" when outside readers read the whole park file without a complaint: the
// sqlite3 shell's integrity check, or mdb-export (mdbtools) of the four park tables; otherwise what
// they said. A Jet park's journal, left by a killed writer, is first put back as the next open of
// the park would.
std::string SoundParkRows(const std::string &parkFile, const std::string &table);

class Recordset;
// Opens `table` of the park file in a connection of its own, for changing or reading, and hands it
// to `edit`, then closes it.
void ChangePark(const std::string &parkFile, const std::string &table, const std::function<void(Recordset &)> &edit);

} // namespace tarnwick
