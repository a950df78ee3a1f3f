#pragma once
// Any other Access database, opened read-only to list its tables and fields and read its records.
#include "base/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct AccessField {
    std::string name;
    int type; // the ADO type code of the column's kind
};

class AccessDatabase {
public:
    virtual ~AccessDatabase() = default;
    // The user tables in the order the file lists them; names beginning "MSys" (in that case) are
    // the system's and left out.
    virtual std::vector<std::string> tableNames() = 0;
    virtual std::vector<AccessField> fields(const std::string &table) = 0;
    virtual long recordCount(const std::string &table) = 0;
    // Calls `row` with every record's values in field order.
    virtual void forEachRecord(const std::string &table,
                               const std::function<void(const std::vector<Value> &)> &row) = 0;
    // The first line of the warnings the reading printed since the last call, if it printed any:
    // a sign that what was read (the table list, a table) may be incomplete.
    virtual std::optional<std::string> takeWarning() { return std::nullopt; }
};

// Opens `path` with `password`: a Jet 3, Jet 4 or ACE file through the reader process, or one of
// our own SQLite park files (a backup, say) through SQLite. Throws DbError: -2147467259 for a file
// that is not there, is no database or is too damaged to read, -2147217843 for a wrong password.
// `waiting` is called now and then while the reader is awaited.
std::unique_ptr<AccessDatabase> OpenAccessDatabase(const std::string &path, const std::string &password,
                                                   const std::function<void()> &waiting = {});

} // namespace tarnwick
