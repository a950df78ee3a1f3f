#pragma once
// What every command of the terminal program shares: the session with its terminal prompter.
#include "app/Session.h"
#include "cli/TerminalPrompter.h"

#include <string>

namespace tarnwick {

struct CliSession {
    TerminalPrompter prompter;
    TerminalProgress progress;
    SystemClock clock;
    Session session{prompter, progress, clock};

    // Opens the park: the folder given with --park, or the start-up sequence of path.txt. Throws
    // EndProgram when the run cannot go on.
    void openPark(const std::string &parkFolder);
    // The answer to the question about an interrupted import: "yes", "no", or empty (ask, or no).
    std::string restoreInterrupted;
};

} // namespace tarnwick
