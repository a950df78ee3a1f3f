// The terminal program on a copy of a park another writer made and filled: Jackcess's park of 19,500
// guests with nine more indexes and a table of reservations pointing to guests. The import, the
// editors, the purge and the compaction each leave every index in step and every row readable.
#include "db/jet/JetDatabase.h"
#include "support/IndexProblems.h"
#include "support/JetReaders.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";
const char *const kRelatedRecords =
    "The record cannot be deleted or changed because table 'Reservations' includes related records.\n";

class JackcessParkCli : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kAccessFolder))
            GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
        fs::copy_file(kAccessFolder / "jackcess-park.mdb", park());
        fs::permissions(park(), fs::perms::owner_write, fs::perm_options::add);
    }
    std::string park() { return dir.file("Park.MDB"); }
    ObservedRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--park", dir.path()});
        return RunObserved(CLI_PATH, arguments, 120);
    }
    std::string walkProblems() { return IndexProblems(park(), {"Guest", "Sites", "OtherCharges", "Reservations"}); }
    std::uint32_t guests() { return jet::JetDatabase(park()).table("Guest").rowCount; }
    TempDir dir;
};

TEST_F(JackcessParkCli, ImportEditDeletePurgeAndCompactKeepEveryGuestIndexInStep) {
    {
        std::ofstream csv(dir.file("guests.csv"));
        csv << "\"First\",\"Last\"\n";
        const char *lasts[] = {"Łukasiewicz", "Nguyễn", "Şahin", "Zzyzx", "Aalto", "Čapek", "O'Neil"};
        for (int i = 0; i < 700; ++i)
            csv << "\"" << (i % 5 ? "Anna" + std::to_string(i) : "") << "\",\"" << lasts[i % 7] << "\"\n";
    }
    const ObservedRun imported = run({"import", "guests", "guests.csv", "--backup", "no", "--on-row-error", "stop",
                                      "--map", "FirstName=First", "--map", "LastName=Last"});
    EXPECT_NE(imported.out.find("700 of 700 Guests Successfully Imported"), std::string::npos) << imported.out;
    EXPECT_EQ(guests(), 20200u);
    EXPECT_EQ(walkProblems(), "");

    EXPECT_EQ(run({"edit", "guest", "20100", "Name=Żak, Łucja"}).status, 0);
    const ObservedRun freeGuest = run({"delete", "guest", "1"});
    EXPECT_EQ(freeGuest.status, 0) << freeGuest.err;
    // Guest 18887 has a reservation: the delete is refused in Jet's sentence.
    const ObservedRun booked = run({"delete", "guest", "18887"});
    EXPECT_EQ(booked.status, 1);
    EXPECT_EQ(booked.err, kRelatedRecords);
    EXPECT_EQ(guests(), 20199u);
    EXPECT_EQ(walkProblems(), "");
    EXPECT_EQ(CompareWithOutsideReaders(park(), "Guest"), "");

    // The purge stops at the first guest a reservation holds (guest 2); those before it stay deleted.
    const ObservedRun purged = run({"purge", "guests", "--yes", "--backup", "no"});
    EXPECT_EQ(purged.status, 1);
    EXPECT_NE((purged.out + purged.err).find(kRelatedRecords), std::string::npos) << purged.out << purged.err;
    EXPECT_EQ(walkProblems(), "");
    const ObservedRun compacted = run({"compact"});
    EXPECT_EQ(compacted.status, 0) << compacted.out << compacted.err;
    EXPECT_EQ(walkProblems(), "");
    EXPECT_EQ(CompareWithOutsideReaders(park(), "Guest"), "");
}

// A park whose guest pages are damaged: the listing says so on stderr and fails, as the status does,
// instead of showing an empty park.
TEST_F(JackcessParkCli, ADamagedParkIsNamedByTheListingAndTheStatus) {
    {
        std::fstream file(park(), std::ios::in | std::ios::out | std::ios::binary);
        const std::string scribble(3000, '\xFF');
        for (std::streamoff page = 200; page < 2800; page += 7) {
            file.seekp(page * 4096 + 10);
            file.write(scribble.data(), static_cast<std::streamsize>(scribble.size()));
        }
    }
    for (const std::vector<std::string> &command : {std::vector<std::string>{"status"}, {"list", "guests"}}) {
        SCOPED_TRACE(command.front());
        const ObservedRun damaged = run(command);
        EXPECT_EQ(damaged.status, 1);
        EXPECT_NE(damaged.err.find("-2147418113: The database file is damaged: "), std::string::npos) << damaged.err;
    }
}

} // namespace
} // namespace tarnwick
