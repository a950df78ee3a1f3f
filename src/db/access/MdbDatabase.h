#pragma once
#include "db/access/AccessDatabase.h"

#include <glib.h>
// glib first: mdbtools.h uses its types.
#include <mdbtools.h>

namespace tarnwick {

struct MdbHandleCloser {
    void operator()(MdbHandle *mdb) const noexcept { mdb_close(mdb); }
};
struct MdbTableFree {
    void operator()(MdbTableDef *table) const noexcept { mdb_free_tabledef(table); }
};
using MdbHandlePtr = std::unique_ptr<MdbHandle, MdbHandleCloser>;
using MdbTablePtr = std::unique_ptr<MdbTableDef, MdbTableFree>;

// A Jet or ACE database read through libmdb. Dates, currency and numbers are decoded from their
// stored bytes, so dates before 1900 come out right.
class MdbDatabase : public AccessDatabase {
public:
    explicit MdbDatabase(const std::string &path);
    std::vector<std::string> tableNames() override;
    std::vector<AccessField> fields(const std::string &table) override;
    long recordCount(const std::string &table) override;
    void forEachRecord(const std::string &table, const std::function<void(const std::vector<Value> &)> &row) override;

private:
    MdbTablePtr openTable(const std::string &name);
    MdbHandlePtr mdb_;
};

} // namespace tarnwick
