// Commands of the terminal program cut short by the fault shim (FaultShim.cpp) before a file
// operation in the park's folder, each such operation in turn: by a crash (the process ends there),
// a power cut (what the disk was not told to keep is lost too) or a torn power cut (only some of it).
// After every cut the next start finds a sound park holding the rows of one of the command's commits.
// Beside them, a disk that fills up, and what only a concurrent run can show.
#include "db/jet/JetDatabase.h"
#include "support/CliPark.h"
#include "support/JetReaders.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <sys/mount.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string &text) {
    return "'" + text + "'";
}

// The terminal program on `park`, `arguments` as a shell reads them, its streams apart; with `fault`,
// under the fault shim set to it.
ObservedRun RunCli(const std::string &park, const std::string &arguments, const std::string &fault = "") {
    const std::string shim =
        "LD_PRELOAD=" + Quoted(FAULT_SHIM) + " TARNWICK_FAULT_DIR=" + Quoted(park) + " TARNWICK_FAULT=" + fault + " ";
    return RunObserved(
        "/bin/sh",
        {"-c", "env " + (fault.empty() ? "" : shim) + Quoted(CLI_PATH) + " --park " + Quoted(park) + " " + arguments},
        600);
}

// `park` put back to a copy of `from`, then `arguments` run on it under the fault shim set to `fault`.
ObservedRun RunOnCopy(const std::string &from, const std::string &park, const std::string &arguments,
                      const std::string &fault) {
    fs::remove_all(park);
    fs::copy(from, park);
    return RunCli(park, arguments, fault);
}

// A command left to finish on a copy of `from` at `park`: its output and its file operations in order,
// each as "kind path".
struct Numbered {
    ObservedRun run;
    std::vector<std::string> operations;
};

Numbered Number(const std::string &from, const std::string &park, const std::string &arguments) {
    const std::string log = park + ".log";
    Numbered numbered{RunOnCopy(from, park, arguments, "count TARNWICK_FAULT_LOG=" + Quoted(log)), {}};
    std::istringstream lines(TempDir::readFile(log));
    for (std::string line; std::getline(lines, line);)
        numbered.operations.push_back(line.substr(line.find(' ') + 1));
    return numbered;
}

// The operations (from 1) a cut is made before; none on the lock file or on SQLite's shared-memory
// index, which hold none of the park's data. A crash amid a run of writes to one file is cut before
// the first and the last of them. A power cut keeps what the last flush kept, the same before every
// operation up to the next flush: it is cut once after each flush.
std::vector<std::size_t> CutPoints(const std::vector<std::string> &ops, const std::string &cut) {
    static const std::regex unkept("(-shm|\\.ldb)$");
    std::vector<std::size_t> points;
    bool flushed = true;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const bool kept = !std::regex_search(ops[i], unkept);
        if (kept && (cut == "powercut" ? flushed
                                       : i == 0 || i + 1 == ops.size() || ops[i] != ops[i - 1] || ops[i] != ops[i + 1]))
            points.push_back(i + 1);
        flushed = (flushed && !kept) || ops[i].rfind("fsync", 0) == 0;
    }
    return points;
}

// A CSV file at `path`: the title line, then `count` lines, line i (from 1) given by `line`.
void WriteCsv(const std::string &path, const std::string &title, long count,
              const std::function<std::string(long)> &line) {
    std::ofstream csv(path, std::ios::binary);
    csv << title << "\r\n";
    for (long i = 1; i <= count; ++i)
        csv << line(i) << "\r\n";
}

std::uint32_t Guests(const std::string &park) {
    return jet::JetDatabase(park + "/Park.MDB").table("Guest").rowCount;
}

