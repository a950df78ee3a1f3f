#pragma once
// The SQLite engine: the parks this program makes for trials, in write-ahead mode.
#include "db/Engine.h"
#include "db/sqlite/Sqlite.h"

#include <string>

namespace tarnwick {

class SqliteEngine : public Engine {
public:
    // Opens `path`, which begins as an SQLite database does; a damaged one is refused as Jet
    // refuses a file it does not recognize.
    SqliteEngine(const std::string &path, EngineAccess access);
    ~SqliteEngine() override { close(); }

    std::unique_ptr<EngineTable> openTable(const std::string &name) override;
    std::vector<std::string> tableNames() override;
    long rowCount(const std::string &name) override;
    void checkIntegrity() override;
    void beginGroup() override;
    void commitGroup() override;
    void beginTrial() override;
    void endTrial() noexcept override;
    void close() noexcept override;
    void compactInPlace(const std::string &scratch, const std::vector<std::string> &owned) override;

    // The open database; throws when it is closed.
    sqlite3 *handle() const;

private:
    std::string path_;
    SqliteHandle db_;
    bool inGroup_ = false;
    bool walChecked_ = false;
    bool trial_ = false;
};

} // namespace tarnwick
