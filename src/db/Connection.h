#pragma once
// A connection to one database file, configured the way the old system configured its provider:
// Provider, then the "Data Source", "User ID" and "Password" properties, then Open. Opening never
// creates a file: a missing one is error -2147467259, as the provider reported it. The file's first
// bytes choose the engine: a Jet 4 database goes to the Jet engine, one of our SQLite parks to the
// SQLite engine; anything else is refused in a sentence.
#include "db/Engine.h"

#include <map>
#include <memory>
#include <string>

namespace tarnwick {

class Connection {
public:
    std::string Provider;

    void SetProperty(const std::string &name, const std::string &value) { properties_[name] = value; }
    std::string Property(const std::string &name) const;
    // "Provider=...;Data Source=...; Jet OLEDB:Database Password=...;" sets the same properties.
    // "Mode" set to "Read" opens the database for reading only (see EngineAccess).
    void SetConnectionString(const std::string &text);

    void Open();
    // Closing commits an open group.
    void Close() noexcept;
    bool IsOpen() const { return static_cast<bool>(engine_); }

    // Group commits: the writes between BeginGroup and CommitGroup share one transaction, so that
    // long runs of single-row updates need not each wait for the disk.
    void BeginGroup();
    void CommitGroup();
    // A trial: everything written until EndTrial is taken back; groups do nothing meanwhile.
    void BeginTrial();
    void EndTrial();

    // The engine of the open database; throws when the connection is closed.
    Engine &engine() const;

private:
    std::map<std::string, std::string> properties_;
    std::unique_ptr<Engine> engine_;
};

} // namespace tarnwick