// What is wrong with the Jet park in `park` after a cut, or "": it opens, holds a count of guests in
// `committed`, its indexes walk clean, the outside readers read what the engine reads, and every
// backup listed restores, in a copy of the folder, to a sound park of the rows listed.
std::string JudgeJetPark(const std::string &park, const std::vector<std::uint32_t> &committed) {
    const ObservedRun status = RunCli(park, "status");
    if (status.status != 0)
        return "status ended with " + std::to_string(status.status) + ": " + status.out + status.err;
    const std::string file = park + "/Park.MDB";
    if (std::find(committed.begin(), committed.end(), Guests(park)) == committed.end())
        return "the park holds " + std::to_string(Guests(park)) + " guests, a state no commit made";
    // Parks and backups the cuts leave alike are judged once.
    static std::map<std::string, std::string> verdicts;
    const auto [reading, fresh] = verdicts.try_emplace(TempDir::readFile(file));
    if (fresh)
        reading->second = IndexProblems(file, {"Guest", "Sites"}) + CompareWithOutsideReaders(file, "Guest");
    if (!reading->second.empty())
        return reading->second;
    std::istringstream listed(RunCli(park, "backups").out);
    static const std::regex line(R"(^(Park_[^\t]+\.MDB)\t.*\tGuest (\d+)\t)");
    int backups = 0; // the initial backup at least, which every cut leaves
    for (std::string entry; std::getline(listed, entry);) {
        std::smatch m;
        if (!std::regex_search(entry, m, line))
            continue; // a question asked before the list
        ++backups;
        const auto [known, unseen] =
            verdicts.try_emplace(m[1].str() + '\n' + TempDir::readFile(park + "/" + m[1].str()));
        std::string &verdict = known->second;
        if (unseen) {
            TempDir scratch;
            const std::string copy = scratch.file("park");
            fs::copy(park, copy);
            const ObservedRun restored = RunCli(copy, "restore " + Quoted(m[1]) + " --yes");
            if (restored.status != 0)
                verdict = "the listed backup " + m[1].str() + " does not restore: " + restored.out + restored.err;
            else if (Guests(copy) != std::stoul(m[2]) ||
                     !CompareWithOutsideReaders(copy + "/Park.MDB", "Guest").empty())
                verdict = "the listed backup " + m[1].str() + " restores to a park other than listed";
        }
        if (!verdict.empty())
            return verdict;
    }
    return backups > 0 ? "" : "no backup is listed";
}

TEST(FaultPoints, EveryCutOfAPurgeACompactionAndARestoreLeavesACommittedParkAndSoundBackups) {
    TempDir dir;
    const std::string pristine = dir.file("pristine"), park = dir.file("park");
    ASSERT_EQ(RunProgram(CLI_PATH, "init " + Quoted(pristine) + " --format jet").status, 0);
    WriteCsv(pristine + "/guests.csv", "\"First\",\"Last\"", 100,
             [](long i) { return "Anna" + std::to_string(i) + ",Lind"; });
    // 100 guests, a backup of them, then 200 more.
    const std::string import = "import guests guests.csv --map FirstName=First --map LastName=Last --backup no";
    for (const std::string &step : {import, std::string("backup"), import, import})
        ASSERT_EQ(RunCli(pristine, step).status, 0) << step;
    std::string initial;
    for (const std::string &name : FileNames(pristine))
        initial = name.rfind("Park_Initial_", 0) == 0 ? name : initial;
    ASSERT_FALSE(initial.empty());

    // Each command, and the guests it leaves.
    const std::pair<std::string, std::uint32_t> commands[] = {
        {"purge guests --yes --backup yes --compact no", 0},
        {"compact", 300},
        {"restore " + Quoted(initial) + " --yes", 100},
    };
    for (const auto &[arguments, after] : commands) {
        const Numbered whole = Number(pristine, park, arguments);
        ASSERT_EQ(whole.run.status, 0) << whole.run.out << whole.run.err;
        ASSERT_EQ(Guests(park), after);
        ASSERT_GT(whole.operations.size(), 3u) << arguments;
        for (const char *cut : {"crash", "powercut", "torn"})
            for (std::size_t n : CutPoints(whole.operations, cut)) {
                RunOnCopy(pristine, park, arguments, cut + (":" + std::to_string(n)));
                EXPECT_EQ(JudgeJetPark(park, {300, after}).substr(0, 400), "")
                    << arguments << ", " << cut << " before " << whole.operations[n - 1];
            }
    }
    // A purge crashed before its last write to the park leaves its journal; the next start puts the
    // park back from it, and a power cut before any of its operations (the last, on the lock file,
    // comes after the journal is gone) leaves the park of one of the purge's commits too.
    const std::string purge = commands[0].first, crashed = dir.file("crashed");
    const std::vector<std::string> purged = Number(pristine, crashed, purge).operations;
    const auto lastWrite = std::find(purged.rbegin(), purged.rend(), "write " + crashed + "/Park.MDB");
    ASSERT_NE(lastWrite, purged.rend());
    RunOnCopy(pristine, crashed, purge, "crash:" + std::to_string(purged.rend() - lastWrite));
    ASSERT_TRUE(fs::exists(crashed + "/Park.MDB-journal"));
    const Numbered recovery = Number(crashed, park, "status");
    for (std::size_t n = 1; n <= recovery.operations.size(); ++n) {
        RunOnCopy(crashed, park, "status", "powercut:" + std::to_string(n));
        EXPECT_EQ(JudgeJetPark(park, {300, 0}).substr(0, 400), "")
            << "put back, cut before " << recovery.operations[n - 1];
    }
}

