// The park's backups: their list, what each holds, and putting one back, refusing what is not a
// sound park database.
#include "app/Backups.h"
#include "db/jet/LockFile.h"
#include "db/sqlite/Sqlite.h"
#include "import/ImportWindowActions.h"
#include "import/InterruptedImport.h"
#include "support/KilledImport.h"
#include "support/ParkFixture.h"
#include "support/RunCli.h"

#include <filesystem>

namespace tarnwick {
namespace {

class BackupsTest : public ParkFixture {
protected:
    void importSites(const std::string &content) {
        park.write("sites.csv", content);
        ImportWindowState window;
        window.siteSlots[0].title = "Site";
        std::string sheet;
        ScriptedPicker picker;
        ReadSelectedTitles(session, {"sites.csv"}, sheet, picker);
        prompter.standing = {{"We are making", Answer::Yes}};
        ImportSelectedFiles(session, window, ImportTable::Sites, {"sites.csv"});
    }
};

// The backup before an import, put back, undoes it; the park it replaced is kept in a BeforeRestore
// backup, and one put back again within the minute does not replace another.
TEST_F(BackupsTest, RestoringTheBackupBeforeAnImportUndoesIt) {
    importSites("\"Site\"\r\n1\r\n2\r\n");
    clock.time.tm_min = 6;
    importSites("\"Site\"\r\n3\r\n4\r\n5\r\n");
    std::vector<BackupInfo> backups = ListBackups(park.path());
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[1].sites, 0);
    EXPECT_EQ(BackupLine(backups[0]), "Park_AddSites_12-04-2026 09 06.MDB\tAddSites\t12-04-2026 09 06\tSites 2\tGuest "
                                      "0\tOtherCharges 0\tsite types:")
        << "newest first";

    prompter.shown.clear();
    ASSERT_TRUE(RestoreBackup(session, backups[0].path));
    EXPECT_EQ(TableRowCount(session, "Sites"), 2);
    EXPECT_EQ(prompter.texts().back(),
              "The backup " + backups[0].path + " is now the park database: Sites 2, Guest 0, OtherCharges 0.");
    EXPECT_FALSE(park.exists("Park.MDB.restoring"));
    const std::string first = park.file("Park_BeforeRestore_12-04-2026 09 06.MDB");
    EXPECT_EQ(DescribeBackup(first).sites, 5);

    prompter.shown.clear();
    ASSERT_TRUE(RestoreBackup(session, first));
    const std::string second = park.file("Park_BeforeRestore_12-04-2026 09 06 (2).MDB");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"The Database has been BackedUp as " + second,
                                                          "The backup " + first +
                                                              " is now the park database: Sites 5, Guest 0, "
                                                              "OtherCharges 0."}));
    EXPECT_EQ(TableRowCount(session, "Sites"), 5);
    EXPECT_EQ(DescribeBackup(first).sites, 5) << "the file put back kept what it held";
    EXPECT_EQ(DescribeBackup(second).sites, 2);
    EXPECT_EQ(ListBackups(park.path()).size(), 4u);
}

TEST_F(BackupsTest, ARestoreWaitsForNoWriterAndKeepsWhatOthersCommitted) {
    importSites("\"Site\"\r\n1\r\n");
    const std::string empty = park.file("Park_AddSites_12-04-2026 09 05.MDB");
    const std::string refusal = "Nothing was restored: another program is writing to " + park.file("Park.MDB") +
                                ", so it cannot be replaced now; close that program and try again.";
    if (ParkFormatUnderTest() == ParkFormat::Jet) {
        // Another program holding the lock file beside the park, as Access does while it writes.
        session.ParkConnection->Close();
        const std::string before = park.read("Park.MDB");
        prompter.shown.clear();
        {
            jet::WriterLock other(park.file("Park.MDB"));
            EXPECT_FALSE(RestoreBackup(session, empty));
        }
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{refusal});
        EXPECT_EQ(park.read("Park.MDB"), before);
        EXPECT_FALSE(park.exists("Park_BeforeRestore_12-04-2026 09 05.MDB"));
        EXPECT_EQ(TableRowCount(session, "Sites"), 1);
        return;
    }
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(park.file("Park.MDB").c_str(), &other), SQLITE_OK);
    // Another program's committed row, its connection left open: it must be in the BeforeRestore.
    Execute(other, "INSERT INTO Sites (Number) VALUES (2)");
    ASSERT_TRUE(RestoreBackup(session, empty));
    EXPECT_EQ(DescribeBackup(park.file("Park_BeforeRestore_12-04-2026 09 05.MDB")).sites, 2);
    sqlite3_close(other);

    // A write under way elsewhere: the restore is refused and nothing changes.
    importSites("\"Site\"\r\n3\r\n");
    ASSERT_EQ(sqlite3_open(park.file("Park.MDB").c_str(), &other), SQLITE_OK);
    Execute(other, "BEGIN IMMEDIATE; INSERT INTO Sites (Number) VALUES (4)");
    prompter.shown.clear();
    EXPECT_FALSE(RestoreBackup(session, empty));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{refusal});
    EXPECT_FALSE(park.exists("Park_BeforeRestore_12-04-2026 09 05 (2).MDB"));
    Execute(other, "COMMIT");
    sqlite3_close(other);
    EXPECT_EQ(TableRowCount(session, "Sites"), 2) << "the row of the import and the other program's";
}

