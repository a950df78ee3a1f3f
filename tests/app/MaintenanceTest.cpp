// Backups, compaction and purges with their questions and messages.
#include "app/Maintenance.h"
#include "db/Recordset.h"
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
    long rows(const std::string &table, const std::string &file = "Park.MDB") {
        Connection connection;
        connection.SetProperty("Data Source", park.file(file));
        connection.SetProperty("Mode", "Read");
        connection.Open();
        Recordset rs;
        rs.Open("SELECT * FROM " + table, connection, adOpenStatic, adLockReadOnly);
        return rs.RecordCount();
    }
    std::vector<std::string> backups() {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(park.path()))
            if (entry.path().filename().string().rfind("Park_", 0) == 0)
                names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(MaintenanceTest, EachReasonAsksItsQuestionAndNamesItsFile) {
    const std::string stamp = "12-04-2026 09 05";
    const std::pair<BackupReason, std::pair<std::string, std::string>> reasons[] = {
        {BackupReason::Initial,
         {"Initial", "We are making an Initial BackUp of the Halvane DataBase before you make any changes "}},
        {BackupReason::DelSites,
         {"DelSites", "We are making a BackUp of the Halvane DataBase before you Delete Sites "}},
        {BackupReason::DelGuests,
         {"DelGuests", "We are making a BackUp of the Halvane DataBase before you Delete Guests "}},
        {BackupReason::AddSites, {"AddSites", "We are making a BackUp of the Halvane DataBase before you Add Sites "}},
        {BackupReason::AddGuests,
         {"AddGuests", "We are making a BackUp of the Halvane DataBase before you Add Guests "}},
        {BackupReason::DelOtherChgs,
         {"DelOtherChgs", "We are making a BackUp of the Halvane DataBase before you Delete OtherCharges "}},
        {BackupReason::AddOtherChgs,
         {"AddOtherChgs", "We are making a BackUp of the Halvane DataBase before you Add OtherCharges "}},
    };
    for (const auto &[reason, text] : reasons) {
        SCOPED_TRACE(text.first);
        const std::string file = park.file("Park_" + text.first + "_" + stamp + ".MDB");
        prompter.shown.clear();
        prompter.answers = {Answer::No, Answer::Yes};
        EXPECT_EQ(BackUpDB(session, reason), std::nullopt);
        EXPECT_FALSE(park.exists("Park_" + text.first + "_" + stamp + ".MDB")) << "declined";
        EXPECT_EQ(BackUpDB(session, reason), file);
        EXPECT_EQ(prompter.texts(), (Texts{text.second + stamp + " ?", text.second + stamp + " ?",
                                           "The Database has been BackedUp as " + file}));
        for (const Shown &shown : prompter.shown)
            EXPECT_EQ(shown.icon, Icon::None);
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }
    EXPECT_EQ(backups().size(), 7u);
}

TEST_F(MaintenanceTest, ASecondBackupWithinTheMinuteReplacesTheFirst) {
    addRows("Sites", "Number", 2);
    prompter.answers = {Answer::Yes, Answer::Yes};
    BackUpDB(session, BackupReason::AddSites);
    addRows("Sites", "Number", 1);
    BackUpDB(session, BackupReason::AddSites);
    EXPECT_EQ(backups(), Texts{"Park_AddSites_12-04-2026 09 05.MDB"});
    EXPECT_EQ(rows("Sites", "Park_AddSites_12-04-2026 09 05.MDB"), 3) << "the second backup replaced the first";
}

TEST_F(MaintenanceTest, EachPurgeAsksBacksUpEmptiesItsTableOnlyAndOffersCompaction) {
    struct Case {
        PurgeTable table;
        std::string tableName, question, reason, backup;
    };
    const Case cases[] = {
        {PurgeTable::Sites, "Sites", "Sites", "DelSites",
         "We are making a BackUp of the Halvane DataBase before you Delete Sites "},
        {PurgeTable::Guests, "Guest", "Guests", "DelGuests",
         "We are making a BackUp of the Halvane DataBase before you Delete Guests "},
        {PurgeTable::OtherCharges, "OtherCharges", "Other Charges", "DelOtherChgs",
         "We are making a BackUp of the Halvane DataBase before you Delete OtherCharges "},
    };
    const std::string stamp = "12-04-2026 09 05";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.tableName);
        addRows("Sites", "Number", 3);
        addRows("Guest", "Name", 3);
        addRows("OtherCharges", "Name", 3);
        const long before = rows(c.tableName);
        const std::string question = "Doing this will totally Remove ALL " + c.question +
                                     " from the Park.MDB Database. Are you SURE you want to continue?";
        prompter.shown.clear();
        prompter.answers = {Answer::No};
        EXPECT_FALSE(ConfirmAndPurge(session, c.table));
        EXPECT_EQ(prompter.texts(), Texts{question});
        EXPECT_EQ(rows(c.tableName), before);

        prompter.shown.clear();
        prompter.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        EXPECT_TRUE(ConfirmAndPurge(session, c.table));
        const std::string backup = park.file("Park_" + c.reason + "_" + stamp + ".MDB");
        EXPECT_EQ(
            prompter.texts(),
            (Texts{question, c.backup + stamp + " ?", "The Database has been BackedUp as " + backup,
                   "Do you want to Compress the Halvane DataBase?", "The Halvane DataBase has been Compressed."}));
        EXPECT_EQ(rows(c.tableName), 0);
        for (const char *other : {"Sites", "Guest", "OtherCharges"}) {
            if (other != c.tableName) {
                EXPECT_GT(rows(other), 0) << other << " is left alone";
            }
        }
        EXPECT_EQ(rows(c.tableName, "Park_" + c.reason + "_" + stamp + ".MDB"), before) << "the backup holds the rows";
        EXPECT_FALSE(park.exists("Park.TMP"));
        EXPECT_TRUE(session.ParkConnection->IsOpen());
    }

    // A declined backup still purges; an empty table still offers compaction, and a declined one leaves it be.
    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::No};
    EXPECT_TRUE(ConfirmAndPurge(session, PurgeTable::OtherCharges));
    EXPECT_EQ(prompter.texts().back(), "Do you want to Compress the Halvane DataBase?");
    EXPECT_EQ(prompter.texts().size(), 3u);
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
    EXPECT_EQ(rows("Sites"), 2);

    // A purge whose compaction fails still empties the table, and says it was stopped.
    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::Yes};
    EXPECT_FALSE(ConfirmAndPurge(session, PurgeTable::Sites));
    EXPECT_EQ(prompter.texts().back(), "CompressDB: 3204Database already exists.");
    EXPECT_EQ(rows("Sites"), 0);

    // The next start names what the unfinished compaction left and removes it on Yes only.
    park.write("Park.TMP-journal", "its journal");
    const std::string left = park.file("Park.TMP") + " and its journal";
    const std::string question = "A compaction of the park that did not finish left " + left +
                                 " behind. Park.MDB is the park as it was before that compaction, and it cannot be "
                                 "compressed again while Park.TMP is there. Do you want to remove " + left + "?";
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
