// The terminal program on wrong input and damaged or unwritable files: it ends with a sentence and
// the right status, never loops, never writes a file it was not asked to change.
#include "db/JetParkTables.h"
#include "db/access/JetHeader.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetDatabase.h"
#include "support/CliPark.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

class CliRefusals : public CliPark {
protected:
    // Patches bytes of a copy of a test file into the park folder.
    std::string damagedCopy(const std::string &from, const std::string &name, std::streamoff at,
                            const std::vector<std::uint8_t> &bytes) {
        std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/" + from, park.file(name));
        std::fstream file(park.file(name), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(at);
        file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return park.file(name);
    }
};

TEST_F(CliRefusals, AGivenPasswordAnswersTheFirstBoxOnly) {
    const std::string locked = park.file("locked.mdb");
    std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/access/testV1997.mdb", locked);
    std::fstream file(locked, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<std::uint8_t> page(0x100);
    file.read(reinterpret_cast<char *>(page.data()), static_cast<std::streamsize>(page.size()));
    WriteJetPassword(page, "Sesame42");
    file.seekp(0);
    file.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
    file.close();

    const std::string box = "Password Input: This database requires a Password. Please enter the correct Password.\n";
    CliResult wrong = run("tables '" + locked + "' --password wrong");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out,
              box + "> (5 characters)\n" + box + "> Cancel\nThe correct Password MUST be provided ... Aborting\n");
    EXPECT_EQ(run("tables '" + locked + "' --password Sesame42").status, 0);
}

TEST_F(CliRefusals, OnlyTheFirst45TablesAreListedAndExported) {
    std::string statements;
    for (int i = 1; i <= 46; ++i)
        statements += "CREATE TABLE T" + std::to_string(i) + " (a); INSERT INTO T" + std::to_string(i) + " VALUES (1);";
    RunProgram("sqlite3", "'" + park.file("many.mdb") + "' '" + statements + "'");

    const std::string many = "'" + park.file("many.mdb") + "'";
    CliResult tables = run("tables " + many);
    EXPECT_EQ(tables.status, 0);
    EXPECT_EQ(tables.out.find("Not all Tables are being displayed because more than 45 Tables exist.\nT1\n"), 0u);
    EXPECT_EQ(tables.out.find("T46"), std::string::npos);
    EXPECT_NE(tables.out.find("T45\n"), std::string::npos);

    // A table without a box, and one that does not exist, are refused after the others are written.
    CliResult exported = run("export " + many + " T46 T1 Nowhere");
    EXPECT_EQ(exported.status, 1) << exported.out;
    EXPECT_NE(exported.out.find("T46 is not one of the tables listed for " + park.file("many.mdb") +
                                "; it was not exported."),
              std::string::npos);
    EXPECT_NE(exported.out.find("T1.xls Saved!"), std::string::npos);
    EXPECT_TRUE(park.exists("T1.xls"));
    EXPECT_FALSE(park.exists("T46.xls"));
    EXPECT_EQ(run("export " + many + " T2 T3").status, 0);
}

TEST(CliInit, MakesAMissingFolderAndItsParents) {
    TempDir root;
    const std::string folder = root.file("parks/north shore");
    CliResult made = RunProgram(CLI_PATH, "init '" + folder + "'");
    EXPECT_EQ(made.status, 0) << made.out;
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/Park.MDB"));
}

TEST(CliStartUp, AParkFolderWithoutAParkIsNamed) {
    TempDir empty;
    CliResult result = RunProgram(CLI_PATH, "--park '" + empty.path() + "' status");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "There is no Park.MDB Database in " + empty.path() +
                              ", the folder given with --park.\nGive the folder that holds the park's Park.MDB, or "
                              "make a new park there with: tarnwick-cli init " +
                              empty.path() + "\n");
}