TEST_F(BackupsTest, WhatIsNotASoundParkIsRefusedAndNothingChanges) {
    importSites("\"Site\"\r\n1\r\n");
    session.ParkConnection->Close();
    const std::string parkBytes = park.read("Park.MDB");
    CreateRVCon(session);
    const std::string good = TempDir::readFile(park.file("Park_AddSites_12-04-2026 09 05.MDB"));
    park.write("Park_AddSites_01-01-2026 10 00.MDB", good.substr(0, good.size() / 2));
    std::string damaged = good;
    for (std::size_t i = 4096; i < damaged.size(); i += 7)
        damaged[i] = static_cast<char>(~damaged[i]);
    park.write("damaged.MDB", damaged);
    park.write("text.MDB", "Sites,Guests\r\n");
    RunProgram("sqlite3", "'" + park.file("other.MDB") + "' 'CREATE TABLE Sites (a)'");
    RunProgram("sqlite3", "'" + park.file("alike.MDB") +
                              "' 'CREATE TABLE Sites (x); CREATE TABLE Guest (x); CREATE TABLE OtherCharges (x); "
                              "CREATE TABLE ParkInfo (x)'");
    const std::pair<std::string, std::string> cases[] = {
        {"Park_AddSites_01-01-2026 10 00.MDB", "is damaged and cannot be put back."},
        {"damaged.MDB", "is damaged and cannot be put back."},
        {"text.MDB", "is not a park database."},
        {"other.MDB", "is not a park database: it has no Guest table."},
        {"alike.MDB", "is not a park database: its Sites table has no ID column."},
    };
    for (const auto &[file, problem] : cases) {
        SCOPED_TRACE(file);
        prompter.shown.clear();
        EXPECT_FALSE(RestoreBackup(session, park.file(file)));
        EXPECT_EQ(prompter.texts(),
                  std::vector<std::string>{"Nothing was restored: " + park.file(file) + " " + problem});
    }
    session.ParkConnection->Close();
    EXPECT_EQ(park.read("Park.MDB"), parkBytes);
    EXPECT_FALSE(park.exists("Park_BeforeRestore_12-04-2026 09 05.MDB"));

    // A damaged park is put aside as it is, and replaced.
    const std::string damagedPark = "SQLite format 3" + std::string(1, '\0') + std::string(5000, 'x');
    park.write("Park.MDB", damagedPark);
    ASSERT_TRUE(RestoreBackup(session, park.file("Park_AddSites_12-04-2026 09 05.MDB")));
    EXPECT_EQ(park.read("Park_BeforeRestore_12-04-2026 09 05.MDB"), damagedPark);
    EXPECT_EQ(TableRowCount(session, "Sites"), 0);
}

// The marker of an import killed mid-way names the import and its backup, wherever the program
// runs, and stays until the restore it offers is over: a kill within it leaves the question for the
// next start. The marker of an import still running is left alone.
TEST_F(BackupsTest, AnInterruptedImportIsNamedAndItsBackupOffered) {
    {
        RunningImport running(session, {"Sites", "now.csv", "", "12-04-2026 09 05", 0});
        CheckInterruptedImport(session);
        EXPECT_TRUE(prompter.shown.empty()) << "an import still running is not interrupted";
        EXPECT_TRUE(park.exists("Park.MDB.import"));
    }
    EXPECT_FALSE(park.exists("Park.MDB.import")) << "the import removes its marker at its end";

    importSites("\"Site\"\r\n1\r\n");
    const std::string relative = std::filesystem::relative(park.path()).string();
    session.DbFolder = relative;
    LeaveKilledImportMarker(
        session, {"Sites", "more.csv", relative + "/Park_AddSites_12-04-2026 09 05.MDB", "12-04-2026 09 05", 0});
    session.DbFolder = park.path();
    bool markerDuringRestore = false;
    prompter.onShow = [&](const Shown &shown) {
        if (shown.text.rfind("The Database has been BackedUp as", 0) == 0)
            markerDuringRestore = park.exists("Park.MDB.import");
    };
    prompter.shown.clear();
    prompter.answers = {Answer::Yes};
    CheckInterruptedImport(session);
    EXPECT_EQ(prompter.texts().front(),
              "The import of more.csv into Sites that started 12-04-2026 09 05 was interrupted: 1 of its rows are in "
              "the table.\r\nDo you want to put back the backup taken before it, " +
                  park.file("Park_AddSites_12-04-2026 09 05.MDB") + "?");
    EXPECT_TRUE(markerDuringRestore);
    EXPECT_EQ(TableRowCount(session, "Sites"), 0);
    EXPECT_FALSE(park.exists("Park.MDB.import"));
    prompter.shown.clear();
    CheckInterruptedImport(session);
    EXPECT_TRUE(prompter.shown.empty()) << "said once";
}

} // namespace
} // namespace tarnwick
