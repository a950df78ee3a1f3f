// The terminal program on parks and files it cannot use as asked: it ends with a sentence and the
// right status, and never writes a file it was not asked to change.
#include "db/JetParkTables.h"
#include "db/access/JetHeader.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetDatabase.h"
#include "support/CliPark.h"

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
        {"empty file", [&] { park.write("Park.MDB", ""); },
         error + "Unrecognized database format '{park}/Park.MDB'.\n"},
        {"Access 97", copy("testV1997.mdb"), error + "{park}/Park.MDB is an Access 97 (Jet 3) database." + notJet4},
        {"Access 2007", copy("ASampleDatabase.accdb"),
         error + "{park}/Park.MDB is an Access 2007 or later (ACE) database." + notJet4},
        {"encrypted Access 2000",
         [&] {
             copy("emptyJet4.mdb")();
             ChangeHeader(database, [](std::vector<std::uint8_t> &page) { WriteJetPageKey(page, 0x5EC2E7u); });
         },
         error + "{park}/Park.MDB is an encrypted (encoded) Access database, which Tarnwick cannot read or write. "
                 "Decode it in Access first (Tools, Security, Encode/Decode Database).\n"},
        {"Access 2000 without Guest",
         [&] {
             jet::CreateEmptyDatabase(database);
             jet::JetDatabase made(database, true);
             for (const jet::TableDesign &design : JetParkTables())
                 if (design.name != "Guest")
                     made.createTable(design);
         },
         error + "{park}/Park.MDB is not a park database: it has no Guest table.\n"},
    };
    park.write("s.csv", "\"N\"\r\n1\r\n");
    for (const auto &c : cases)
        for (const char *command : {"status", "check sites s.csv --map Number=N"}) {
            SCOPED_TRACE(std::string(c.name) + ": " + command);
            fs::remove(database);
            c.make();
            const std::string before = fs::exists(database) ? TempDir::readFile(database) : "(none)";
            const ObservedRun refused = apart(Words(command));
            EXPECT_EQ(refused.status, 1);
            EXPECT_EQ(Masked(refused.out, park.path()), c.says);
            EXPECT_EQ(refused.err, "");
            EXPECT_TRUE((fs::exists(database) ? TempDir::readFile(database) : "(none)") == before);
            EXPECT_FALSE(fs::exists(park.file("Park.ldb")));
        }
}

TEST_F(CliRefusals, AnUnwritableParkNamesTheCauseOnce) {
    park.write("sites.csv", "\"Site\"\r\n1\r\n2\r\n3\r\n");
    // Root may write anything, so the program runs as an ordinary user there.
    const std::string asUser = getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    auto runAsUser = [&](const std::string &arguments) {
        return RunProgram("/bin/sh",
                          "-c \"" + asUser + "'" + CLI_PATH + "' --park '" + park.path() + "' " + arguments + "\"");
    };
    const std::string import = "import sites sites.csv --map Number=Site --backup no --on-row-error skip";
    chmod(park.path().c_str(), 0777);
    chmod(park.file("sites.csv").c_str(), 0644);
    chmod(park.file("Park.MDB").c_str(), 0444);
    const CliResult readOnlyFile = runAsUser(import);
    EXPECT_EQ(readOnlyFile.status, 1);
    EXPECT_EQ(readOnlyFile.out.substr(readOnlyFile.out.find("> No\n") + 5),
              "Nothing was imported into Sites: -2147467259: " + park.file("Park.MDB") +
                  " is read-only, so nothing can be written to it.\n");

    chmod(park.file("Park.MDB").c_str(), ParkFormatUnderTest() == ParkFormat::Jet ? 0666 : 0644);
    fs::remove(park.file("Park.MDB-shm"));
    fs::remove(park.file("Park.MDB-wal"));
    chmod(park.path().c_str(), 0555); // only the folder stands in the way
    const CliResult status = runAsUser("status");
    const CliResult imported = runAsUser(import);
    chmod(park.path().c_str(), 0755);
    if (ParkFormatUnderTest() == ParkFormat::Sqlite) {
        EXPECT_EQ(status.status, 1);
        EXPECT_EQ(status.out, "CreateRVCon: The Database has an Error!\n-2147467259: the folder " + park.path() +
                                  " cannot be written, so " + park.file("Park.MDB") + " cannot be opened.\n");
        return;
    }
    // A Jet park is read without its folder; only a write needs the lock file beside it.
    EXPECT_EQ(status.status, 0) << status.out;
    EXPECT_EQ(imported.status, 1);
    EXPECT_EQ(imported.out.substr(imported.out.find("> No\n") + 5),
              "Nothing was imported into Sites: -2147467259: the folder " + park.path() +
                  " cannot be written, so nothing can be written to " + park.file("Park.MDB") + ".\n");
}

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

// As in the export window, only the first 45 tables have a box: a table without one, and one that
// does not exist, are refused on stderr after the others are written.
TEST_F(CliRefusals, OnlyTheFirst45TablesAreListedAndExported) {
    std::string statements;
    for (int i = 1; i <= 46; ++i)
        statements += "CREATE TABLE T" + std::to_string(i) + " (a); INSERT INTO T" + std::to_string(i) + " VALUES (1);";
    const std::string many = park.file("many.mdb");
    RunProgram("sqlite3", "'" + many + "' '" + statements + "'");
    EXPECT_EQ(apart({"tables", many})
                  .out.rfind("Not all Tables are being displayed because more than 45 Tables "
                             "exist.\nT1\n",
                             0),
              0u);
    const ObservedRun exported = apart({"export", many, "T46", "T1", "Nowhere"});
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err, "T46 is not one of the tables listed for " + many +
                                "; it was not exported.\nNowhere "
                                "is not one of the tables listed for " +
                                many + "; it was not exported.\n");
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

} // namespace
} // namespace tarnwick
