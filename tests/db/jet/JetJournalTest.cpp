// The rollback journal: appends killed at random moments, and within commits, leave, at the next
// open, exactly the rows committed, as the engine, mdbtools and mdb-reader read them.
#include "db/jet/JetDatabase.h"
#include "db/jet/Journal.h"
#include "support/JetReaders.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::JetValue;
constexpr std::uint32_t kTotalRows = 100000;
constexpr std::uint32_t kRowsPerCommit = 1000;
constexpr std::uint32_t kRowsBefore = 6; // DateTest's own rows

// Appends kTotalRows rows to DateTest of `path` in a child process, one commit per kRowsPerCommit rows,
// writing the count committed into `report` after each commit.
pid_t startAppending(const std::string &path, int report) {
    const pid_t child = fork();
    if (child != 0)
        return child;
    jet::JetDatabase database(path, true);
    for (std::uint32_t done = 0; done < kTotalRows; done += kRowsPerCommit) {
        std::vector<jet::Row> rows;
        for (std::uint32_t i = done; i < done + kRowsPerCommit; ++i)
            rows.push_back({JetValue::whole(i), JetValue::date(40000 + i % 1000), JetValue::null(), JetValue::null(),
                            JetValue::utf8("memo " + std::to_string(i)), JetValue::utf8("guest " + std::to_string(i))});
        database.append("DateTest", rows);
        const std::uint32_t committed = done + kRowsPerCommit;
        if (write(report, &committed, sizeof committed) != sizeof committed)
            _exit(2);
    }
    _exit(0);
}

struct Round {
    std::uint32_t reported = 0; // the last count the child wrote
    double seconds = 0;
};

// Runs one append, killed after `killAfter` seconds unless it ends first. With `inCommit`, the kill
// waits from then on for the journal to appear, so that it lands while a commit writes its pages.
Round appendUntilKilled(const std::string &path, double killAfter, bool inCommit = false) {
    int report[2];
    EXPECT_EQ(pipe(report), 0);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = startAppending(path, report[1]);
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        const bool due = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= killAfter;
        if (due && (!inCommit || fs::exists(jet::JournalPath(path)))) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        if (!due)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Round round;
    round.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (std::uint32_t count; read(report[0], &count, sizeof count) == sizeof count;)
        round.reported = count;
    close(report[0]);
    return round;
}

// The rows of DateTest as the engine (after the open that puts back a journal), its definition,
// mdb-count, mdb-export and mdb-reader count them, and what mdbtools and mdb-reader warned about.
std::string counted(const std::string &path) {
    const jet::JetDatabase database(path);
    const ObservedRun count = RunObserved("/usr/bin/mdb-count", {path, "DateTest"}, 120);
    const ExportedTable exported = MdbExport(path, "DateTest");
    const ObservedRun read = RunObserved(
        "/usr/bin/node", {std::string(SUPPORT_DIR) + "/mdb_reader_dump.js", MDB_READER_MODULES, path, "DateTest"}, 120);
    return std::to_string(JetRows(database, "DateTest").size()) + " " +
           std::to_string(database.table("DateTest").rowCount) + " " + std::to_string(std::stoul(count.out)) + " " +
           std::to_string(exported.rows.size()) + " " + std::to_string(nlohmann::json::parse(read.out)["rows"].size()) +
           count.err + exported.warnings + read.err;
}

TEST(JetJournal, AnAppendKilledAtAnyMomentLeavesExactlyTheCommittedRows) {
    SKIP_WITHOUT_ACCESS_FILES();
    TempDir dir;
    const std::string whole = dir.file("whole.mdb");
    fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", whole);
    // One append left to its end: how long it takes, and all three readers agreeing on every value.
    const Round full = appendUntilKilled(whole, 600);
    ASSERT_EQ(full.reported, kTotalRows);
    EXPECT_EQ(CompareWithOutsideReaders(whole, "DateTest"), "");

    std::mt19937 random(26);
    int journalsLeft = 0;
    for (int kill = 0; kill < 8; ++kill) {
        const std::string path = dir.file("killed" + std::to_string(kill) + ".mdb");
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
        const bool inCommit = kill % 2 == 1;
        const Round round =
            appendUntilKilled(path, std::uniform_real_distribution<>(0, full.seconds)(random), inCommit);
        journalsLeft += fs::exists(jet::JournalPath(path));
        SCOPED_TRACE(std::string(inCommit ? "in a commit, " : "") + "killed after " + std::to_string(round.seconds) +
                     " s, " + std::to_string(round.reported) + " rows reported");
        // Every reader counts the rows committed, and none warns. The kill may land after a commit and
        // before its report: then one more commit holds.
        const auto agreed = [](std::uint32_t rows) {
            const std::string n = std::to_string(rows);
            return n + " " + n + " " + n + " " + n + " " + n;
        };
        const std::string counts = counted(path);
        EXPECT_TRUE(counts == agreed(kRowsBefore + round.reported) ||
                    counts == agreed(kRowsBefore + round.reported + kRowsPerCommit))
            << counts;
        EXPECT_FALSE(fs::exists(jet::JournalPath(path)));
    }
    // Every kill waiting for the journal sees it, but one may land just after its commit ended.
    EXPECT_GT(journalsLeft, 2) << "too few kills landed within a commit";
}

