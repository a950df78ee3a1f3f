// The terminal program on parks and files it cannot use as asked: it ends with a sentence and the
// right status, and never writes a file it was not asked to change.
#include "db/access/JetHeader.h"
#include "support/CliPark.h"
#include "support/DamagedAccess.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const std::string kAccess = std::string(TESTDATA_DIR) + "/access/";

// Rewrites the header of the Access database at `path` through `change`.
void ChangeHeader(const std::string &path, const std::function<void(std::vector<std::uint8_t> &)> &change) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<std::uint8_t> page(kHeaderSize);
    file.read(reinterpret_cast<char *>(page.data()), static_cast<std::streamsize>(page.size()));
    change(page);
    file.seekp(0);
    file.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
}

class CliRefusals : public CliPark {};

TEST_F(CliRefusals, AParkFolderWithoutAParkItCanOpenIsNamedAndLeftAsItWas) {
    const std::string database = park.file("Park.MDB");
    const std::string error = "CreateRVCon: The Database has an Error!\n-2147418113: ";
    const std::string notJet4 = " Tarnwick writes only to Access 2000-2003 (Jet 4) databases and to its own.\n";
    const auto copy = [&](const char *name) { return [&, name] { fs::copy_file(kAccess + name, database); }; };
    const struct {
        const char *name;
        std::function<void()> make;
        std::string says;
    } cases[] = {
        {"no park", [] {},
         "There is no Park.MDB Database in {park}, the folder given with --park.\nGive the folder that holds the "
         "park's Park.MDB, or make a new park there with: tarnwick-cli init {park}\n"},
        {"Access 97", copy("testV1997.mdb"), error + "{park}/Park.MDB is an Access 97 (Jet 3) database." + notJet4},
        {"encrypted Access 2000",
         [&] {
             copy("emptyJet4.mdb")();
             ChangeHeader(database, [](std::vector<std::uint8_t> &page) { WriteJetPageKey(page, 0x5EC2E7u); });
         },
         error + "{park}/Park.MDB is an encrypted (encoded) Access database, which Tarnwick cannot read or write. "
                 "Decode it in Access first (Tools, Security, Encode/Decode Database).\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(database);
        c.make();
        const std::string before = fs::exists(database) ? TempDir::readFile(database) : "(none)";
        const ObservedRun refused = apart({"status"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(Masked(refused.out, park.path()), c.says);
        EXPECT_EQ(refused.err, "");
        EXPECT_TRUE((fs::exists(database) ? TempDir::readFile(database) : "(none)") == before);
        EXPECT_FALSE(fs::exists(park.file("Park.ldb")));
    }
}

// A park the program may read but not write names the cause once. Root may write anything, so the
// program runs as an ordinary user there.
TEST_F(CliRefusals, AReadOnlyParkNamesTheCauseOnce) {
    park.write("sites.csv", "\"Site\"\r\n1\r\n2\r\n3\r\n");
    chmod(park.path().c_str(), 0777);
    chmod(park.file("sites.csv").c_str(), 0644);
    chmod(park.file("Park.MDB").c_str(), 0444);
    const std::string asUser = getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const CliResult imported =
        RunProgram("/bin/sh", "-c \"" + asUser + "'" + CLI_PATH + "' --park '" + park.path() +
                                  "' import sites sites.csv --map Number=Site --backup no --on-row-error skip\"");
    EXPECT_EQ(imported.status, 1);
    EXPECT_EQ(imported.out.substr(imported.out.find("> No\n") + 5),
              "Nothing was imported into Sites: -2147467259: " + park.file("Park.MDB") +
                  " is read-only, so nothing can be written to it.\n");
}

// --password answers the first password box only: a wrong one is asked again and the run cancelled.
TEST_F(CliRefusals, AGivenPasswordAnswersTheFirstBoxOnly) {
    const std::string locked = park.file("locked.mdb");
    fs::copy_file(kAccess + "testV1997.mdb", locked);
    ChangeHeader(locked, [](std::vector<std::uint8_t> &page) { WriteJetPassword(page, "Sesame42"); });
    const std::string box = "Password Input: This database requires a Password. Please enter the correct Password.\n";
    const CliResult wrong = run("tables '" + locked + "' --password wrong");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out,
              box + "> (5 characters)\n" + box + "> Cancel\nThe correct Password MUST be provided ... Aborting\n");
    EXPECT_EQ(run("tables '" + locked + "' --password Sesame42").status, 0);
}

// Only the first 45 tables have a box, as in the export window: a table without one, and one that
// does not exist, are refused on stderr after the others are written.
TEST_F(CliRefusals, OnlyTheFirst45TablesAreExported) {
    std::string statements;
    for (int i = 1; i <= 46; ++i)
        statements += "CREATE TABLE T" + std::to_string(i) + " (a); INSERT INTO T" + std::to_string(i) + " VALUES (1);";
    const std::string many = park.file("many.mdb");
    RunProgram("sqlite3", "'" + many + "' '" + statements + "'");
    const ObservedRun exported = apart({"export", many, "T46", "T1", "Nowhere"});
    EXPECT_EQ(exported.status, 1);
    const std::string unlisted = " is not one of the tables listed for " + many + "; it was not exported.\n";
    EXPECT_EQ(exported.err, "T46" + unlisted + "Nowhere" + unlisted);
    EXPECT_TRUE(park.exists("T1.xls"));
    EXPECT_FALSE(park.exists("T46.xls"));
}

// A source too large for the memory the program may take ends in a sentence, not in an abort.
TEST_F(CliRefusals, WorkBeyondTheMemoryGivenEndsInASentence) {
    park.write("wide.csv", "\"A\"\r\n" + std::string(20'000'000, 'x') + "\r\n");
    const ObservedRun run = RunObserved(
        "/usr/bin/prlimit",
        {"--as=100000000", CLI_PATH, "--park", park.path(), "check", "sites", "wide.csv", "--map", "Number=A"}, 30);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarnwick-cli stopped: there was not enough memory for this work.\n");
}

// Damaged Access files on which libmdb loops, floods its output or loses a table: each listing ends
// within 15 s under 1 GB with the designed output only, and an incomplete list is announced.

struct Damage {
    DamagedAccess recipe;
    // Whether the listing fails, or gives the list with a warning. Where libmdb's reading depends on
    // what its memory held before (the flood), either may happen.
    enum { Fails, Warns, Either } outcome;
    // A table of the undamaged file that the damaged list lacks.
    std::string lost;
};
void PrintTo(const Damage &damage, std::ostream *os) {
    *os << damage.recipe.name;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

class DamagedAccessTest : public CliPark, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedAccessTest, ListingEndsSoonSmallAndClean) {
    const Damage &damage = GetParam();
    const std::string file = WriteDamaged(park, damage.recipe);
    const ObservedRun run = apart({"tables", file});
    EXPECT_LT(run.seconds, 15.0);
    EXPECT_LT(run.peakMegabytes, 1024);
    EXPECT_EQ(run.err, "") << "libmdb's output reached the terminal";
    const std::vector<std::string> said = Lines(run.out);
    const bool failed = !said.empty() && said[0] == "ListTables: Error!";
    EXPECT_NE(failed ? Damage::Warns : Damage::Fails, damage.outcome) << run.out;
    if (failed) {
        EXPECT_EQ(run.status, 1);
        ASSERT_EQ(said.size(), 2u) << run.out;
        // The reason (memory or time) depends on how fast libmdb runs away on this machine.
        EXPECT_EQ(said[1].rfind("-2147467259: The database is damaged and could not be read (reading it ", 0), 0u)
            << said[1];
        return;
    }
    EXPECT_EQ(run.status, 0);
    ASSERT_GE(said.size(), 2u) << run.out;
    EXPECT_EQ(said[0], "Reading the tables of " + file + " gave warnings, so the list of tables may be incomplete.");
    EXPECT_EQ(said[1].rfind("The first warning was: ", 0), 0u) << said[1];
    // Every other line is a table of the undamaged file, in its order.
    std::vector<std::string> whole = Lines(apart({"tables", kAccess + damage.recipe.source}).out);
    whole.erase(std::remove(whole.begin(), whole.end(), damage.lost), whole.end());
    EXPECT_EQ(std::vector<std::string>(said.begin() + 2, said.end()), whole);
}

INSTANTIATE_TEST_SUITE_P(Recipes, DamagedAccessTest,
                         ::testing::Values(Damage{kLoopingCatalog, Damage::Fails, ""},
                                           Damage{kWarningFlood, Damage::Either, ""},
                                           Damage{kHexDump, Damage::Warns, ""},
                                           Damage{kDroppedTable, Damage::Warns, "Order Details"}),
                         [](const auto &info) {
                             const std::string name = info.param.recipe.name;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(DamagedAccessTest, AFileWhoseCatalogHoldsNoTableIsCalledDamagedAndAnEmptyDatabaseIsNot) {
    // Cut short, the catalog pages of these files are gone, yet libmdb opens them.
    for (const auto &[source, size] :
         {std::pair<const char *, std::size_t>{"nwind.mdb", 13260}, {"testUnicodeCompV2003.mdb", 71323}}) {
        SCOPED_TRACE(source);
        park.write("cut.mdb", TempDir::readFile(kAccess + source).substr(0, size));
        const ObservedRun cut = apart({"tables", park.file("cut.mdb")});
        EXPECT_EQ(cut.status, 1);
        EXPECT_EQ(cut.out, "ListTables: Error!\n-2147467259: No table was found in " + park.file("cut.mdb") +
                               ": the file may be damaged.\n");
    }
    const ObservedRun empty = apart({"tables", kAccess + "emptyJet4.mdb"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

} // namespace
} // namespace tarnwick