TEST_F(CliRefusals, MappedTitlesMustBeTitlesOfTheFile) {
    park.write("sites.csv", "\"Site\",\"Len\"\r\n1,40\r\n");
    park.write("bare.csv", "Site,Len\r\n1,40\r\n");
    CliResult unknown = run("import sites sites.csv --map Number=Site --map Length=Length --backup yes");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "--map Length=Length: 'Length' is not a title of the file. Its titles are: Site, Len\n");

    // Refused titles: nothing is imported, nothing is backed up.
    CliResult refused = run("import sites bare.csv --map Number=Site --backup yes");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.find("We are making"), std::string::npos) << refused.out;
    EXPECT_EQ(sql("SELECT count(*) FROM Sites"), "0\n");
    for (const auto &entry : std::filesystem::directory_iterator(park.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("Park_", 0), std::string::npos);
}

TEST_F(CliRefusals, AMissingSourceStopsTheImportInASentenceOnStderr) {
    const std::pair<std::string, std::string> cases[] = {
        {"gone.csv", "The file " + park.file("gone.csv") + " could not be found.\n"},
        {"/elsewhere/gone.csv", "The file /elsewhere/gone.csv is not in the park's folder, " + park.path() +
                                    ": files are imported from there. Copy the file there and give its name.\n"},
    };
    for (const auto &[file, says] : cases) {
        SCOPED_TRACE(file);
        const ObservedRun run =
            RunObserved(CLI_PATH, {"--park", park.path(), "import", "sites", file, "--map", "Number=Site"}, 30);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, says);
        EXPECT_EQ(run.out, "");
    }
}

TEST(CliStartUp, AFileThatIsNotAParkIsReportedAndLeftAsItWas) {
    const std::pair<const char *, std::string> cases[] = {
        {"empty file", ""},
        {"text", "Sites,Guests\r\n"},
    };
    for (const auto &[what, content] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        dir.write("Park.MDB", content);
        CliResult result = RunProgram(CLI_PATH, "--park '" + dir.path() + "' status");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "CreateRVCon: The Database has an Error!\n-2147418113: Unrecognized database format '" +
                                  dir.file("Park.MDB") + "'.\n");
        EXPECT_EQ(dir.read("Park.MDB"), content);
    }
    // An SQLite database of something else keeps its bytes too, and is refused before any command
    // reaches a column it lacks.
    const std::pair<std::string, std::string> others[] = {
        {"CREATE TABLE Sites (a)", "is not a park database: it has no Guest table."},
        {"CREATE TABLE Sites (x); CREATE TABLE Guest (x); CREATE TABLE OtherCharges (x); CREATE TABLE ParkInfo (x)",
         "is not a park database: its Sites table has no ID column."},
    };
    for (const auto &[sql, problem] : others)
        for (const char *command : {"status", "check sites s.csv --map Number=N"}) {
            SCOPED_TRACE(std::string(command) + " on " + sql);
            TempDir other;
            RunProgram("sqlite3", "'" + other.file("Park.MDB") + "' '" + sql + "'");
            other.write("s.csv", "\"N\"\r\n1\r\n");
            const std::string before = other.read("Park.MDB");
            CliResult result = RunProgram(CLI_PATH, "--park '" + other.path() + "' " + command);
            EXPECT_EQ(result.status, 1);
            EXPECT_NE(result.out.find(problem), std::string::npos) << result.out;
            EXPECT_EQ(other.read("Park.MDB"), before);
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
    chmod(park.path().c_str(), 0777);
    chmod(park.file("sites.csv").c_str(), 0644);
    chmod(park.file("Park.MDB").c_str(), 0444);
    CliResult readOnlyFile = runAsUser("import sites sites.csv --map Number=Site --backup no --on-row-error skip");
    EXPECT_EQ(readOnlyFile.status, 1);
    EXPECT_EQ(readOnlyFile.out.substr(readOnlyFile.out.find("> No\n") + 5),
              "Nothing was imported into Sites: -2147467259: " + park.file("Park.MDB") +
                  " is read-only, so nothing can be written to it.\n");

    chmod(park.file("Park.MDB").c_str(), 0644);
    std::filesystem::remove(park.file("Park.MDB-shm"));
    std::filesystem::remove(park.file("Park.MDB-wal"));
    if (ParkFormatUnderTest() == ParkFormat::Jet)
        chmod(park.file("Park.MDB").c_str(), 0666); // so that only the folder stands in the way
    chmod(park.path().c_str(), 0555);
    CliResult readOnlyFolder = runAsUser("status");
    CliResult importIntoReadOnlyFolder = runAsUser("import sites sites.csv --map Number=Site --backup no");
    chmod(park.path().c_str(), 0755);
    if (ParkFormatUnderTest() == ParkFormat::Jet) {
        // A Jet park is read without its folder; only a write needs the lock file beside it.
        EXPECT_EQ(readOnlyFolder.status, 0) << readOnlyFolder.out;
        EXPECT_EQ(importIntoReadOnlyFolder.status, 1);
        EXPECT_EQ(importIntoReadOnlyFolder.out.substr(importIntoReadOnlyFolder.out.find("> No\n") + 5),
                  "Nothing was imported into Sites: -2147467259: the folder " + park.path() +
                      " cannot be written, so nothing can be written to " + park.file("Park.MDB") + ".\n");
        return;
    }
    EXPECT_EQ(readOnlyFolder.status, 1);
    EXPECT_EQ(readOnlyFolder.out, "CreateRVCon: The Database has an Error!\n-2147467259: the folder " + park.path() +
                                      " cannot be written, so " + park.file("Park.MDB") + " cannot be opened.\n");
}

