// Both programs answer --help and --version without opening a window, and the terminal program
// keeps the transcript on standard output and the sentence that ends a failed command apart.
#include "support/CliPark.h"

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
    ::testing::Values(OptionCase{DESKTOP_PATH, {"--version"}, std::string("tarnwick ") + VERSION + "\n"},
                      OptionCase{
                          DESKTOP_PATH, {"--help"}, "Usage: tarnwick [--help | --version | --screenshots DIR]\n"},
                      OptionCase{CLI_PATH, {"--version"}, std::string("tarnwick-cli ") + VERSION + "\n"}));

class FailureOutput : public CliPark {};

TEST_F(FailureOutput, TheSentenceEndingAFailedCommandGoesToStandardError) {
    const ObservedRun run = RunObserved(CLI_PATH, {"--park", park.path(), "delete", "site", "99"}, 20);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "There are no Sites Available.\n") << "the editor's own notice is transcript";
    EXPECT_EQ(run.err, "There is no row with ID 99 in Sites.\n");
}

} // namespace
} // namespace tarnwick
