#pragma once
// The commands of the terminal program. Each returns the exit status: 0 when it ran to its end,
// 1 when it was stopped.
#include "cli/CliSession.h"

#include <string>

namespace tarnwick {

int RunStatus(CliSession &cli);

struct TitlesOptions {
    std::string file;
    std::string sheet;  // empty: ask, or take the first worksheet
    std::string repair; // "ok", "cancel" or empty: ask, or cancel
};
int RunTitles(CliSession &cli, const TitlesOptions &options);
int RunRepairQuotes(CliSession &cli, const std::string &file);

} // namespace tarnwick
