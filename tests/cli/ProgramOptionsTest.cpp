// Both programs answer --help and --version without opening a window.
#include "support/CaseName.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

struct OptionCase {
    const char *program;
    std::vector<std::string> arguments;
    std::string startOfOut;
};

class ProgramOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(ProgramOptions, PrintAndExitWithoutADisplay) {
    const OptionCase &c = GetParam();
    std::vector<std::string> arguments = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", c.program};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ObservedRun run = RunObserved("/usr/bin/env", arguments, 20);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, c.startOfOut.size()), c.startOfOut) << run.out;
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramOptions,
    ::testing::Values(
        OptionCase{DESKTOP_PATH, {"--version"}, std::string("tarnwick ") + VERSION + "\n"},
        OptionCase{DESKTOP_PATH, {"--help"}, "Usage: tarnwick [--help | --version | --screenshots DIR]\n"},
        OptionCase{CLI_PATH, {"--version"}, std::string("tarnwick-cli ") + VERSION + "\n"},
        OptionCase{CLI_PATH, {"--help"}, "Tarnwick: moves a campground's old records into its new park database.\n"}),
    [](const auto &info) {
        return CaseName(std::string(info.param.program).substr(std::string(info.param.program).rfind('/') + 1) +
                        info.param.arguments.front());
    });

} // namespace
} // namespace tarnwick
