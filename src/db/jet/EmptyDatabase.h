#pragma once
// New Jet 4 databases: a copy of an empty database that holds Jet's system tables and nothing else
// (see third_party/empty-jet4), to which the engine adds tables.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::jet {

// The bytes of the empty database, compiled into the program.
const std::vector<std::uint8_t> &EmptyJet4Bytes();

// Writes an empty Jet 4 database at `path`, whole or not at all; a file already there is refused in
// a sentence and left alone.
void CreateEmptyDatabase(const std::string &path);

} // namespace tarnwick::jet
