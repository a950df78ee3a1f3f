// The terminal program killed with SIGKILL in the middle of an import, a restore, or the start-up
// that puts back the backup of an interrupted import: the park is always a sound database, either
// the one before or the one after; every row is in the park, in the rejected-rows file or named by
// the next start; and an import that is still running is never taken for an interrupted one.
#include "import/ImportWindowActions.h"
#include "support/CliPark.h"
#include "support/ParkFixture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
namespace fs = std::filesystem;

// What outside readers say of the park in `folder`: "ok\n<sites>\n" when it is sound.
std::string SoundSites(const std::string &folder) {
    return SoundParkRows(folder + "/Park.MDB", "Sites");
}

std::string SoundWith(long sites) {
    return "ok\n" + std::to_string(sites) + "\n";
}

void CopyFolder(const std::string &from, const std::string &to) {
    fs::remove_all(to);
    fs::copy(from, to);
}

bool InitPark(const std::string &folder) {
    return RunProgram(CLI_PATH, "init '" + folder + "'" + InitFormatOption()).status == 0;
}

// A CSV file of the title line `title` and `count` lines, line i (from 1) given by `line`.
void WriteCsv(const std::string &path, const std::string &title, long count,
              const std::function<std::string(long)> &line) {
    std::ofstream csv(path, std::ios::binary);
    csv << title << "\r\n";
    for (long i = 1; i <= count; ++i)
        csv << line(i) << "\r\n";
}

// The next start on the park, which finds what a killed run left.
CliResult Status(const std::string &park, const std::string &options = "") {
    return RunProgram(CLI_PATH, options + " --park '" + park + "' status");
}

// Waits up to `limit` for `done`; whether it came.
bool Await(const std::function<bool()> &done, std::chrono::milliseconds limit) {
    for (const auto end = Clock::now() + limit; !done() && Clock::now() < end;)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

// A moment of a run that takes `whole` (at least a millisecond), at random.
microseconds MomentOf(microseconds whole, std::mt19937 &random) {
    return microseconds(std::uniform_int_distribution<long>(0, std::max<long>(1000, whole.count()))(random));
}

microseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<microseconds>(Clock::now() - start);
}

// An import of sites.csv into Sites that goes on past refused rows, with its output as it comes: how
// many rows it refused so far, and whether it has said how many rows it stored (which it says before
// it lets go of its marker).
struct SitesImport {
    std::atomic<int> refused{0};
    std::atomic<bool> summarized{false};
    BackgroundCli run;
    explicit SitesImport(const std::string &park)
        : run({"--park", park, "import", "sites", "sites.csv", "--map", "Number=Site", "--backup", "yes",
               "--on-row-error", "skip"},
              [this](const std::string &line) {
                  refused += line.rfind("Error on Line ", 0) == 0;
                  summarized = summarized || line.find(" Sites Successfully Imported") != std::string::npos;
              }) {}
};

TEST(CrashTest, KilledImportLosesNoCountedRow) {
    TempDir park;
    ASSERT_TRUE(InitPark(park.path()));
    // Every 2,000th guest has a three-letter state, which the import reports as shortened, naming the
    // number of rows stored before it.
    WriteCsv(park.file("guests.csv"), "\"First\",\"Last\",\"State\",\"Notes\"", 400000, [](long i) {
        return "guest,number" + std::to_string(i) + "," + (i % 2000 == 0 ? "TXS" : "TX") + ",notes for " +
               std::to_string(i);
    });
    std::atomic<long> lastCounted{-1};
    std::atomic<int> seen{0};
    BackgroundCli import({"--park", park.path(), "import", "guests", "guests.csv", "--map", "FirstName=First", "--map",
                          "LastName=Last", "--map", "State=State", "--map", "Notes=Notes", "--backup", "no"},
                         [&](const std::string &line) {
                             static const std::regex counted("The State of Line ([0-9]+) was shortened");
                             std::smatch m;
                             if (seen < 20 && std::regex_search(line, m, counted)) {
                                 lastCounted = std::stol(m[1]);
                                 ++seen;
                             }
                         });
    int status = 0;
    Await([&] { return seen == 20 || import.ended(status); }, std::chrono::seconds(120));
    ASSERT_TRUE(WIFSIGNALED(import.kill())) << "the import ended before it could be killed";
    ASSERT_GT(lastCounted, 0);

    // The next start puts back what the kill left half written and says which import was cut short
    // and how much of it is stored; then outside readers judge the file.
    const CliResult next = Status(park.path());
    const std::string judged = SoundParkRows(park.file("Park.MDB"), "Guest");
    ASSERT_EQ(judged.substr(0, 3), "ok\n") << judged;
    const long count = std::stol(judged.substr(3));
    EXPECT_GE(count, lastCounted) << "rows stored after the kill";
    EXPECT_LT(count, 400000) << "the kill came after the end";
    EXPECT_EQ(Masked(next.out.substr(0, next.out.find('\n')), park.path()),
              "The import of guests.csv into Guest that started {time} was interrupted: " + std::to_string(count) +
                  " of its rows are in the table.");
    EXPECT_NE(next.out.find("No backup was taken before it."), std::string::npos) << next.out;
    EXPECT_EQ(Status(park.path()).out.find("interrupted"), std::string::npos) << "said once";
}

