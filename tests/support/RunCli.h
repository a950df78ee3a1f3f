#pragma once
// Runs programs as a user would, the terminal program above all.
#include <string>
#include <vector>

namespace tarnwick {

struct CliResult {
    int status = -1;
    std::string out; // standard output and standard error as one stream
};

// Runs `program` (a path) with the arguments (already quoted for the shell), stdin from /dev/null.
CliResult RunProgram(const std::string &program, const std::string &arguments);

// A run seen from outside: its two output streams apart, how long it took and the most memory it
// (or any process it waited for) held.
struct ObservedRun {
    int status = -1; // -1 when it did not exit by itself within the time given
    std::string out, err;
    double seconds = 0;
    long peakMegabytes = 0;
};

// Runs `program` with `arguments` (not through a shell), stopping it after `limitSeconds`.
ObservedRun RunObserved(const std::string &program, const std::vector<std::string> &arguments, int limitSeconds);

} // namespace tarnwick
