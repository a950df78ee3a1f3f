#pragma once
// The park tables as this build creates them, and the creation of a new Park.MDB.
#include "db/ColumnKind.h"

#include <string>
#include <vector>

namespace tarnwick {

struct ColumnDef {
    std::string name;
    ColumnType type;
};

struct TableDef {
    std::string name;
    std::vector<ColumnDef> columns;
};

// Sites, Guest, OtherCharges and ParkInfo, in that order, each with its columns in order.
const std::vector<TableDef> &ParkTables();

// The default a column of `kind` has in a table designed in Access: "0" for every number and
// currency column, "No" for Yes/No; none ("") for the AutoNumber, texts, memos and dates.
std::string AccessDefault(ColumnKind kind);

class Connection;
class Engine;

// What keeps a database from being a park: "it has no Guest table", "its Sites table has no Width
// column"; empty for a park. Every column of the park tables is looked for, as the rules address
// each by name; other tables and columns may be there too.
std::string ParkSchemaProblem(Engine &engine);

// Throws DbError (unrecognized format) when the open database lacks a park table or column, so
// that a file that is not a park database is reported rather than used.
void RequireParkTables(Connection &connection);

// The two kinds of park: a Jet 4 database, as the management software keeps, or an SQLite
// database of our own for trials.
enum class ParkFormat { Sqlite, Jet };

// Creates `folder`/Park.MDB with the park tables and one ParkInfo row of ten "None", making the
// folder and its parents when they are missing. Refuses (throws DbError) when the file already
// exists or the folder cannot be made or written.
void CreateParkDatabase(const std::string &folder, ParkFormat format = ParkFormat::Sqlite);

} // namespace tarnwick
