#pragma once
// Runs programs as a user would, the terminal program above all: to their end, or in the background
// to be killed.
#include <string>
#include <sys/types.h>
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

// tarnwick-cli started in the background, stdin from /dev/null and its output dropped; killed if it
// still runs when this goes.
class BackgroundCli {
public:
    explicit BackgroundCli(const std::vector<std::string> &arguments);
    ~BackgroundCli();
    // Whether it has ended by itself, leaving its wait status in `status`.
    bool ended(int &status);

private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool reaped_ = false;
};

} // namespace tarnwick
