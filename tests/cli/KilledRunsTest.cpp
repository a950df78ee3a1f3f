// The next start while an import still runs: `status` runs beside it again and again, and never
// takes it for an interrupted one. (Imports and restores cut short are in FaultPointsTest.cpp.)
#include "support/CliPark.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(RunningImport, StatusBesideItNeverTakesItForInterruptedAndEveryRowIsAccountedFor) {
    TempDir park;
    const std::string marker = park.file("Park.MDB.import");
    ASSERT_EQ(RunProgram(CLI_PATH, "init '" + park.path() + "'" + InitFormatOption()).status, 0);
    // Sites of which the import refuses a few: a number that is not one, or one too large for the column.
    const long lines = ParkFormatUnderTest() == ParkFormat::Jet ? 12000 : 120000;
    const auto line = [](long i) { return (i % 750 == 0 ? "n" : i % 750 == 375 ? "99999999999" : "") + std::to_string(i); };
    {
        std::ofstream csv(park.file("sites.csv"), std::ios::binary);
        csv << "\"Site\"\r\n";
        for (long i = 1; i <= lines; ++i)
            csv << line(i) << "\r\n";
    }
    // The import's output as it comes: whether it has said how many rows it stored, which it says
    // before it lets go of its marker.
    std::atomic<bool> summarized{false};
    BackgroundCli import({"--park", park.path(), "import", "sites", "sites.csv", "--map", "Number=Site", "--backup",
                          "yes", "--on-row-error", "skip"},
                         [&](const std::string &said) {
                             summarized = summarized || said.find(" Sites Successfully Imported") != std::string::npos;
                         });
    int status = 0, beside = 0;
    for (; !import.ended(status); ++beside) {
        const bool markedBefore = fs::exists(marker), summarizedBefore = summarized;
        const CliResult next = RunProgram(CLI_PATH, "--restore-interrupted yes --park '" + park.path() + "' status");
        EXPECT_EQ(next.out.find("interrupted"), std::string::npos) << next.out;
        // A marker gone before the summary was taken away by someone else.
        if (markedBefore && !summarizedBefore && !fs::exists(marker)) {
            for (int wait = 0; !summarized && wait < 500; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_TRUE(summarized) << "the marker of the running import is gone";
        }
    }
    EXPECT_GT(beside, 3) << "too few runs beside the import";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(SoundParkRows(park.file("Park.MDB"), "Sites"), "ok\n" + std::to_string(lines - lines / 375) + "\n");
    EXPECT_FALSE(fs::exists(marker)) << "a finished import left its marker";
    // The rejected-rows file holds the title and each refused line, in order.
    std::istringstream rejected(park.read("sites rejected.csv"));
    std::string written;
    long count = -1;
    for (; std::getline(rejected, written); ++count)
        EXPECT_TRUE(count < 0 || written.rfind(line(375 * (count + 1)) + ",", 0) == 0) << written;
    EXPECT_EQ(count, lines / 375);
    RecordProperty("status_runs", beside);
}

} // namespace
} // namespace tarnwick
