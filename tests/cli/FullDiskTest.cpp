// A Jet park on a disk that fills up: every command that meets the full disk ends with status 1 and a
// sentence, takes back what it began, and leaves the park at its last committed state, readable by
// every reader with every index in step. The disk is a small tmpfs the test mounts, which needs root.
#include "db/jet/JetDatabase.h"
#include "support/JetReaders.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sys/mount.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class FullDisk : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small disk to fill needs root";
        fs::create_directory(disk);
        if (::mount("tarnwick-full", disk.c_str(), "tmpfs", 0, "size=2m") != 0)
            GTEST_SKIP() << "tmpfs could not be mounted here: " << std::strerror(errno);
        ASSERT_EQ(RunObserved(CLI_PATH, {"init", park, "--format", "jet"}, 60).status, 0);
    }
    void TearDown() override {
        ::umount2(disk.c_str(), MNT_DETACH); // refused when nothing was mounted
    }
    ObservedRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--park", park});
        return RunObserved(CLI_PATH, arguments, 120);
    }
    // Takes what room the disk has left.
    void fill() {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()))
            filler.flush();
    }
    // The park reads whole: `rows` guests, the indexes in step, and the outside readers read every guest.
    void expectSound(std::uint32_t rows) {
        EXPECT_EQ(jet::JetDatabase(parkFile).table("Guest").rowCount, rows);
        EXPECT_EQ(TableProblems(parkFile, "Guest"), "");
    }
    // Files beside the park that a command left behind: a partial backup, copy or journal.
    std::set<std::string> leftovers() {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(park))
            names.insert(entry.path().filename().string());
        return names;
    }
    TempDir dir;
    const std::string disk = dir.file("disk"), park = disk + "/park", parkFile = park + "/Park.MDB";
};

TEST_F(FullDisk, EveryCommandStopsWithASentenceAndLeavesTheLastCommittedPark) {
    {
        std::ofstream csv(dir.file("guests.csv"));
        csv << "\"First\",\"Last\",\"Notes\"\n";
        for (int i = 0; i < 30000; ++i)
            csv << "\"Anna" << i << "\",\"Lind\",\"" << std::string(60, 'n') << "\"\n";
    }
    // Sources are read from the park's folder; the link there takes none of the disk's room.
    fs::create_symlink(dir.file("guests.csv"), park + "/guests.csv");
    // The import goes on past row errors, as the operator asked, until the disk refuses a commit.
    const ObservedRun imported = run({"import", "guests", "guests.csv", "--backup", "no", "--on-row-error", "skip",
                                      "--map", "FirstName=First", "--map", "LastName=Last", "--map", "Notes=Notes"});
    EXPECT_EQ(imported.status, 1) << imported.out;
    EXPECT_NE(imported.err.find("No space left on device"), std::string::npos) << imported.err;
    std::smatch stored;
    ASSERT_TRUE(std::regex_search(imported.out, stored, std::regex(R"((\d+) of 30000 rows are stored in Guest\.)")))
        << imported.out;
    const auto rows = static_cast<std::uint32_t>(std::stoul(stored[1]));
    expectSound(rows);
    const std::set<std::string> files = leftovers();
    EXPECT_EQ(files, (std::set<std::string>{"Park.MDB", "Tarnwick.chm", "guests.csv"}));

    fill();
    const std::string before = TempDir::readFile(parkFile);
    // Each command, and the start of the sentence it ends with.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"backup"}, "BackUpDB: "},
        {{"compact"}, "CompressDB: "},
        {{"edit", "guest", "1", "Notes=" + std::string(200, 'e')}, ""},
        {{"purge", "guests", "--yes", "--backup", "no", "--compact", "no"}, "PurgeGuests: "},
    };
    for (const auto &[arguments, sentence] : cases) {
        SCOPED_TRACE(arguments.front());
        const ObservedRun refused = run(arguments);
        EXPECT_EQ(refused.status, 1) << refused.out << refused.err;
        const std::string said = refused.out + refused.err;
        EXPECT_NE(said.find(sentence), std::string::npos) << said;
        EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
        EXPECT_EQ(leftovers(), files) << "a partial backup, copy or journal is left";
        EXPECT_TRUE(TempDir::readFile(parkFile) == before) << "the park changed";
    }
    expectSound(rows);
}

} // namespace
} // namespace tarnwick
