// Backups, compaction and purges with their questions and messages; the list of backups, what each
// holds, and putting one back, refusing what is not a sound park database; the site types in
// ParkInfo, and the title case their names and imported text are given.
#include "app/Maintenance.h"
#include "app/Backups.h"
#include "app/SiteTypes.h"
#include "app/TitleCase.h"
#include "base/PathCheck.h"
#include "db/Recordset.h"
#include "db/jet/LockFile.h"
#include "db/sqlite/Sqlite.h"
#include "import/InterruptedImport.h"
#include "support/ParkFixture.h"
#include "support/RunCli.h"

#include <filesystem>
#include <regex>

namespace tarnwick {
namespace {

class MaintenanceTest : public ParkFixture {
protected:
    void addRows(const std::string &table, const std::string &column, int count) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int i = 1; i <= count; ++i) {
            rs.AddNew();
            rs.Fields(column) = column == "Number" ? Value::number(i) : Value("row " + std::to_string(i));
            rs.Update();
        }
    }
    // The rows of Sites, Guest and OtherCharges in the park, or in one of its backups.
    std::vector<long> rows(const std::string &backup = "") {
        if (backup.empty())
            return {TableRowCount(session, "Sites"), TableRowCount(session, "Guest"),
                    TableRowCount(session, "OtherCharges")};
        const BackupInfo info = DescribeBackup(park.file(backup), BackupCheck::Quick);
        return {info.sites, info.guests, info.charges};
    }
    // What an import of sites does to the park: the backup it takes, then `count` sites more.
    void importSites(int count) {
        prompter.expect({Answer::Yes});
        BackUpDB(session, BackupReason::AddSites);
        addRows("Sites", "Number", count);
    }
    const std::string stamp = "12-04-2026 09 05";
};

