#pragma once
// Any other Access database, opened read-only to list its tables and fields and read its records.
#include "db/Value.h"

#include <functional>
#include <memory>
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
};

// Opens `path` with `password`: a Jet 3, Jet 4 or ACE file through libmdb, or one of our own SQLite
// park files (a backup, say) through SQLite. Throws DbError: -2147467259 for a file that is not
// there or is no database, -2147217843 for a wrong password.
std::unique_ptr<AccessDatabase> OpenAccessDatabase(const std::string &path, const std::string &password);

// Whether a table name counts as a system table.
inline bool IsSystemTableName(const std::string &name) {
    return name.compare(0, 4, "MSys") == 0;
}

} // namespace tarnwick
