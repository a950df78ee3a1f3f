#pragma once
// Choosing the engine for a database file by its first bytes.
#include "db/Engine.h"

#include <memory>
#include <string>

namespace tarnwick {

enum class DatabaseFormat { Sqlite, Jet3, Jet4, Ace, Other };

// The format of the file at `path`, by its first bytes (Other for a file that cannot be read).
DatabaseFormat DetectDatabaseFormat(const std::string &path);

// Opens `path` with the engine its format takes, checking `password` against a Jet database's
// own unless the file is only read as it lies. A missing file, a file of another kind, and an Access file that cannot
// be a park (Jet 3, ACE) are refused in a sentence, with the numbers Jet gives them.
std::unique_ptr<Engine> OpenEngine(const std::string &path, const std::string &password,
                                   EngineAccess access = EngineAccess::Write);

} // namespace tarnwick
