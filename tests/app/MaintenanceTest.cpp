// Backups, compaction and purges with their questions and messages.
#include "app/Maintenance.h"
#include "app/Backups.h"
#include "base/PathCheck.h"
#include "db/Recordset.h"
#include "import/InterruptedImport.h"
#include "support/ParkFixture.h"

#include <filesystem>
#include <regex>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

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
    const std::string stamp = "12-04-2026 09 05";
};

TEST_F(MaintenanceTest, EachReasonAsksItsQuestionAndNamesItsFile) {
    const std::string before = "We are making a BackUp of the Halvane DataBase before you ";
    const std::pair<BackupReason, std::pair<std::string, std::string>> reasons[] = {
        {BackupReason::Initial,
         {"Initial", "We are making an Initial BackUp of the Halvane DataBase before you make any changes "}},
        {BackupReason::DelSites, {"DelSites", before + "Delete Sites "}},
        {BackupReason::DelGuests, {"DelGuests", before + "Delete Guests "}},
        {BackupReason::AddSites, {"AddSites", before + "Add Sites "}},
        {BackupReason::AddGuests, {"AddGuests", before + "Add Guests "}},
        {BackupReason::DelOtherChgs, {"DelOtherChgs", before + "Delete OtherCharges "}},
        {BackupReason::AddOtherChgs, {"AddOtherChgs", before + "Add OtherCharges "}},
    };
    for (const auto &[reason, text] : reasons) {
        SCOPED_TRACE(text.first);
        const std::string file = park.file("Park_" + text.first + "_" + stamp + ".MDB");
        prompter.shown.clear();
        prompter.answers = {Answer::No, Answer::Yes};
        EXPECT_EQ(BackUpDB(session, reason), std::nullopt);
        EXPECT_FALSE(PathExists(file)) << "declined";
        EXPECT_EQ(BackUpDB(session, reason), file);
        EXPECT_EQ(prompter.texts(), (Texts{text.second + stamp + " ?", text.second + stamp + " ?",
                                           "The Database has been BackedUp as " + file}));
        for (const Shown &shown : prompter.shown)
            EXPECT_EQ(shown.icon, Icon::None);
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }
    EXPECT_EQ(ListBackups(park.path()).size(), 7u);

    // A second backup of the same reason within the minute replaces the first.
    addRows("Sites", "Number", 3);
    prompter.answers = {Answer::Yes};
    BackUpDB(session, BackupReason::AddSites);
    EXPECT_EQ(ListBackups(park.path()).size(), 7u);
    EXPECT_EQ(rows("Park_AddSites_" + stamp + ".MDB"), (std::vector<long>{3, 0, 0}));
}

// Each purge asks, backs up under its own reason, empties its table alone and offers compaction.
TEST_F(MaintenanceTest, EachPurgeAsksBacksUpEmptiesItsTableOnlyAndOffersCompaction) {
    const std::tuple<PurgeTable, std::string, std::string, std::size_t> cases[] = {
        {PurgeTable::Sites, "Sites", "DelSites", 0},
        {PurgeTable::Guests, "Guests", "DelGuests", 1},
        {PurgeTable::OtherCharges, "Other Charges", "DelOtherChgs", 2},
    };
    for (const auto &[table, name, reason, index] : cases) {
        SCOPED_TRACE(name);
        addRows("Sites", "Number", 3);
        addRows("Guest", "Name", 3);
        addRows("OtherCharges", "Name", 3);
        const std::vector<long> before = rows();
        const std::string question = "Doing this will totally Remove ALL " + name +
                                     " from the Park.MDB Database. Are you SURE you want to continue?";
        prompter.shown.clear();
        prompter.answers = {Answer::No};
        EXPECT_FALSE(ConfirmAndPurge(session, table));
        EXPECT_EQ(prompter.texts(), Texts{question});
        EXPECT_EQ(rows(), before);

        prompter.shown.clear();
        prompter.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        EXPECT_TRUE(ConfirmAndPurge(session, table));
        const std::string backup = "Park_" + reason + "_" + stamp + ".MDB";
        const Texts texts = prompter.texts();
        EXPECT_EQ(texts.size(), 5u);
        EXPECT_EQ(texts.at(0), question);
        EXPECT_EQ(texts.at(2), "The Database has been BackedUp as " + park.file(backup));
        EXPECT_EQ(Texts(texts.begin() + 3, texts.end()), (Texts{"Do you want to Compress the Halvane DataBase?",
                                                                "The Halvane DataBase has been Compressed."}));
        std::vector<long> after = before;
        after[index] = 0;
        EXPECT_EQ(rows(), after);
        EXPECT_EQ(rows(backup), before) << "the backup holds the rows";
        EXPECT_FALSE(park.exists("Park.TMP"));
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }

    // A declined backup still purges; an empty table still offers compaction, and a declined one leaves it be.
    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::No};
    EXPECT_TRUE(ConfirmAndPurge(session, PurgeTable::OtherCharges));
    EXPECT_EQ(prompter.texts().size(), 3u);
    EXPECT_EQ(prompter.texts().back(), "Do you want to Compress the Halvane DataBase?");
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