TEST(RestoreCrashTest, AKilledRestoreLeavesTheOldOrTheRestoredDatabase) {
    TempDir work;
    const std::string pristine = work.file("pristine"), park = work.file("park");
    ASSERT_TRUE(InitPark(pristine));
    AddNumberedSites(pristine + "/Park.MDB", 1, 3);
    // A large backup, so that the copy takes long enough to be cut. A Jet restore reads every row of
    // the backup first, so fewer rows give it the same length; the outside readers that judge each
    // round read them all too.
    const std::string backup = "Park_AddSites_01-01-2026 10 00.MDB";
    fs::copy_file(pristine + "/Park.MDB", pristine + "/" + backup);
    const long backupSites = ParkFormatUnderTest() == ParkFormat::Jet ? 60000 : 300000;
    AddNumberedSites(pristine + "/" + backup, 4, backupSites);
    const std::string before = SoundWith(3), restored = SoundWith(backupSites);

    // Runs a restore on a fresh copy of the park, killed after `killAfter` (or left to finish).
    auto runOnce = [&](std::optional<microseconds> killAfter) {
        CopyFolder(pristine, park);
        BackgroundCli restore({"--park", park, "restore", backup, "--yes"});
        if (killAfter) {
            std::this_thread::sleep_for(*killAfter);
            restore.kill();
        }
        restore.wait();
        return SoundSites(park);
    };
    const auto start = Clock::now();
    ASSERT_EQ(runOnce(std::nullopt), restored) << "a restore left to finish";
    const microseconds whole = Since(start);
    std::mt19937 random(20261206);
    int sawBefore = 0, sawRestored = 0;
    for (int kill = 0; kill < 20; ++kill) {
        const std::string after = runOnce(MomentOf(whole, random));
        EXPECT_TRUE(after == before || after == restored) << "kill " << kill << ": " << after;
        sawBefore += after == before;
        sawRestored += after == restored;
    }
    RecordProperty("kills_before", sawBefore);
    RecordProperty("kills_restored", sawRestored);
}

// A kill between the two would leave the refused rows in a hidden temporary file, and no marker to
// say that the import was cut short.
class MarkerAndRejectedRows : public ParkFixture {};

TEST_F(MarkerAndRejectedRows, TheMarkerStaysUntilTheRejectedRowsAreNamed) {
    park.write("sites.csv", "\"Site\"\r\n1\r\nn2\r\n3\r\n");
    ImportWindowState window;
    window.siteSlots[0].title = "Site";
    std::string sheet;
    ScriptedPicker picker;
    ReadSelectedTitles(session, {"sites.csv"}, sheet, picker);
    prompter.standing = {{"We are making", Answer::No}, {"Error on Line", Answer::Yes}};
    std::optional<bool> markedWhenNamed;
    prompter.onShow = [&](const Shown &shown) {
        if (shown.text.rfind("1 row that was not imported is in ", 0) == 0)
            markedWhenNamed = park.exists("Park.MDB.import");
    };
    ImportSelectedFiles(session, window, ImportTable::Sites, {"sites.csv"});
    ASSERT_TRUE(markedWhenNamed.has_value()) << ::testing::PrintToString(prompter.texts());
    EXPECT_TRUE(*markedWhenNamed);
    EXPECT_TRUE(park.exists("sites rejected.csv"));
    EXPECT_FALSE(park.exists("Park.MDB.import"));
}

