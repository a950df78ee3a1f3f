// The terminal program on a copy of a park another writer made and filled: Jackcess's park of 19,500
// guests with nine more indexes and a table of reservations pointing to guests. The deletes the
// reservations forbid are refused in Jet's sentence on stderr with a failing status, and a park whose
// pages are damaged is named as such instead of shown empty. (The engine's upkeep of that park's
// indexes through deletes and compaction is checked in JetWriteTest.)
#include "db/jet/JetDatabase.h"
#include "support/CliPark.h"
#include "support/JetReaders.h"

#include <filesystem>

namespace tarnwick {
namespace {

class JackcessParkCli : public CliPark {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ACCESS_FILES();
        std::filesystem::remove(park.file("Park.MDB"));
        CopyOfAccessFile("jackcess-park.mdb", park.file("Park.MDB"));
    }
};

TEST_F(JackcessParkCli, DeletesItsReservationsForbidAreRefusedInJetsSentence) {
    const std::string related =
        "The record cannot be deleted or changed because table 'Reservations' includes related records.\n";
    EXPECT_EQ(apart({"delete", "guest", "1"}).status, 0);
    // Guest 18887 has a reservation.
    const ObservedRun booked = apart({"delete", "guest", "18887"});
    EXPECT_EQ(booked.status, 1);
    EXPECT_EQ(booked.err, related);
    EXPECT_EQ(jet::JetDatabase(park.file("Park.MDB")).table("Guest").rowCount, 19499u);

    // The purge stops at the first guest a reservation holds (guest 2), with the same sentence.
    const ObservedRun purged = apart({"purge", "guests", "--yes", "--backup", "no"}, 120);
    EXPECT_EQ(purged.status, 1);
    EXPECT_NE((purged.out + purged.err).find(related), std::string::npos) << purged.out << purged.err;
    EXPECT_EQ(jet::JetDatabase(park.file("Park.MDB")).table("Guest").rowCount, 19499u);
}

// A park whose guest pages are damaged: the listing says so on stderr and fails, as the status does,
// instead of showing an empty park.
TEST_F(JackcessParkCli, ADamagedParkIsNamedByTheListingAndTheStatus) {
    std::string bytes = park.read("Park.MDB");
    for (std::size_t page = 200; page < 2800; page += 7)
        bytes.replace(page * 4096 + 10, 3000, 3000, '\xFF');
    park.write("Park.MDB", bytes);
    for (const char *command : {"status", "list guests"}) {
        SCOPED_TRACE(command);
        const ObservedRun damaged = apart(Words(command));
        EXPECT_EQ(damaged.status, 1);
        EXPECT_NE(damaged.err.find("-2147418113: The database file is damaged: "), std::string::npos) << damaged.err;
    }
}

} // namespace
} // namespace tarnwick
