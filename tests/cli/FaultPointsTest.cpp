// A purge with its backup, a compaction and a restore of a Jet park, each cut short before every file
// operation in turn that changes the park's folder: by a crash (the process ends there) and by a
// power cut (what the disk was not told to keep is lost too). After every cut the park opens, its
// indexes are in step, both outside readers read it as the engine does, it holds the rows of the
// state before or after the command, and every backup the next command lists restores to a sound
// park with the rows it is listed with.
#include "db/jet/JetDatabase.h"
#include "support/JetReaders.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string &text) {
    return "'" + text + "'";
}

// Runs the terminal program on `park`; with `fault`, under the fault shim set to it (see FaultShim.cpp).
CliResult runCli(const std::string &park, const std::string &arguments, const std::string &fault = "") {
    const std::string shim = "LD_PRELOAD=" + shellQuoted(FAULT_SHIM) + " TARNWICK_FAULT_DIR=" + shellQuoted(park) +
                             " TARNWICK_FAULT=" + fault + " ";
    return RunProgram("/usr/bin/env", (fault.empty() ? "" : shim) + shellQuoted(CLI_PATH) + " --park " +
                                          shellQuoted(park) + " " + arguments);
}

std::uint32_t guests(const std::string &park) {
    return jet::JetDatabase(park + "/Park.MDB").table("Guest").rowCount;
}

// What is wrong with the park in `park` after a cut, or "".
std::string judge(const std::string &park, const std::vector<std::uint32_t> &committed) {
    const CliResult status = runCli(park, "status");
    if (status.status != 0)
        return "status ended with " + std::to_string(status.status) + ": " + status.out;
    const std::string file = park + "/Park.MDB";
    try {
        const std::uint32_t rows = guests(park);
        if (std::find(committed.begin(), committed.end(), rows) == committed.end())
            return "the park holds " + std::to_string(rows) + " guests, a state no commit made";
    } catch (const std::exception &e) {
        return std::string("the park does not open: ") + e.what();
    }
    // Parks the cuts leave alike are read once.
    static std::map<std::string, std::string> readings;
    const auto [reading, fresh] = readings.try_emplace(TempDir::readFile(file));
    if (fresh)
        reading->second = IndexProblems(file, {"Guest", "Sites"}) + CompareWithOutsideReaders(file, "Guest");
    if (!reading->second.empty())
        return reading->second;
    // Every backup listed, put back in a copy of the folder, is a sound park of the rows listed.
    std::istringstream listed(runCli(park, "backups").out);
    static const std::regex line(R"(^(Park_[^\t]+\.MDB)\t.*\tGuest (\d+)\t)");
    for (std::string entry; std::getline(listed, entry);) {
        std::smatch m;
        if (!std::regex_search(entry, m, line))
            continue; // a question asked before the list
        // Backups the cuts leave alike are restored once.
        static std::map<std::string, std::string> verdicts;
        const std::string key = m[1].str() + '\n' + TempDir::readFile(park + "/" + m[1].str());
        if (const auto known = verdicts.find(key); known != verdicts.end()) {
            if (!known->second.empty())
                return known->second;
            continue;
        }
        std::string &verdict = verdicts[key];
        TempDir scratch;
        const std::string copy = scratch.file("park");
        fs::copy(park, copy);
        const CliResult restored = runCli(copy, "restore " + shellQuoted(m[1]) + " --yes");
        if (restored.status != 0)
            verdict = "the listed backup " + m[1].str() + " does not restore: " + restored.out;
        else if (guests(copy) != std::stoul(m[2]) || !CompareWithOutsideReaders(copy + "/Park.MDB", "Guest").empty())
            verdict = "the listed backup " + m[1].str() + " restores to a park other than listed";
        if (!verdict.empty())
            return verdict;
    }
    return "";
}

struct Command {
    const char *name;
    std::string arguments;
    std::uint32_t after;
};

TEST(FaultPoints, EveryCutOfAPurgeACompactionAndARestoreLeavesACommittedParkAndSoundBackups) {
    if (!fs::exists(FAULT_SHIM))
        GTEST_SKIP() << FAULT_SHIM << " is not built";
    TempDir dir;
    const std::string pristine = dir.file("pristine");
    ASSERT_EQ(RunProgram(CLI_PATH, "init " + shellQuoted(pristine) + " --format jet").status, 0);
    auto importGuests = [&](int count) {
        std::ofstream csv(pristine + "/guests.csv", std::ios::trunc);
        csv << "\"First\",\"Last\"\n";
        for (int i = 0; i < count; ++i)
            csv << "\"Anna" << i << "\",\"Lind\"\n";
        csv.close();
        ASSERT_EQ(
            runCli(pristine, "import guests guests.csv --map FirstName=First --map LastName=Last --backup no").status,
            0);
    };
    importGuests(100);
    ASSERT_EQ(runCli(pristine, "backup").status, 0); // a backup of 100 guests
    importGuests(200);
    std::string initial;
    for (const auto &entry : fs::directory_iterator(pristine))
        if (entry.path().filename().string().rfind("Park_Initial_", 0) == 0)
            initial = entry.path().filename().string();
    ASSERT_FALSE(initial.empty());

    const Command commands[] = {
        {"purge", "purge guests --yes --backup yes --compact no", 0},
        {"compact", "compact", 300},
        {"restore", "restore " + shellQuoted(initial) + " --yes", 100},
    };
    const std::string park = dir.file("park");
    int points = 0;
    for (const Command &command : commands) {
        // The command left to finish, its file operations numbered.
        fs::copy(pristine, park);
        const std::string log = dir.file(std::string(command.name) + ".log");
        const CliResult whole = runCli(park, command.arguments, "count TARNWICK_FAULT_LOG=" + shellQuoted(log));
        ASSERT_EQ(whole.status, 0) << whole.out;
        ASSERT_EQ(guests(park), command.after);
        std::vector<std::string> operations;
        std::istringstream numbered(TempDir::readFile(log));
        for (std::string line; std::getline(numbered, line);)
            operations.push_back(line);
        ASSERT_GT(operations.size(), 3u) << command.name;
        fs::remove_all(park);

        for (const char *cut : {"crash", "powercut", "torn"}) {
            for (std::size_t n = 1; n <= operations.size(); ++n, ++points) {
                fs::copy(pristine, park);
                runCli(park, command.arguments, cut + (":" + std::to_string(n)));
                const std::string verdict = judge(park, {300, command.after});
                EXPECT_EQ(verdict.substr(0, 400), "") << command.name << ", " << cut << " before " << operations[n - 1];
                fs::remove_all(park);
            }
        }
    }
    RecordProperty("points", points);
    std::cout << points << " cuts\n";
}

} // namespace
} // namespace tarnwick
