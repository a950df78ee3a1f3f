// Backups, compaction and purges with their questions and messages.
#include "db/Maintenance.h"
#include "db/Recordset.h"
#include "support/ParkFixture.h"

#include <filesystem>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

class MaintenanceTest : public ParkFixture {
protected:
    void addSites(int count) {
        Recordset rs;
        rs.Open("SELECT * FROM Sites ", *session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int i = 1; i <= count; ++i) {
            rs.AddNew();
            rs.Fields("Number") = Value::number(i);
            rs.Update();
        }
    }
    long sites() {
        Recordset rs;
        rs.Open("SELECT * FROM Sites ", *session.ParkConnection, adOpenStatic, adLockReadOnly);
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

TEST_F(MaintenanceTest, BackupAskedWithStampAndSameMinuteReplaced) {
    addSites(2);
    prompter.answers = {Answer::Yes, Answer::Yes, Answer::No};
    BackUpDB(session, BackupReason::AddSites);
    addSites(1);
    BackUpDB(session, BackupReason::AddSites);
    BackUpDB(session, BackupReason::Initial);
    const std::string file = park.file("Park_AddSites_12-04-2026 09 05.MDB");
    EXPECT_EQ(prompter.texts(),
              (Texts{"We are making a BackUp of the Halvane DataBase before you Add Sites 12-04-2026 09 05 ?",
                     "The Database has been BackedUp as " + file,
                     "We are making a BackUp of the Halvane DataBase before you Add Sites 12-04-2026 09 05 ?",
                     "The Database has been BackedUp as " + file,
                     "We are making an Initial BackUp of the Halvane DataBase before you make any changes "
                     "12-04-2026 09 05 ?"}));
    EXPECT_EQ(backups(), Texts{"Park_AddSites_12-04-2026 09 05.MDB"});
    EXPECT_TRUE(session.ParkConnection->IsOpen());

    Connection copy;
    copy.SetProperty("Data Source", file);
    copy.Open();
    Recordset rs;
    rs.Open("SELECT * FROM Sites", copy, adOpenStatic, adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), 3) << "the second backup replaced the first";
}

TEST_F(MaintenanceTest, PurgeAsksBacksUpDeletesAndOffersCompaction) {
    addSites(3);
    prompter.answers = {Answer::No};
    EXPECT_FALSE(ConfirmAndPurge(session, PurgeTable::Sites));
    EXPECT_EQ(sites(), 3);
    EXPECT_TRUE(backups().empty());

    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::Yes};
    EXPECT_TRUE(ConfirmAndPurge(session, PurgeTable::Sites));
    EXPECT_EQ(sites(), 0) << "a declined backup still purges";
    EXPECT_EQ(prompter.texts(),
              (Texts{"Doing this will totally Remove ALL Sites from the Park.MDB Database. Are you SURE you want to "
                     "continue?",
                     "We are making a BackUp of the Halvane DataBase before you Delete Sites 12-04-2026 09 05 ?",
                     "Do you want to Compress the Halvane DataBase?", "The Halvane DataBase has been Compressed."}));
    EXPECT_FALSE(park.exists("Park.TMP"));

    prompter.shown.clear();
    prompter.answers = {Answer::Yes, Answer::No, Answer::No};
    ConfirmAndPurge(session, PurgeTable::Guests); // an empty table still offers compaction
    EXPECT_EQ(prompter.texts().back(), "Do you want to Compress the Halvane DataBase?");
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

TEST_F(MaintenanceTest, LeftoverTempFileFailsCompactionAndKeepsPark) {
    addSites(2);
    park.write("Park.TMP", "left from an earlier attempt");
    prompter.answers = {Answer::Yes};
    CompressDB(session);
    EXPECT_EQ(prompter.texts(),
              (Texts{"Do you want to Compress the Halvane DataBase?", "CompressDB: 3204Database already exists."}));
    EXPECT_EQ(park.read("Park.TMP"), "left from an earlier attempt");
    EXPECT_EQ(sites(), 2);
}

TEST_F(MaintenanceTest, FailedCopyIsReportedAndConnectionReopened) {
    std::filesystem::create_directory(park.file("Park_DelGuests_12-04-2026 09 05.MDB"));
    prompter.answers = {Answer::Yes};
    BackUpDB(session, BackupReason::DelGuests);
    EXPECT_EQ(prompter.texts().back().rfind("BackUpDB: ", 0), 0u) << prompter.texts().back();
    EXPECT_TRUE(session.ParkConnection->IsOpen());
}

} // namespace
} // namespace tarnwick