// The rows an import's output says are stored: none at first, then each "Line N" (said once the N rows
// before it are committed) and the closing "N of 150".
std::vector<long> SaidStored(const std::string &out) {
    static const std::regex said(R"(Line (\d+)|(\d+) of 150 )");
    std::vector<long> rows{0};
    for (std::sregex_iterator m(out.begin(), out.end(), said), end; m != end; ++m)
        rows.push_back(std::stol((*m)[(*m)[1].matched ? 1 : 2]));
    return rows;
}

// The bytes of the park file and of what a writer cut short left beside it.
std::string ParkBytes(const std::string &park) {
    std::string bytes;
    for (const std::string suffix : {"", "-journal", "-wal"})
        if (fs::exists(park + "/Park.MDB" + suffix))
            bytes += suffix + TempDir::readFile(park + "/Park.MDB" + suffix);
    return bytes;
}

// An import cut before each of its file operations in turn keeps the rows it said were stored, holds
// the rows of one of its commits, and is named by the next start while its marker is there; without
// the marker every row is in the park or the rejected-rows file. The restore of its backup, which
// the next start offers, cut the same way, leaves the park before or after it, and the import is named
// and the restore offered again until the backup is back.
TEST(ImportCuts, EveryCutKeepsTheRowsSaidStoredAndTheImportIsNamedUntilItsBackupIsBack) {
    TempDir dir;
    const std::string pristine = dir.file("pristine"), park = dir.file("park"), left = dir.file("left"),
                      marker = park + "/Park.MDB.import";
    ASSERT_EQ(RunProgram(CLI_PATH, "init " + Quoted(pristine) + InitFormatOption()).status, 0);
    // The 50th guest has a state too long, which is shortened; the 100th a number of people that is no
    // number, and is refused.
    WriteCsv(pristine + "/guests.csv", "\"First\",\"Last\",\"State\",\"People\"", 150, [](long i) {
        return "guest,number" + std::to_string(i) + (i == 50 ? ",TXS" : ",TX") + (i == 100 ? ",x" : ",2");
    });
    const std::string import = "import guests guests.csv --map FirstName=First --map LastName=Last --map State=State "
                               "--map NoPeople=People --backup yes --on-row-error skip";
    const Numbered whole = Number(pristine, park, import);
    const std::vector<long> commits = SaidStored(whole.run.out);
    ASSERT_EQ(commits, (std::vector<long>{0, 49, 99, 149})) << whole.run.out;
    const std::string rejected = TempDir::readFile(park + "/guests rejected.csv");
    // What outside readers say of each park left, read once: "ok\n<guests>\n" when it is sound.
    std::map<std::string, std::string> readings;
    auto read = [&] {
        const auto [reading, fresh] = readings.try_emplace(ParkBytes(park));
        if (fresh)
            reading->second =
                SoundParkRows(park + "/Park.MDB", "Guest") +
                (ParkFormatUnderTest() == ParkFormat::Jet ? TableProblems(park + "/Park.MDB", "Guest") : "");
        return reading->second;
    };

    long leftRows = -1;
    for (std::size_t n : CutPoints(whole.operations, "crash")) {
        SCOPED_TRACE("import cut before " + whole.operations[n - 1]);
        const long said = SaidStored(RunOnCopy(pristine, park, import, "crash:" + std::to_string(n)).out).back();
        const bool marked = fs::exists(marker);
        if (marked) {
            fs::remove_all(left);
            fs::copy(park, left);
        }
        const ObservedRun next = RunCli(park, "status");
        const std::string reading = read();
        ASSERT_EQ(reading.substr(0, 3), "ok\n") << reading;
        const long stored = std::stol(reading.substr(3));
        EXPECT_EQ(reading, "ok\n" + std::to_string(stored) + "\n");
        EXPECT_GE(stored, said) << "rows said to be stored are lost";
        EXPECT_NE(std::find(commits.begin(), commits.end(), stored), commits.end())
            << stored << ", the rows of no commit";
        const std::string counts =
            "{park}\nSites 0\nGuest " + std::to_string(stored) + "\nOtherCharges 0\nParkInfo 1\n";
        leftRows = marked ? stored : leftRows;
        const std::string named =
            "The import of guests.csv into Guest that started {time} was interrupted: " + std::to_string(stored) +
            " of its rows are in the table.\nDo you want to put back "
            "the backup taken before it, {park}/Park_AddGuests_{time}.MDB?\n> No\n";
        EXPECT_EQ(Masked(next.out + next.err, park), (marked ? named : "") + counts);
        // Without the marker, every row is in the park or the rejected-rows file.
        EXPECT_TRUE(marked || stored == 0 || stored == commits.back())
            << stored << " rows, and no marker names the import";
        EXPECT_TRUE(marked || stored == 0 || TempDir::readFile(park + "/guests rejected.csv") == rejected);
        EXPECT_FALSE(fs::exists(marker)) << "named again at the next start";
        EXPECT_FALSE(fs::exists(park + "/Park.MDB-journal")) << "the journal outlives the next start";
    }

    ASSERT_GT(leftRows, 0) << "no cut left the marker with rows stored";
    const std::string restore = "--restore-interrupted yes status", restored = "ok\n0\n";
    const Numbered put = Number(left, park, restore);
    ASSERT_NE(put.run.out.find("is now the park database"), std::string::npos) << put.run.out;
    ASSERT_EQ(read(), restored);
    for (std::size_t n : CutPoints(put.operations, "crash")) {
        SCOPED_TRACE("restore cut before " + put.operations[n - 1]);
        RunOnCopy(left, park, restore, "crash:" + std::to_string(n));
        const bool marked = fs::exists(marker);
        const std::string after = read();
        EXPECT_TRUE(after == "ok\n" + std::to_string(leftRows) + "\n" || after == restored) << after;
        EXPECT_TRUE(marked || after == restored) << "the marker is gone, the backup is not back";
        const ObservedRun next = RunCli(park, restore);
        EXPECT_EQ(next.out.find("The import of guests.csv into Guest that started ") != std::string::npos, marked)
            << next.out;
        EXPECT_EQ(read(), restored) << next.out;
        EXPECT_FALSE(fs::exists(marker));
    }
}