TEST_F(CliRefusals, ADatabaseThatCannotBeAParkIsNamedAndLeftAsItWas) {
    const std::string access = std::string(TESTDATA_DIR) + "/access/";
    if (!std::filesystem::is_directory(access))
        GTEST_SKIP() << access << " is missing: the shared test data is not beside the source";
    const std::string database = park.file("Park.MDB");
    const std::string cannotBePark = " Tarnwick writes only to Access 2000-2003 (Jet 4) databases and to its own.\n";
    struct Case {
        const char *name;
        std::function<void()> make;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"Access 97", [&] { std::filesystem::copy_file(access + "testV1997.mdb", database); },
         database + " is an Access 97 (Jet 3) database." + cannotBePark},
        {"Access 2007", [&] { std::filesystem::copy_file(access + "ASampleDatabase.accdb", database); },
         database + " is an Access 2007 or later (ACE) database." + cannotBePark},
        {"encrypted Access 2000",
         [&] {
             std::filesystem::copy_file(access + "emptyJet4.mdb", database);
             std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
             std::vector<std::uint8_t> page(kHeaderSize);
             file.read(reinterpret_cast<char *>(page.data()), static_cast<std::streamsize>(page.size()));
             WriteJetPageKey(page, 0x5EC2E7u);
             file.seekp(0);
             file.write(reinterpret_cast<const char *>(page.data()), static_cast<std::streamsize>(page.size()));
         },
         database + " is an encrypted (encoded) Access database, which Tarnwick cannot read or write. Decode it in "
                    "Access first (Tools, Security, Encode/Decode Database).\n"},
        {"Access 2000 without a Guest table",
         [&] {
             jet::CreateEmptyDatabase(database);
             jet::JetDatabase made(database, true);
             for (const jet::TableDesign &design : JetParkTables())
                 if (design.name != "Guest")
                     made.createTable(design);
         },
         database + " is not a park database: it has no Guest table.\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(database);
        c.make();
        const std::string before = TempDir::readFile(database);
        const CliResult status = run("status");
        EXPECT_EQ(status.status, 1);
        EXPECT_EQ(status.out, "CreateRVCon: The Database has an Error!\n-2147418113: " + c.says);
        EXPECT_EQ(TempDir::readFile(database), before);
        EXPECT_FALSE(std::filesystem::exists(park.file("Park.ldb")));
    }
}

TEST_F(CliRefusals, AHugeStringCountUnderAMemoryLimitGetsASentence) {
    damagedCopy("xls/ragged.xls", "huge.xls", 0xC74, {0xFF, 0xFF, 0xFF, 0xFF});
    CliResult result = RunProgram("prlimit", "--as=1073741824 '" + std::string(CLI_PATH) + "' --park '" + park.path() +
                                                 "' titles huge.xls --sheet x");
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_EQ(result.out.find("terminate"), std::string::npos) << result.out;
}

} // namespace
} // namespace tarnwick