TEST_F(MaintenanceTest, LeftoverTempFileFailsCompactionAndKeepsPark) {
    addRows("Sites", "Number", 2);
    park.write("Park.TMP", "left from an earlier attempt");
    prompter.answers = {Answer::Yes};
    EXPECT_FALSE(CompressDB(session));
    EXPECT_EQ(prompter.texts(),
              (Texts{"Do you want to Compress the Halvane DataBase?", "CompressDB: 3204Database already exists."}));
    EXPECT_EQ(park.read("Park.TMP"), "left from an earlier attempt");
    EXPECT_EQ(rows()[0], 2);

    // A purge whose compaction fails still empties the table, and says it was stopped.
    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::Yes};
    EXPECT_FALSE(ConfirmAndPurge(session, PurgeTable::Sites));
    EXPECT_EQ(prompter.texts().back(), "CompressDB: 3204Database already exists.");
    EXPECT_EQ(rows()[0], 0);

    // The next start names what the unfinished compaction left and removes it on Yes only.
    park.write("Park.TMP-journal", "its journal");
    const std::string left = park.file("Park.TMP") + " and its journal";
    const std::string question = "A compaction of the park that did not finish left " + left +
                                 " behind. Park.MDB is the park as it was before that compaction, and it cannot be "
                                 "compressed again while Park.TMP is there. Do you want to remove " +
                                 left + "?";
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        prompter.shown.clear();
        prompter.answers = {answer};
        CheckLeftCompaction(session);
        EXPECT_EQ(prompter.texts(), Texts{question});
        EXPECT_EQ(park.exists("Park.TMP"), answer == Answer::No);
        EXPECT_EQ(park.exists("Park.TMP-journal"), answer == Answer::No);
    }
    // What cannot be removed is said.
    std::filesystem::create_directories(park.file("Park.TMP/held"));
    prompter.shown.clear();
    prompter.answers = {Answer::Yes};
    CheckLeftCompaction(session);
    EXPECT_EQ(prompter.texts().back(), park.file("Park.TMP") + " could not be removed: Directory not empty.");
    std::filesystem::remove_all(park.file("Park.TMP"));
    prompter.shown.clear();
    prompter.answers = {Answer::Yes};
    EXPECT_TRUE(CompressDB(session));
    EXPECT_EQ(prompter.texts().back(), "The Halvane DataBase has been Compressed.");
}

TEST_F(MaintenanceTest, FailedCopyIsReportedAndConnectionReopened) {
    std::filesystem::create_directory(park.file("Park_DelGuests_12-04-2026 09 05.MDB"));
    prompter.answers = {Answer::Yes};
    BackUpDB(session, BackupReason::DelGuests);
    // The description, then the number, with nothing between.
    EXPECT_TRUE(std::regex_match(prompter.texts().back(), std::regex("BackUpDB: Path/File access error: [^0-9]+75")))
        << prompter.texts().back();
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

} // namespace
} // namespace tarnwick