// A Jet park on a disk that fills up: every command that meets the full disk ends with status 1 and a
// sentence, takes back what it began, and leaves the park at its last committed state, readable by
// every reader with every index in step. The disk is a small tmpfs the test mounts, which needs root.
TEST(FullDisk, EveryCommandStopsWithASentenceAndLeavesTheLastCommittedPark) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small disk to fill needs root";
    TempDir dir;
    const std::string disk = dir.file("disk"), park = disk + "/park", parkFile = park + "/Park.MDB";
    fs::create_directory(disk);
    if (::mount("tarnwick-full", disk.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "tmpfs could not be mounted here: " << std::strerror(errno);
    struct Unmount {
        std::string disk;
        ~Unmount() { ::umount2(disk.c_str(), MNT_DETACH); }
    } unmount{disk};
    ASSERT_EQ(RunProgram(CLI_PATH, "init " + Quoted(park) + " --format jet").status, 0);
    // Sources are read from the park's folder; the link there takes none of the disk's room.
    WriteCsv(dir.file("guests.csv"), "\"First\",\"Last\",\"Notes\"", 30000,
             [](long i) { return "\"Anna" + std::to_string(i) + "\",\"Lind\",\"" + std::string(60, 'n') + "\""; });
    fs::create_symlink(dir.file("guests.csv"), park + "/guests.csv");
    // The import goes on past row errors, as the operator asked, until the disk refuses a commit.
    const ObservedRun imported = RunCli(park, "import guests guests.csv --backup no --on-row-error skip --map "
                                              "FirstName=First --map LastName=Last --map Notes=Notes");
    EXPECT_EQ(imported.status, 1) << imported.out;
    EXPECT_NE(imported.err.find("No space left on device"), std::string::npos) << imported.err;
    std::smatch stored;
    ASSERT_TRUE(std::regex_search(imported.out, stored, std::regex(R"((\d+) of 30000 rows are stored in Guest\.)")))
        << imported.out;
    const auto rows = static_cast<std::uint32_t>(std::stoul(stored[1]));
    const std::set<std::string> files = FileNames(park);
    EXPECT_EQ(files, (std::set<std::string>{"Park.MDB", "Tarnwick.chm", "guests.csv"}));

    // Takes what room the disk has left.
    std::ofstream filler(disk + "/filler", std::ios::binary);
    for (const std::string block(4096, 'x'); filler.write(block.data(), block.size());)
        filler.flush();
    const std::string before = TempDir::readFile(parkFile);
    // Each command, and the start of the sentence it ends with.
    const std::pair<std::string, std::string> cases[] = {
        {"backup", "BackUpDB: "},
        {"compact", "CompressDB: "},
        {"edit guest 1 Notes=" + std::string(200, 'e'), ""},
        {"purge guests --yes --backup no --compact no", "PurgeGuests: "},
    };
    for (const auto &[arguments, sentence] : cases) {
        SCOPED_TRACE(arguments.substr(0, 10));
        const ObservedRun refused = RunCli(park, arguments);
        EXPECT_EQ(refused.status, 1) << refused.out << refused.err;
        const std::string said = refused.out + refused.err;
        EXPECT_NE(said.find(sentence), std::string::npos) << said;
        EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
        EXPECT_EQ(FileNames(park), files) << "a partial backup, copy or journal is left";
        EXPECT_TRUE(TempDir::readFile(parkFile) == before) << "the park changed";
    }
    // The park reads whole: the guests stored, the indexes in step, and the outside readers read them all.
    EXPECT_EQ(Guests(park), rows);
    EXPECT_EQ(TableProblems(parkFile, "Guest"), "");
}

// What only a run beside an import can show: `status` run again and again while an import of sites
// runs never takes it for an interrupted one.
TEST(RunningImport, StatusBesideItNeverTakesItForInterruptedAndEveryRowIsAccountedFor) {
    TempDir park;
    const std::string marker = park.file("Park.MDB.import");
    ASSERT_EQ(RunProgram(CLI_PATH, "init " + Quoted(park.path()) + InitFormatOption()).status, 0);
    // Sites of which the import refuses a few: a number that is not one, or one too large for the column.
    const long lines = ParkFormatUnderTest() == ParkFormat::Jet ? 12000 : 120000;
    WriteCsv(park.file("sites.csv"), "\"Site\"", lines, [](long i) {
        return (i % 750 == 0 ? "n" : i % 750 == 375 ? "99999999999" : "") + std::to_string(i);
    });
    std::future<ObservedRun> import =
        std::async(std::launch::async, RunObserved, std::string(CLI_PATH),
                   std::vector<std::string>{"--park", park.path(), "import", "sites", "sites.csv", "--map",
                                            "Number=Site", "--backup", "yes", "--on-row-error", "skip"},
                   600);
    // A status run removes a marker only after saying that its import was interrupted.
    int beside = 0;
    for (; import.wait_for(std::chrono::seconds(0)) != std::future_status::ready; ++beside) {
        const ObservedRun next = RunCli(park.path(), "--restore-interrupted yes status");
        EXPECT_EQ(next.out.find("interrupted"), std::string::npos) << next.out;
    }
    EXPECT_GT(beside, 0) << "no run beside the import";
    EXPECT_EQ(import.get().status, 0);
    EXPECT_EQ(SoundParkRows(park.file("Park.MDB"), "Sites"), "ok\n" + std::to_string(lines - lines / 375) + "\n");
    const std::string rejected = park.read("sites rejected.csv");
    EXPECT_EQ(std::count(rejected.begin(), rejected.end(), '\n'), lines / 375 + 1) << "the title and each refused row";
    EXPECT_FALSE(fs::exists(marker)) << "a finished import left its marker";
}

} // namespace
} // namespace tarnwick
