// Imports and the start-up that puts back the backup of an interrupted import, killed with SIGKILL at
// random moments: the park stays sound, every row is in the park, in the rejected-rows file or named
// by the next start, and an import that is still running is never taken for an interrupted one.
#include "import/ImportWindowActions.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ParkQuery.h"
#include "support/ParkFixture.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// What sqlite3 answers for the park's integrity and its count of sites: "ok\n<count>\n" when sound.
std::string integrityAndSites(const std::string &park) {
    return SoundParkRows(park + "/Park.MDB", "Sites");
}

std::string soundWith(long sites) {
    return "ok\n" + std::to_string(sites) + "\n";
}

// Starts tarnwick-cli with stdin from /dev/null and stdout into `out` (or /dev/null when -1).
pid_t startCli(const std::vector<std::string> &arguments, int out = -1) {
    std::vector<char *> argv{const_cast<char *>(CLI_PATH)};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
        dup2(out >= 0 ? out : open("/dev/null", O_WRONLY), STDOUT_FILENO);
        dup2(STDOUT_FILENO, STDERR_FILENO);
        execv(CLI_PATH, argv.data());
        _exit(127);
    }
    return child;
}

void copyFolder(const std::string &from, const std::string &to) {
    fs::remove_all(to);
    fs::copy(from, to);
}

std::string readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a file without their CR LF.
std::vector<std::string> lines(const std::string &path) {
    std::vector<std::string> result;
    std::istringstream in(readAll(path));
    for (std::string line; std::getline(in, line);)
        result.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
    return result;
}

// An import's stdout, read line by line as it comes: how many rows it refused so far, and whether it
// has said how many rows it stored (which it says before it lets go of its marker).
class ImportOutput {
public:
    explicit ImportOutput(int fd) : reader_([this, fd] { read(fd); }) {}
    ~ImportOutput() { reader_.join(); }
    int refused() const { return refused_; }
    bool summarized() const { return summarized_; }
    // Waits up to `limit` for the summary line; whether it came.
    bool awaitSummary(std::chrono::milliseconds limit) const {
        for (const auto end = Clock::now() + limit; !summarized_ && Clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return summarized_;
    }

private:
    void read(int fd) {
        FILE *stream = fdopen(fd, "r");
        char line[8192];
        while (std::fgets(line, sizeof line, stream)) {
            if (std::strncmp(line, "Error on Line ", 14) == 0)
                ++refused_;
            if (std::strstr(line, " Sites Successfully Imported"))
                summarized_ = true;
        }
        std::fclose(stream);
    }
    std::atomic<int> refused_{0};
    std::atomic<bool> summarized_{false};
    std::thread reader_;
};

// Starts an import whose stdout an ImportOutput reads; the pipe's ends stay out of other children.
pid_t startImport(const std::vector<std::string> &arguments, std::optional<ImportOutput> &output) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = startCli(arguments, ends[1]);
    close(ends[1]);
    output.emplace(ends[0]);
    return child;
}

