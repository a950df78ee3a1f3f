// The reader process: what comes through it equals what libmdb gives in this process, its table list
// what mdb-tables prints, and a reader that is silent, floods its output or dies ends in a sentence, in time.
#include "db/DbError.h"
#include "db/access/MdbDatabase.h"
#include "db/access/RemoteAccessDatabase.h"
#include "support/CaseName.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<Value>>;

Rows allRows(AccessDatabase &database, const std::string &table) {
    Rows rows;
    database.forEachRecord(table, [&](const std::vector<Value> &row) { rows.push_back(row); });
    return rows;
}

class ThroughTheReader : public ::testing::TestWithParam<const char *> {};

TEST_P(ThroughTheReader, GivesWhatLibmdbGivesHere) {
    const std::string path = std::string(TESTDATA_DIR) + "/access/" + GetParam();
    MdbDatabase here(path);
    RemoteAccessDatabase remote(AccessReaderProgram(), path, ReaderLimits{}, {});
    std::string listed;
    for (const std::string &name : remote.tableNames())
        listed += name + "\n";
    ASSERT_EQ(listed, RunProgram("mdb-tables", "-1 '" + path + "'").out);
    ASSERT_EQ(remote.tableNames(), here.tableNames());
    for (const std::string &table : here.tableNames()) {
        SCOPED_TRACE(table);
        const std::vector<AccessField> fields = remote.fields(table), expected = here.fields(table);
        ASSERT_EQ(fields.size(), expected.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            EXPECT_TRUE(fields[i].name == expected[i].name && fields[i].type == expected[i].type) << fields[i].name;
        EXPECT_EQ(remote.recordCount(table), here.recordCount(table));
        EXPECT_EQ(allRows(remote, table), allRows(here, table));
    }
    EXPECT_EQ(remote.takeWarning(), std::nullopt);
    EXPECT_THROW(remote.fields("No Such Table"), DbError);
    // A refused request leaves the reader able to answer the next.
    if (!here.tableNames().empty())
        EXPECT_EQ(remote.recordCount(here.tableNames().front()), here.recordCount(here.tableNames().front()));
}

INSTANTIATE_TEST_SUITE_P(Files, ThroughTheReader,
                         ::testing::Values("nwind.mdb", "testV1997.mdb", "DateTestDatabase.mdb",
                                           "testUnicodeCompV2003.mdb", "ASampleDatabase.accdb", "adox_jet4.mdb",
                                           "emptyJet4.mdb"),
                         [](const auto &info) { return CaseName(std::filesystem::path(info.param).stem()); });

struct Misbehaving {
    const char *name;
    // The reader's shell script; it is given the memory budget and the database's path.
    std::string script;
    std::string reason;
    friend std::ostream &operator<<(std::ostream &os, const Misbehaving &reader) { return os << reader.name; }
};

class MisbehavingReader : public ::testing::TestWithParam<Misbehaving> {};

TEST_P(MisbehavingReader, EndsInASentenceWithinTheLimit) {
    const Misbehaving &reader = GetParam();
    TempDir dir;
    dir.write("reader", "#!/bin/sh\n" + reader.script + "\n");
    chmod(dir.file("reader").c_str(), 0700);
    int waits = 0;
    const auto started = std::chrono::steady_clock::now();
    try {
        RemoteAccessDatabase(dir.file("reader"), "unused.mdb", ReaderLimits{std::chrono::milliseconds(1000), 64},
                             [&] { ++waits; });
        ADD_FAILURE() << "the reader was trusted";
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), dberr::FileNotFound);
        EXPECT_EQ(error.description(), "The database is damaged and could not be read (" + reader.reason + ").");
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 3.0) << "seconds";
    if (reader.reason.find("no answer") != std::string::npos)
        EXPECT_GE(waits, 10) << "the window was not given time while the reader was awaited";
}

INSTANTIATE_TEST_SUITE_P(
    Readers, MisbehavingReader,
    ::testing::Values(Misbehaving{"Silent", "exec sleep 30", "reading it gave no answer for 1 second"},
                      Misbehaving{"Floods", "exec yes 'warning: again'", "reading it gave no answer for 1 second"},
                      Misbehaving{"Dies", "kill -SEGV $$", "reading it stopped unexpectedly"},
                      Misbehaving{"HangsUpAndRunsOn", "exec 3>&-; exec sleep 30", "reading it stopped unexpectedly"},
                      Misbehaving{"OutOfTurn", "printf Z >&3; exec sleep 30", "its reader answered out of turn"},
                      Misbehaving{"HugeLength", "printf 'N\\377\\377\\377\\377' >&3; exec sleep 30",
                                  "its reader sent a length of 4294967295"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace tarnwick
