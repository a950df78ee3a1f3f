#pragma once
// The Access reader process's side: it opens the database through libmdb and answers the
// program's requests on its channel until the program closes it.
#include <string>

namespace tarnwick {

// Sends the table list (or the failure to open), then answers requests until the channel closes.
void ServeAccessDatabase(const std::string &path, int channel);

// Limits this process's address space to what it holds now plus `megabytes`.
void LimitMemoryGrowth(long megabytes);

} // namespace tarnwick
