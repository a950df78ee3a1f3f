// A restore killed with SIGKILL at random moments: the park is always a sound database that is
// either the one before or the backup put back, never a mixture.
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string sitesAndIntegrity(const std::string &park) {
    return SoundParkRows(park + "/Park.MDB", "Sites");
}

TEST(RestoreCrashTest, AKilledRestoreLeavesTheOldOrTheRestoredDatabase) {
    TempDir work;
    const std::string pristine = work.file("pristine");
    ASSERT_EQ(RunProgram(CLI_PATH, "init \'" + pristine + "\'" + InitFormatOption()).status, 0);
    AddNumberedSites(pristine + "/Park.MDB", 1, 3);
    // A large backup, so that the copy takes long enough to be cut.
    std::filesystem::copy_file(pristine + "/Park.MDB", pristine + "/Park_AddSites_01-01-2026 10 00.MDB");
    // A Jet restore reads every row of the backup first, so fewer rows give it the same length; the
    // outside readers that judge each round read them all too.
    const long backupSites = ParkFormatUnderTest() == ParkFormat::Jet ? 60000 : 300000;
    AddNumberedSites(pristine + "/Park_AddSites_01-01-2026 10 00.MDB", 4, backupSites);
    const std::string before = "ok\n3\n", restored = "ok\n" + std::to_string(backupSites) + "\n";

    // Runs a restore on a fresh copy of the park, killed after `killAfter` (or left to finish).
    auto runOnce = [&](std::optional<std::chrono::microseconds> killAfter) {
        const std::string park = work.file("park");
        std::filesystem::remove_all(park);
        std::filesystem::copy(pristine, park);
        const pid_t child = fork();
        if (child == 0) {
            freopen("/dev/null", "w", stdout);
            execl(CLI_PATH, CLI_PATH, "--park", park.c_str(), "restore", "Park_AddSites_01-01-2026 10 00.MDB", "--yes",
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        if (killAfter) {
            std::this_thread::sleep_for(*killAfter);
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return sitesAndIntegrity(park);
    };

    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(runOnce(std::nullopt), restored) << "a restore left to finish";
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> moment(0, std::max<long>(1000, whole.count()));
    int sawBefore = 0, sawRestored = 0;
    for (int kill = 0; kill < 20; ++kill) {
        const std::string after = runOnce(std::chrono::microseconds(moment(random)));
        EXPECT_TRUE(after == before || after == restored) << "kill " << kill << ": " << after;
        sawBefore += after == before;
        sawRestored += after == restored;
    }
    RecordProperty("kills_before", sawBefore);
    RecordProperty("kills_restored", sawRestored);
}

} // namespace
} // namespace tarnwick