TEST(InterruptedImportKillTest, AKilledRestoreOfAnInterruptedImportIsOfferedAgainUntilItIsDone) {
    TempDir work;
    const std::string park = work.file("park"), left = work.file("left");
    ASSERT_TRUE(InitPark(park));
    // A large park, so that the backup put back takes long enough to be cut.
    // Fewer on a Jet park, whose outside readers read every row of it in each round.
    const long parkSites = ParkFormatUnderTest() == ParkFormat::Jet ? 15000 : 150000;
    AddNumberedSites(park + "/Park.MDB", 1, parkSites);
    WriteCsv(park + "/sites.csv", "\"Site\"", 200000,
             [](long i) { return (i % 1000 == 0 ? "n" : "") + std::to_string(i); });
    // An import killed after its fifth refused row (each refused row is committed before it is
    // reported) leaves its marker, its backup and some of its rows.
    {
        SitesImport import(park);
        Await([&] { return import.refused >= 5; }, std::chrono::seconds(60));
        ASSERT_TRUE(WIFSIGNALED(import.run.kill())) << "the import ended before it could be killed";
    }
    ASSERT_TRUE(fs::exists(park + "/Park.MDB.import"));
    CopyFolder(park, left); // as the kill left it, its log included
    const std::string before = SoundSites(park), restored = SoundWith(parkSites);
    ASSERT_EQ(before.substr(0, 3), "ok\n");
    ASSERT_GE(std::stol(before.substr(3)), parkSites + 4000) << "the kill came after the rows were reported";

    const std::string yes = "--restore-interrupted yes";
    CopyFolder(left, park);
    const auto began = Clock::now();
    const CliResult whole = Status(park, yes);
    const microseconds wholeTime = Since(began);
    ASSERT_NE(whole.out.find("is now the park database"), std::string::npos) << whole.out;
    ASSERT_EQ(SoundSites(park), restored);
    ASSERT_FALSE(fs::exists(park + "/Park.MDB.import")) << "the marker outlives the restore it asked for";

    std::mt19937 random(20261206);
    int sawBefore = 0, sawRestored = 0;
    for (int kill = 0; kill < 6; ++kill) {
        CopyFolder(left, park);
        {
            BackgroundCli start({"--park", park, "--restore-interrupted", "yes", "status"});
            std::this_thread::sleep_for(MomentOf(wholeTime, random));
        }
        const std::string after = SoundSites(park);
        const bool marked = fs::exists(park + "/Park.MDB.import");
        EXPECT_TRUE(after == before || after == restored) << "kill " << kill << ": " << after;
        EXPECT_TRUE(marked || after == restored) << "kill " << kill << ": the marker is gone, the backup is not back";
        sawBefore += after == before;
        sawRestored += after == restored;

        // The next start offers the restore again while the marker is there, and finishes it.
        const CliResult next = Status(park, yes);
        EXPECT_EQ(next.out.find("The import of sites.csv into Sites that started ") != std::string::npos, marked)
            << "kill " << kill << ": " << next.out;
        EXPECT_EQ(SoundSites(park), marked ? restored : after) << "kill " << kill << ": " << next.out;
        EXPECT_FALSE(fs::exists(park + "/Park.MDB.import")) << "kill " << kill;
    }
    RecordProperty("kills_before", sawBefore);
    RecordProperty("kills_restored", sawRestored);
}