const std::string kStem = "Park_AddSites_";

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
    ASSERT_EQ(RunProgram(CLI_PATH, "init \'" + park + "\'" + InitFormatOption()).status, 0);
    // A large park, so that the backup put back takes long enough to be cut.
    // Fewer on a Jet park, whose outside readers read every row of it in each round.
    const long parkSites = ParkFormatUnderTest() == ParkFormat::Jet ? 15000 : 150000;
    AddNumberedSites(park + "/Park.MDB", 1, parkSites);
    {
        std::ofstream csv(park + "/sites.csv", std::ios::binary);
        csv << "\"Site\"\r\n";
        for (int i = 1; i <= 200000; ++i)
            csv << (i % 1000 == 0 ? "n" : "") << i << "\r\n";
    }
    // An import killed after its fifth refused row (each refused row is committed before it is
    // reported) leaves its marker, its backup and some of its rows.
    {
        std::optional<ImportOutput> output;
        const pid_t import = startImport({"--park", park, "import", "sites", "sites.csv", "--map", "Number=Site",
                                          "--backup", "yes", "--on-row-error", "skip"},
                                         output);
        for (const auto end = Clock::now() + std::chrono::seconds(60); output->refused() < 5 && Clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(import, SIGKILL);
        int status = 0;
        waitpid(import, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the import ended before it could be killed";
    }
    ASSERT_TRUE(fs::exists(park + "/Park.MDB.import"));
    copyFolder(park, left); // as the kill left it, its log included
    const std::string before = integrityAndSites(park), restored = soundWith(parkSites);
    ASSERT_EQ(before.substr(0, 3), "ok\n");
    ASSERT_GE(std::stol(before.substr(3)), parkSites + 4000) << "the kill came after the rows were reported";

    const std::vector<std::string> start{"--park", park, "--restore-interrupted", "yes", "status"};
    auto startToEnd = [&] { return RunProgram(CLI_PATH, "--park '" + park + "' --restore-interrupted yes status"); };
    copyFolder(left, park);
    const auto began = Clock::now();
    const CliResult whole = startToEnd();
    const auto wholeTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - began);
    ASSERT_NE(whole.out.find("is now the park database"), std::string::npos) << whole.out;
    ASSERT_EQ(integrityAndSites(park), restored);
    ASSERT_FALSE(fs::exists(park + "/Park.MDB.import")) << "the marker outlives the restore it asked for";

    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> moment(0, std::max<long>(1000, wholeTime.count()));
    int sawBefore = 0, sawRestored = 0;
    for (int kill = 0; kill < 6; ++kill) {
        copyFolder(left, park);
        const pid_t child = startCli(start);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const std::string after = integrityAndSites(park);
        const bool marked = fs::exists(park + "/Park.MDB.import");
        EXPECT_TRUE(after == before || after == restored) << "kill " << kill << ": " << after;
        EXPECT_TRUE(marked || after == restored) << "kill " << kill << ": the marker is gone, the backup is not back";
        sawBefore += after == before;
        sawRestored += after == restored;

        // The next start offers the restore again while the marker is there, and finishes it.
        const CliResult next = startToEnd();
        EXPECT_EQ(next.out.find("The import of sites.csv into Sites that started ") != std::string::npos, marked)
            << "kill " << kill << ": " << next.out;
        EXPECT_EQ(integrityAndSites(park), marked ? restored : after) << "kill " << kill << ": " << next.out;
        EXPECT_FALSE(fs::exists(park + "/Park.MDB.import")) << "kill " << kill;
    }
    RecordProperty("kills_before", sawBefore);
    RecordProperty("kills_restored", sawRestored);
}

