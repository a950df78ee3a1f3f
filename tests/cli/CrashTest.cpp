// A large import killed with SIGKILL in its middle: the park stays a sound database and keeps every
// row that was counted in a message before the kill.
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

TEST(CrashTest, KilledImportLosesNoCountedRow) {
    TempDir park;
    ASSERT_EQ(RunProgram(CLI_PATH, "init \'" + park.path() + "\'" + InitFormatOption()).status, 0);
    {
        // Every 2,000th guest has a three-letter state, which the import reports as shortened,
        // naming the number of rows stored before it.
        std::ofstream csv(park.file("guests.csv"), std::ios::binary);
        csv << "\"First\",\"Last\",\"State\",\"Notes\"\r\n";
        for (int i = 1; i <= 400000; ++i)
            csv << "guest,number" << i << "," << (i % 2000 == 0 ? "TXS" : "TX") << ",notes for " << i << "\r\n";
    }

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(CLI_PATH, CLI_PATH, "--park", park.path().c_str(), "import", "guests", "guests.csv", "--map",
              "FirstName=First", "--map", "LastName=Last", "--map", "State=State", "--map", "Notes=Notes", "--backup",
              "no", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE *stream = fdopen(out[0], "r");
    static const std::regex counted("The State of Line ([0-9]+) was shortened");
    long lastCounted = -1;
    int seen = 0;
    char line[4096];
    while (seen < 20 && std::fgets(line, sizeof line, stream)) {
        std::cmatch m;
        if (std::regex_search(line, m, counted)) {
            lastCounted = std::stol(m[1]);
            ++seen;
        }
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::fclose(stream);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the import ended before it could be killed";
    ASSERT_GT(lastCounted, 0);

    // The next start puts back what the kill left half written and says which import was cut short
    // and how much of it is stored; then outside readers judge the file.
    CliResult next = RunProgram(CLI_PATH, "--park '" + park.path() + "' status");
    std::istringstream lines(SoundParkRows(park.file("Park.MDB"), "Guest"));
    std::string integrity, count;
    std::getline(lines, integrity);
    std::getline(lines, count);
    EXPECT_EQ(integrity, "ok");
    EXPECT_GE(std::stol(count), lastCounted) << "rows stored after the kill";
    EXPECT_LT(std::stol(count), 400000) << "the kill came after the end";

    EXPECT_EQ(next.out.substr(0, next.out.find('\n')), "The import of guests.csv into Guest that started " +
                                                           next.out.substr(49, 16) + " was interrupted: " + count +
                                                           " of its rows are in the table.");
    EXPECT_NE(next.out.find("No backup was taken before it."), std::string::npos) << next.out;
    EXPECT_EQ(RunProgram(CLI_PATH, "--park '" + park.path() + "' status").out.find("interrupted"), std::string::npos)
        << "said once";
}

} // namespace
} // namespace tarnwick