TEST(InterruptedImportKillTest, StatusBesideAnImportNeverTakesItForInterruptedAndEveryRowIsAccountedFor) {
    TempDir work;
    const std::string pristine = work.file("pristine"), park = work.file("park"), marker = park + "/Park.MDB.import";
    ASSERT_TRUE(InitPark(pristine));
    // Sites of which the import refuses a few: a number that is not one, or one too large for the
    // column.
    const long dataLines = 60000;
    const auto line = [](long i) {
        return (i % 750 == 0 ? "n" : i % 750 == 375 ? "99999999999" : "") + std::to_string(i);
    };
    WriteCsv(pristine + "/sites.csv", "\"Site\"", dataLines, line);
    const long goodLines = dataLines - dataLines / 375;
    // The rejected-rows file holds the title and each refused line, in order.
    auto expectRejectedComplete = [&](int run) {
        std::istringstream in(TempDir::readFile(park + "/sites rejected.csv"));
        std::string written;
        long count = -1;
        for (; std::getline(in, written); ++count)
            if (count >= 0)
                EXPECT_EQ(written.rfind(line(375 * (count + 1)) + ",", 0), 0u) << "run " << run << ", row " << count;
        EXPECT_EQ(count, dataLines / 375) << "run " << run << ": the refused rows";
    };

    std::mt19937 random(20261207);
    microseconds wholeTime{0};
    int killedWithMarker = 0, killedWithout = 0, statusRuns = 0;
    for (int run = 0; run < 6; ++run) {
        CopyFolder(pristine, park);
        // The first import runs to its end and gives the time over which the others are cut.
        const std::optional<microseconds> killAt =
            run % 2 == 1 ? std::optional<microseconds>(MomentOf(wholeTime, random)) : std::nullopt;
        const auto began = Clock::now();
        SitesImport import(park);
        int status = 0;
        while (!import.run.ended(status) && !(killAt && Clock::now() - began >= *killAt)) {
            const bool markedBefore = fs::exists(marker), summarizedBefore = import.summarized;
            const CliResult beside = Status(park, "--restore-interrupted yes");
            ++statusRuns;
            EXPECT_EQ(beside.out.find("interrupted"), std::string::npos) << "run " << run << ": " << beside.out;
            // The import lets go of its marker only after its summary: a marker gone before it was
            // taken away by someone else.
            if (markedBefore && !summarizedBefore && !fs::exists(marker))
                EXPECT_TRUE(Await([&] { return import.summarized.load(); }, std::chrono::seconds(5)))
                    << "run " << run << ": the marker of the running import is gone";
        }
        status = killAt ? import.run.kill() : import.run.wait();
        if (run == 0)
            wholeTime = Since(began);

        const std::string after = SoundSites(park);
        ASSERT_EQ(after.substr(0, 3), "ok\n") << "run " << run << ": " << after;
        const long stored = std::stol(after.substr(3));
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "run " << run;
            EXPECT_EQ(stored, goodLines) << "run " << run;
            expectRejectedComplete(run);
            EXPECT_FALSE(fs::exists(marker)) << "run " << run << ": a finished import left its marker";
            continue;
        }
        ASSERT_TRUE(killAt && WIFSIGNALED(status)) << "run " << run << ": the import died by itself";
        if (!fs::exists(marker)) {
            // Killed before its marker was there (nothing stored yet), or after everything was written.
            ++killedWithout;
            EXPECT_TRUE(stored == 0 || stored == goodLines) << "run " << run << ": " << stored << " rows, no marker";
            if (stored == goodLines)
                expectRejectedComplete(run);
            continue;
        }
        // The next start names the import, counts its stored rows and offers the backup taken before it.
        ++killedWithMarker;
        const CliResult next = Status(park);
        EXPECT_EQ(Masked(next.out, park),
                  "The import of sites.csv into Sites that started {time} was interrupted: " + std::to_string(stored) +
                      " of its rows are in the table.\nDo you want to put back the backup taken before it, "
                      "{park}/Park_AddSites_{time}.MDB?\n> No\n{park}\nSites " +
                      std::to_string(stored) + "\nGuest 0\nOtherCharges 0\nParkInfo 1\n")
            << "run " << run;
        EXPECT_EQ(Status(park).out.find("interrupted"), std::string::npos) << "run " << run << ": said once";
    }
    RecordProperty("killed_with_marker", killedWithMarker);
    RecordProperty("killed_without_marker", killedWithout);
    RecordProperty("status_runs", statusRuns);
}

} // namespace
} // namespace tarnwick