TEST(InterruptedImportKillTest, StatusBesideAnImportNeverTakesItForInterruptedAndEveryRowIsAccountedFor) {
    TempDir work;
    const std::string pristine = work.file("pristine"), park = work.file("park"), marker = park + "/Park.MDB.import";
    ASSERT_EQ(RunProgram(CLI_PATH, "init \'" + pristine + "\'" + InitFormatOption()).status, 0);
    // Sites of which the import refuses a few: a number that is not one, or one too large for the
    // column.
    const long dataLines = 60000;
    std::vector<std::string> refusedLines;
    {
        std::ofstream csv(pristine + "/sites.csv", std::ios::binary);
        csv << "\"Site\"\r\n";
        for (long i = 1; i <= dataLines; ++i) {
            std::string line = std::to_string(i);
            if (i % 750 == 0)
                line = "n" + line;
            else if (i % 750 == 375)
                line = "99999999999" + line;
            csv << line << "\r\n";
            if (line.find_first_not_of("0123456789") != std::string::npos || line.size() > 9)
                refusedLines.push_back(line);
        }
    }
    const long goodLines = dataLines - static_cast<long>(refusedLines.size());
    const std::vector<std::string> import{"--park",      park,       "import", "sites",          "sites.csv", "--map",
                                          "Number=Site", "--backup", "yes",    "--on-row-error", "skip"};

    std::mt19937 random(20261207);
    std::chrono::microseconds wholeTime{0};
    int killedWithMarker = 0, killedWithout = 0, statusRuns = 0;
    for (int run = 0; run < 6; ++run) {
        copyFolder(pristine, park);
        // The first import runs to its end and gives the time over which the others are cut.
        std::optional<std::chrono::microseconds> killAt;
        if (run % 2 == 1)
            killAt = std::chrono::microseconds(
                std::uniform_int_distribution<long>(0, std::max<long>(1000, wholeTime.count()))(random));
        std::optional<ImportOutput> output;
        const auto began = Clock::now();
        const pid_t child = startImport(import, output);
        int status = 0;
        bool ended = false;
        while (!(ended = waitpid(child, &status, WNOHANG) == child) && !(killAt && Clock::now() - began >= *killAt)) {
            const bool markedBefore = fs::exists(marker), summarizedBefore = output->summarized();
            const CliResult beside = RunProgram(CLI_PATH, "--park '" + park + "' --restore-interrupted yes status");
            ++statusRuns;
            EXPECT_EQ(beside.out.find("interrupted"), std::string::npos) << "run " << run << ": " << beside.out;
            // The import lets go of its marker only after its summary: a marker gone before it was
            // taken away by someone else.
            if (markedBefore && !summarizedBefore && !fs::exists(marker)) {
                EXPECT_TRUE(output->awaitSummary(std::chrono::seconds(5)))
                    << "run " << run << ": the marker of the running import is gone";
            }
        }
        if (!ended) {
            if (killAt)
                kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        if (run == 0)
            wholeTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - began);
        output.reset();

        const std::string after = integrityAndSites(park);
        ASSERT_EQ(after.substr(0, 3), "ok\n") << "run " << run << ": " << after;
        const long stored = std::stol(after.substr(3));
        const std::string rejected = park + "/sites rejected.csv";
        auto expectRejectedComplete = [&] {
            const std::vector<std::string> written = lines(rejected);
            ASSERT_EQ(written.size(), refusedLines.size() + 1) << "run " << run << ": the title and the refused rows";
            for (std::size_t i = 0; i < refusedLines.size(); ++i)
                EXPECT_EQ(written[i + 1].substr(0, refusedLines[i].size() + 1), refusedLines[i] + ",")
                    << "run " << run << ", rejected row " << i;
        };
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "run " << run;
            EXPECT_EQ(stored, goodLines) << "run " << run;
            expectRejectedComplete();
            EXPECT_FALSE(fs::exists(marker)) << "run " << run << ": a finished import left its marker";
            continue;
        }
        ASSERT_TRUE(killAt && WIFSIGNALED(status)) << "run " << run << ": the import died by itself";
        if (!fs::exists(marker)) {
            // Killed before its marker was there (nothing stored yet), or after everything was written.
            ++killedWithout;
            EXPECT_TRUE(stored == 0 || stored == goodLines) << "run " << run << ": " << stored << " rows, no marker";
            if (stored == goodLines)
                expectRejectedComplete();
            continue;
        }
        // The next start names the import, counts its stored rows and offers the backup taken before it.
        ++killedWithMarker;
        const CliResult next = RunProgram(CLI_PATH, "--park '" + park + "' status");
        EXPECT_TRUE(std::regex_search(
            next.out, std::regex("^The import of sites\\.csv into Sites that started \\d\\d-\\d\\d-\\d{4} \\d\\d "
                                 "\\d\\d was interrupted: " +
                                 std::to_string(stored) + " of its rows are in the table\\.\n")))
            << "run " << run << ": " << next.out;
        EXPECT_NE(next.out.find("Do you want to put back the backup taken before it, " + park + "/" + kStem),
                  std::string::npos)
            << "run " << run << ": " << next.out;
        EXPECT_EQ(RunProgram(CLI_PATH, "--park '" + park + "' status").out.find("interrupted"), std::string::npos)
            << "run " << run << ": said once";
    }
    RecordProperty("killed_with_marker", killedWithMarker);
    RecordProperty("killed_without_marker", killedWithout);
    RecordProperty("status_runs", statusRuns);
}

} // namespace
} // namespace tarnwick
