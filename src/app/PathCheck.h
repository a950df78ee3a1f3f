#pragma once
// Questions about paths asked before a file is opened.
#include <string>

namespace tarnwick {

// Whether `path` exists (as anything).
bool PathExists(const std::string &path);
// Whether `path` is an existing ordinary file.
bool IsRegularFile(const std::string &path);

} // namespace tarnwick
