#pragma once
// The engine's own walk of a file's indexes, as one text to compare with "".
#include <string>
#include <vector>

namespace tarnwick {

// Every problem the index walk finds in `tables` of the Jet file `path`, a line each naming the
// table and index, and a line for each index some of whose keys the engine does not build.
std::string IndexProblems(const std::string &path, const std::vector<std::string> &tables);

} // namespace tarnwick
