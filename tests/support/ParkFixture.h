#pragma once
// A temporary park folder with a new Park.MDB, an open session on it, and a scripted prompter.
#include "app/Session.h"
#include "app/Startup.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "db/sqlite/SqliteEngine.h"
#include "import/SheetPicker.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwick {

using Texts = std::vector<std::string>;

class ScriptedPicker : public SheetPicker {
public:
    std::optional<std::string> choice;
    std::vector<std::string> offered;
    std::optional<std::string> pick(const std::vector<std::string> &names) override {
        offered = names;
        return choice;
    }
};

class ParkFixture : public ::testing::Test {
protected:
    ParkFixture() : session(prompter, progress, clock) {
        CreateParkDatabase(park.path(), ParkFormatUnderTest());
        session.AppFolder = park.path();
        session.DbFolder = park.path();
        CreateRVCon(session);
    }

    // The SQLite park's own handle, for what only SQLite can do to it (triggers, renamed columns).
    sqlite3 *sqliteHandle() { return dynamic_cast<SqliteEngine &>(session.ParkConnection->engine()).handle(); }
    // Deletes every row of `table` through the session's connection.
    void emptyTable(const std::string &table) {
        Recordset rows;
        rows.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (; !rows.Eof(); rows.MoveNext())
            rows.Delete();
    }

    TempDir park;
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session;
};

} // namespace tarnwick
