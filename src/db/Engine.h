#pragma once
// The storage behind a Connection. Two engines serve it: SQLite for the parks this program makes for
// trials (db/sqlite/), and Jet 4 for the Park.MDB the management software made (db/jet/). The rules
// above the Connection never learn which one they are on.
#include "base/Value.h"
#include "db/ColumnKind.h"
#include "db/DbError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct EngineColumn {
    std::string name;
    ColumnType type;
};

// Names a row of a table for as long as the row lives, whatever is written meanwhile.
using RowKey = std::int64_t;

// Whether a table name counts as a system table, as Access names its own.
inline bool IsSystemTableName(const std::string &name) {
    return name.compare(0, 4, "MSys") == 0;
}

// One table, opened for reading and writing its rows. Values handed in are already converted for
// their columns (see ColumnConvert.h).
class EngineTable {
public:
    virtual ~EngineTable() = default;

    virtual const std::vector<EngineColumn> &columns() const = 0;
    // The rows in table order; with `id`, only those whose ID column holds it.
    virtual std::vector<RowKey> keys(std::optional<long long> id) = 0;
    // The values of row `key` in column order; false when the row is gone.
    virtual bool read(RowKey key, std::vector<Value> &values) = 0;
    // Adds a row holding the values whose `set` flag is on; every other column takes its default.
    virtual RowKey insert(const std::vector<bool> &set, const std::vector<Value> &values) = 0;
    // Gives row `key` the values whose `set` flag is on.
    virtual void update(RowKey key, const std::vector<bool> &set, const std::vector<Value> &values) = 0;
    virtual void remove(RowKey key) = 0;
};

// Write: the park in use. Read: a look at a database another connection may be writing, without
// its password. ReadAsItLies: a copy read as it lies on the disk, with no log or lock file made
// beside it (a backup of the operator's own park).
enum class EngineAccess { Write, Read, ReadAsItLies };

class Engine {
public:
    virtual ~Engine() = default;

    // Throws DbError (no such table) for a table the database lacks.
    virtual std::unique_ptr<EngineTable> openTable(const std::string &name) = 0;
    // The user tables, in the order the database lists them (see IsSystemTableName).
    virtual std::vector<std::string> tableNames() = 0;
    // The number of rows of the table `name`.
    virtual long rowCount(const std::string &name) = 0;
    // Reads every page the database's tables use; throws DbError when one is damaged.
    virtual void checkIntegrity() = 0;

    // Writes between BeginGroup and CommitGroup are committed together (see Connection.h).
    virtual void beginGroup() = 0;
    virtual void commitGroup() = 0;
    // Everything written between these two is taken back.
    virtual void beginTrial() = 0;
    virtual void endTrial() noexcept = 0;
    // Commits what is open and lets the file go.
    virtual void close() noexcept = 0;

    // Writes a compacted copy of the database into `scratch`, which does not exist yet, in which the
    // rows of the tables `owned` are packed (an engine may pack others too when the file is all
    // ours), and puts it in place of the database in one rename, while no other program writes to
    // it: the database's file holds the old or the compacted park, never neither, and no write of
    // another program is lost. The engine is closed afterwards.
    virtual void compactInPlace(const std::string &scratch, const std::vector<std::string> &owned) = 0;
};

} // namespace tarnwick
