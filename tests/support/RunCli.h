#pragma once
// Runs the terminal program as a user would, from a copy placed in a folder of the test's choosing.
#include <string>

namespace tarnwick {

struct CliResult {
    int status = -1;
    std::string out;
};

// Runs `program` (a path) with the arguments (already quoted for the shell), stdin from /dev/null.
CliResult RunProgram(const std::string &program, const std::string &arguments);

// Copies the built tarnwick-cli into `folder` and returns the copy's path.
std::string CopyCliInto(const std::string &folder);

} // namespace tarnwick
