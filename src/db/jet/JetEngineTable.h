#pragma once
// A table of a Jet 4 database behind a Connection: its rows named by where they live (the place a
// scan meets them, which the pointer a moved row leaves keeps), values converted between the
// component's Value and the column's stored kind, and a new row's unset columns filled with their
// default values as Access fills them.
#include "db/Engine.h"
#include "db/jet/JetDatabase.h"

namespace tarnwick {

class JetEngine;

class JetEngineTable : public EngineTable {
public:
    // Throws DbError (no such table) when the database has no table `name`.
    JetEngineTable(JetEngine &engine, const std::string &name);

    const std::vector<EngineColumn> &columns() const override { return columns_; }
    std::vector<RowKey> keys(std::optional<long long> id) override;
    bool read(RowKey key, std::vector<Value> &values) override;
    RowKey insert(const std::vector<bool> &set, const std::vector<Value> &values) override;
    void update(RowKey key, const std::vector<bool> &set, const std::vector<Value> &values) override;
    void remove(RowKey key) override;

private:
    // What a new row holds in column `i` when it is not set.
    jet::JetValue defaultFor(std::size_t i) const;

    JetEngine &engine_;
    std::string name_;
    jet::TableDef table_;
    std::vector<EngineColumn> columns_;
    // The ID column rows are listed by, or columns_.size() when the table has none.
    std::size_t idColumn_;
    // Each column's default: a constant, or the date or moment of the insert.
    enum class Default { Constant, Today, Now };
    std::vector<Default> defaultKinds_;
    std::vector<jet::JetValue> defaults_;
};

} // namespace tarnwick