// Each reason asks its own question and names its own file (those of the purges below, and of the
// imports in the import window's tests); a declined backup writes nothing, a second one of the same
// reason within the minute replaces the first, and a copy that fails is said, its description then
// its number with nothing between.
TEST_F(MaintenanceTest, EachReasonAsksItsQuestionAndNamesItsFile) {
    const std::tuple<BackupReason, std::string, std::string> reasons[] = {
        {BackupReason::Initial, "Initial",
         "We are making an Initial BackUp of the Halvane DataBase before you make any changes "},
        {BackupReason::AddSites, "AddSites", "We are making a BackUp of the Halvane DataBase before you Add Sites "},
    };
    for (const auto &[reason, name, question] : reasons) {
        SCOPED_TRACE(name);
        const std::string file = park.file("Park_" + name + "_" + stamp + ".MDB");
        prompter.expect({Answer::No, Answer::Yes});
        EXPECT_EQ(BackUpDB(session, reason), std::nullopt);
        EXPECT_FALSE(PathExists(file)) << "declined";
        EXPECT_EQ(BackUpDB(session, reason), file);
        EXPECT_EQ(prompter.texts(), (Texts{question + stamp + " ?", question + stamp + " ?",
                                           "The Database has been BackedUp as " + file}));
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }
    addRows("Sites", "Number", 3);
    prompter.expect({Answer::Yes});
    BackUpDB(session, BackupReason::AddSites);
    EXPECT_EQ(ListBackups(park.path()).size(), 2u);
    EXPECT_EQ(rows("Park_AddSites_" + stamp + ".MDB"), (std::vector<long>{3, 0, 0}));

    std::filesystem::create_directory(park.file("Park_DelGuests_" + stamp + ".MDB"));
    prompter.expect({Answer::Yes});
    EXPECT_EQ(BackUpDB(session, BackupReason::DelGuests), std::nullopt);
    EXPECT_TRUE(std::regex_match(prompter.texts().back(), std::regex("BackUpDB: Path/File access error: [^0-9]+75")))
        << prompter.texts().back();
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

// Each purge asks, backs up under its own reason, empties its table alone and offers compaction.
TEST_F(MaintenanceTest, EachPurgeAsksBacksUpEmptiesItsTableOnlyAndOffersCompaction) {
    const std::tuple<PurgeTable, std::string, std::string, std::string, std::size_t> cases[] = {
        {PurgeTable::Sites, "Sites", "DelSites", "Sites", 0},
        {PurgeTable::Guests, "Guests", "DelGuests", "Guests", 1},
        {PurgeTable::OtherCharges, "Other Charges", "DelOtherChgs", "OtherCharges", 2},
    };
    for (const auto &[table, name, reason, backedUp, index] : cases) {
        SCOPED_TRACE(name);
        addRows("Sites", "Number", 3);
        addRows("Guest", "Name", 3);
        addRows("OtherCharges", "Name", 3);
        const std::vector<long> before = rows();
        const std::string question = "Doing this will totally Remove ALL " + name +
                                     " from the Park.MDB Database. Are you SURE you want to continue?";
        prompter.expect({Answer::No});
        EXPECT_FALSE(ConfirmAndPurge(session, table));
        EXPECT_EQ(prompter.texts(), Texts{question});
        EXPECT_EQ(rows(), before);

        prompter.expect({Answer::Yes, Answer::Yes, Answer::Yes});
        EXPECT_TRUE(ConfirmAndPurge(session, table));
        const std::string backup = "Park_" + reason + "_" + stamp + ".MDB";
        EXPECT_EQ(
            prompter.texts(),
            (Texts{question,
                   "We are making a BackUp of the Halvane DataBase before you Delete " + backedUp + " " + stamp + " ?",
                   "The Database has been BackedUp as " + park.file(backup),
                   "Do you want to Compress the Halvane DataBase?", "The Halvane DataBase has been Compressed."}));
        std::vector<long> after = before;
        after[index] = 0;
        EXPECT_EQ(rows(), after);
        EXPECT_EQ(rows(backup), before) << "the backup holds the rows";
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }
}

// The Park.TMP an unfinished compaction left stops the next one: a purge (its backup declined) still
// empties its table, says why the park was not compressed, and leaves Park.TMP and the rest be.
TEST_F(MaintenanceTest, LeftoverTempFileFailsCompactionAndKeepsPark) {
    addRows("Guest", "Name", 2);
    addRows("Sites", "Number", 2);
    park.write("Park.TMP", "left from an earlier attempt");
    prompter.expect({Answer::Yes, Answer::No, Answer::Yes});
    EXPECT_FALSE(ConfirmAndPurge(session, PurgeTable::Sites));
    EXPECT_EQ(prompter.texts().size(), 4u) << "the purge's, the backup's and the compaction's questions, then why";
    EXPECT_EQ(prompter.texts().back(), "CompressDB: 3204Database already exists.");
    EXPECT_EQ(park.read("Park.TMP"), "left from an earlier attempt");
    EXPECT_EQ(rows(), (std::vector<long>{0, 2, 0}));
    EXPECT_TRUE(ListBackups(park.path()).empty());
    EXPECT_TRUE(session.ParkConnection->IsOpen());

    // The next start names what the unfinished compaction left and removes it on Yes only.
    park.write("Park.TMP-journal", "its journal");
    const std::string left = park.file("Park.TMP") + " and its journal";
    const std::string question = "A compaction of the park that did not finish left " + left +
                                 " behind. Park.MDB is the park as it was before that compaction, and it cannot be "
                                 "compressed again while Park.TMP is there. Do you want to remove " +
                                 left + "?";
    for (const Answer reply : {Answer::No, Answer::Yes}) {
        prompter.expect({reply});
        CheckLeftCompaction(session);
        EXPECT_EQ(prompter.texts(), Texts{question});
        EXPECT_EQ(park.exists("Park.TMP"), reply == Answer::No);
        EXPECT_EQ(park.exists("Park.TMP-journal"), reply == Answer::No);
    }
    // What cannot be removed is said.
    std::filesystem::create_directories(park.file("Park.TMP/held"));
    prompter.expect({Answer::Yes});
    CheckLeftCompaction(session);
    EXPECT_EQ(prompter.texts().back(), park.file("Park.TMP") + " could not be removed: Directory not empty.");
}

// Putting a backup back.
using BackupsTest = MaintenanceTest;

// The backup before an import, put back, undoes it; the park it replaced is kept in a BeforeRestore
// backup, and one put back again within the minute does not replace another.
TEST_F(BackupsTest, RestoringTheBackupBeforeAnImportUndoesIt) {
    importSites(2);
    addRows("OtherCharges", "Name", 1); // so that no two columns of the listing hold the same count
    clock.time.tm_min = 6;
    importSites(3);
    std::vector<BackupInfo> backups = ListBackups(park.path());
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(backups[1].sites, 0);
    EXPECT_EQ(BackupLine(backups[0]), "Park_AddSites_12-04-2026 09 06.MDB\tAddSites\t12-04-2026 09 06\tSites 2\tGuest "
                                      "0\tOtherCharges 1\tsite types:")
        << "newest first";

    ASSERT_TRUE(RestoreBackup(session, backups[0].path));
    EXPECT_EQ(TableRowCount(session, "Sites"), 2);
    EXPECT_FALSE(park.exists("Park.MDB.restoring"));
    const std::string first = park.file("Park_BeforeRestore_12-04-2026 09 06.MDB");
    prompter.expect({});
    ASSERT_TRUE(RestoreBackup(session, first));
    const std::string second = park.file("Park_BeforeRestore_12-04-2026 09 06 (2).MDB");
    const std::string restored = "The backup " + first + " is now the park database: Sites 5, Guest 0, OtherCharges 1.";
    EXPECT_EQ(prompter.texts(), (Texts{"The Database has been BackedUp as " + second, restored}));
    EXPECT_EQ(DescribeBackup(first).sites, 5) << "the file put back kept what it held";
    EXPECT_EQ(DescribeBackup(second).sites, 2);
    EXPECT_EQ(ListBackups(park.path()).size(), 4u);
    // The year counts before the month: January's backup is newer than the December before it.
    std::filesystem::copy_file(first, park.file("Park_AddSites_01-05-2027 08 00.MDB"));
    EXPECT_EQ(std::filesystem::path(ListBackups(park.path()).front().path).filename(),
              "Park_AddSites_01-05-2027 08 00.MDB");
}

// A file that is not a sound park, or a park another program is writing to, is refused in one
// sentence and nothing changes; a damaged park is put aside as it is, and replaced.
TEST_F(BackupsTest, WhatCannotBePutBackNowIsRefusedAndNothingChanges) {
    importSites(1);
    session.ParkConnection->Close();
    const std::string parkBytes = park.read("Park.MDB"), empty = park.file("Park_AddSites_12-04-2026 09 05.MDB"),
                      good = TempDir::readFile(empty), damaged = "is damaged and cannot be put back.";
    CreateRVCon(session);
    park.write("Park_AddSites_01-01-2026 10 00.MDB", good.substr(0, good.size() / 2));
    std::string flipped = good;
    for (std::size_t i = 4096; i < flipped.size(); i += 7)
        flipped[i] = static_cast<char>(~flipped[i]);
    park.write("damaged.MDB", flipped);
    RunProgram("sqlite3", "'" + park.file("other.MDB") + "' 'CREATE TABLE Sites (a)'");
    RunProgram("sqlite3", "'" + park.file("alike.MDB") +
                              "' 'CREATE TABLE Sites (x); CREATE TABLE Guest (x); CREATE TABLE OtherCharges (x); "
                              "CREATE TABLE ParkInfo (x)'");
    std::vector<std::pair<std::string, std::string>> cases = {
        {"Park_AddSites_01-01-2026 10 00.MDB", damaged},
        {"damaged.MDB", damaged},
        {"other.MDB", "is not a park database: it has no Guest table."},
        {"alike.MDB", "is not a park database: its Sites table has no ID column."},
    };
    const bool jet = ParkFormatUnderTest() == ParkFormat::Jet;
    if (jet) {
        // A Jet park keeps its row counts in its table definitions, so the listing of backups reads
        // a park whose page of rows is lost as sound: only a restore's reading of every row meets it.
        constexpr std::size_t kPage = 4096;
        std::string rowsLost = parkBytes; // its one site was stored last
        std::size_t page = rowsLost.size() / kPage;
        while (--page > 0 && rowsLost[page * kPage] != 1) // the last data page
            ;
        std::fill_n(rowsLost.begin() + static_cast<std::ptrdiff_t>(page * kPage), kPage, '\0');
        park.write("Park_AddSites_01-02-2026 10 00.MDB", rowsLost);
        EXPECT_EQ(DescribeBackup(park.file("Park_AddSites_01-02-2026 10 00.MDB"), BackupCheck::Quick).sites, 1);
        cases.push_back({"Park_AddSites_01-02-2026 10 00.MDB", damaged});
    }
    const auto refused = [&](const std::string &file, const std::string &why) {
        prompter.shown.clear();
        EXPECT_FALSE(RestoreBackup(session, park.file(file)));
        EXPECT_EQ(prompter.texts(), Texts{"Nothing was restored: " + why});
    };
    for (const auto &[file, problem] : cases)
        refused(file, park.file(file) + " " + problem);
    session.ParkConnection->Close();
    EXPECT_EQ(park.read("Park.MDB"), parkBytes);
    CreateRVCon(session);
    // Another program writing: Access's lock file beside a Jet park, a write under way on an SQLite
    // one, whose row is there once it commits.
    sqlite3 *other = nullptr;
    std::optional<jet::WriterLock> writer;
    if (jet)
        writer.emplace(park.file("Park.MDB"));
    else if (sqlite3_open(park.file("Park.MDB").c_str(), &other) == SQLITE_OK)
        Execute(other, "BEGIN IMMEDIATE; INSERT INTO Sites (Number) VALUES (4)");
    refused("Park_AddSites_12-04-2026 09 05.MDB",
            "another program is writing to " + park.file("Park.MDB") +
                ", so it cannot be replaced now; close that program and try again.");
    writer.reset();
    if (other)
        Execute(other, "COMMIT");
    sqlite3_close(other);
    EXPECT_EQ(TableRowCount(session, "Sites"), jet ? 1 : 2);
    EXPECT_FALSE(park.exists("Park_BeforeRestore_12-04-2026 09 05.MDB"));

    session.ParkConnection->Close();
    const std::string damagedPark = "SQLite format 3" + std::string(1, '\0') + std::string(5000, 'x');
    park.write("Park.MDB", damagedPark);
    ASSERT_TRUE(RestoreBackup(session, empty));
    EXPECT_EQ(park.read("Park_BeforeRestore_12-04-2026 09 05.MDB"), damagedPark);
    EXPECT_EQ(TableRowCount(session, "Sites"), 0);
    if (!jet) {
        // Another program's committed row, its connection left open, is in the BeforeRestore.
        ASSERT_EQ(sqlite3_open(park.file("Park.MDB").c_str(), &other), SQLITE_OK);
        Execute(other, "INSERT INTO Sites (Number) VALUES (2)");
        ASSERT_TRUE(RestoreBackup(session, empty));
        EXPECT_EQ(DescribeBackup(park.file("Park_BeforeRestore_12-04-2026 09 05 (2).MDB")).sites, 1);
        sqlite3_close(other);
    }
}

// The site types kept in ParkInfo.
class SiteTypesTest : public ParkFixture {};

// Blank boxes are stored as "None" and loading passes over them, leaving those boxes as they were; a
// name too long for its column is not stored and the rest are.
TEST_F(SiteTypesTest, SaveStoresNoneForBlanksAndLoadKeepsThoseBoxes) {
    // "Glamp Tents" has 11 characters: one more than the column holds.
    SaveSiteTypes(session, {"", "Glamp Tents", "Cabin", "   ", " Boat Slip", "", "", "", "", "", "Yurt"});
    Recordset rs;
    rs.Open("SELECT * FROM ParkInfo", *session.ParkConnection, adOpenStatic, adLockReadOnly);
    std::string stored;
    for (int i = 1; i <= 10; ++i)
        stored += rs.Fields("SiteType" + std::to_string(i)).GetValue().toString() + "|";
    EXPECT_EQ(stored, "None|Cabin|None| Boat Slip|None|None|None|None|None|Yurt|");
    EXPECT_EQ(session.SiteTypeCount, 4);
    EXPECT_EQ(session.SiteTypeNames[4], " Boat Slip");
    EXPECT_EQ(session.SiteTypeNames[3], "");

    SiteTypeBoxes loaded{"", "typed"};
    LoadSiteTypes(session, loaded);
    EXPECT_EQ(loaded, (SiteTypeBoxes{"", "typed", "Cabin", "", " Boat Slip", "", "", "", "", "", "Yurt"}));
}

// Site type names, like imported text, are title-cased.
TEST(TitleCaseTest, RaisesAfterFullStopBlankAndCommaAndNeverLowers) {
    const std::pair<std::string, std::string> cases[] = {
        {"smith, john a.b", "Smith, John A.B"},
        {"o'brien-jones", "O'brien-jones"},
        {"MACDONALD  road", "MACDONALD  Road"},
        {"  main street", "main Street"},
        {"", ""},
        {"a", "A"},
        {"abc ", "Abc"},
        {"\tfirst", "\tfirst"},
        // The same rules where the text is not plain ASCII: each separator, runs of blanks, the
        // leading blanks, the ends, the tab, and characters outside the first plane.
        {"é", "É"},
        {"ñandú.éclair,über ölçer", "Ñandú.Éclair,Über Ölçer"},
        {"  élan vital", "élan Vital"},
        {"\xF0\x90\x90\xA8 \xF0\x90\x90\xA8.\xF0\x90\x90\xA8", "\xF0\x90\x90\x80 \xF0\x90\x90\x80.\xF0\x90\x90\x80"},
        {"日本 é", "日本 É"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(TitleCased(in), out) << "input '" << in << "'";
}

} // namespace
} // namespace tarnwick
