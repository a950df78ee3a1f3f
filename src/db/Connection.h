#pragma once
// A connection to one database file, configured the way the old system configured its provider:
// Provider, then the "Data Source", "User ID" and "Password" properties, then Open. Opening never
// creates a file: a missing one is error -2147467259, as the provider reported it.
#include "db/sqlite/Sqlite.h"

#include <map>
#include <string>

namespace tarnwick {

class Connection {
public:
    std::string Provider;

    void SetProperty(const std::string &name, const std::string &value) { properties_[name] = value; }
    std::string Property(const std::string &name) const;
    // "Provider=...;Data Source=...; Jet OLEDB:Database Password=...;" sets the same properties.
    void SetConnectionString(const std::string &text);

    void Open();
    // Closing commits an open group.
    void Close() noexcept;
    bool IsOpen() const { return static_cast<bool>(db_); }

    // Group commits: the writes between BeginGroup and CommitGroup share one transaction, so that
    // long runs of single-row updates need not each wait for the disk.
    void BeginGroup();
    void CommitGroup();
    // A trial: everything written until EndTrial is taken back; groups do nothing meanwhile.
    void BeginTrial();
    void EndTrial();

    // The open database; throws when the connection is closed.
    sqlite3 *handle() const;

private:
    std::map<std::string, std::string> properties_;
    SqliteHandle db_;
    bool inGroup_ = false;
    bool walChecked_ = false;
    bool trial_ = false;
};

} // namespace tarnwick