// A journal written as a commit does, then pages overwritten as the commit would, then the commit
// cut short: the next open puts the file back. A journal cut short or damaged itself is only removed;
// one whose pages the file holds neither before nor after (the journal of another file, or of this
// one before a copy was put over it) is set aside, and the file left as it is.
TEST(JetJournal, TheNextOpenPutsBackOnlyAWholeJournalOfItsOwnFile) {
    SKIP_WITHOUT_ACCESS_FILES();
    enum Journal { Complete, CompleteOfManyMegabytes, Torn, Damaged, OfAnotherFile, OfAnEarlierCopy };
    const char *names[] = {"complete",        "complete, of many megabytes", "torn", "damaged",
                           "of another file", "of an earlier copy"};
    for (int kind = Complete; kind <= OfAnEarlierCopy; ++kind) {
        SCOPED_TRACE(names[kind]);
        TempDir dir;
        const std::string path = dir.file("db.mdb");
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
        std::vector<std::uint32_t> saved{18u, 20u};
        if (kind == CompleteOfManyMegabytes) {
            // A file of over a thousand pages, every one of them saved: the journal is written in parts.
            std::vector<jet::Row> rows;
            for (int i = 0; i < 1200; ++i)
                rows.push_back({JetValue::whole(i), JetValue::date(40000), JetValue::null(), JetValue::null(),
                                JetValue::utf8(std::string(3000, 'j')), JetValue::utf8("row")});
            jet::JetDatabase(path, true).append("DateTest", rows);
            saved.clear();
            for (std::uint32_t number = 0; number < jet::PageFile(path).pageCount(); ++number)
                saved.push_back(number);
            ASSERT_GT(saved.size(), 1000u);
        }
        jet::Page scribbled;
        std::fill(scribbled.data(), scribbled.data() + 4096, 0xA5);
        std::map<std::uint32_t, jet::Page> changes;
        for (std::uint32_t number : saved)
            changes[number] = scribbled;
        const std::string before = TempDir::readFile(path);
        const std::string journal = jet::JournalPath(path);
        {
            jet::PageFile file(path, true);
            changes[file.pageCount()] = scribbled;
            jet::WriteJournal(file, changes);
            if (kind == Torn) {
                fs::resize_file(journal, fs::file_size(journal) - 100);
            } else if (kind == Damaged) {
                // A saved page's bytes changed where the disk never wrote them: its size is whole, its
                // checksum no longer matches, and putting it back would damage the file.
                std::string bytes = TempDir::readFile(journal);
                std::fill(bytes.begin() + 100, bytes.begin() + 600, '\0');
                dir.write("db.mdb-journal", bytes);
            } else if (kind == OfAnEarlierCopy) {
                jet::Page other;
                std::fill(other.data(), other.data() + 4096, 0x5A);
                file.write(saved.front(), other);
            } else if (kind != OfAnotherFile) {
                for (const auto &[number, page] : changes)
                    file.write(number, page);
            }
        }
        if (kind == OfAnotherFile)
            fs::copy_file(kAccessFolder / "compIndexTestV2000.mdb", path, fs::copy_options::overwrite_existing);
        const std::string untouched = TempDir::readFile(path);
        const bool foreign = kind == OfAnotherFile || kind == OfAnEarlierCopy;
        EXPECT_NO_THROW(jet::JetDatabase{path});
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_EQ(fs::exists(journal + " (another file's)"), foreign);
        EXPECT_TRUE(TempDir::readFile(path) == (foreign ? untouched : before));
    }
}

} // namespace
} // namespace tarnwick
