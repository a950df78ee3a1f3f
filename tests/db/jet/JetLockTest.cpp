// The lock file beside a database open for writing: written, honoured, and taken over when stale.
#include "db/DbError.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/JetEngine.h"
#include "db/jet/Journal.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class JetLock : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ACCESS_FILES();
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
    }
    // Opening `path` fails with Jet's sentence for a file in use.
    void expectInUse(bool writable) {
        EXPECT_EQ(RefusalOf([&] { jet::JetDatabase(path, writable); }), inUse);
    }

    TempDir dir;
    const std::string path = dir.file("Park.MDB");
    const std::string lockFile = dir.file("Park.ldb");
    const std::string inUse = "Could not use '" + path + "'; file already in use.";
};

// A lock file left by another computer that is no longer there is taken over.
TEST_F(JetLock, AWriterKeepsItsRecordInTheLockFileAndASecondWriterIsRefused) {
    std::ofstream(lockFile, std::ios::binary)
        << std::string("OTHER-PC").append(24, '\0') << "Admin" << std::string(27, '\0');
    {
        const jet::JetDatabase writer(path, true);
        const std::string record = TempDir::readFile(lockFile);
        ASSERT_EQ(record.size(), 64u);
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        EXPECT_EQ(std::string(record.c_str()), std::string(host).substr(0, 31));
        EXPECT_EQ(std::string(record.c_str() + 32), "Admin");
        expectInUse(true);
        EXPECT_EQ(jet::JetDatabase(path).table("DateTest").rowCount, 6u); // readers are welcome
    }
    EXPECT_FALSE(fs::exists(lockFile));
    EXPECT_NO_THROW(jet::JetDatabase(path, true));
}

TEST_F(JetLock, AWriterInAnotherProcessKeepsOthersOutUntilItIsGone) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        const jet::JetDatabase writer(path, true);
        jet::WriteJournal(writer.file(), {}); // a commit under way
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char signal;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    expectInUse(true);
    expectInUse(false); // a reader would meet the commit half done
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    // Its lock went with it; the lock file and the journal it left are dealt with at the next open.
    EXPECT_TRUE(fs::exists(lockFile));
    EXPECT_EQ(jet::JetDatabase(path, true).table("DateTest").rowCount, 6u);
    EXPECT_FALSE(fs::exists(jet::JournalPath(path)));
}

// A look at the file taken before another program added pages to it meets a usage map marking pages
// past the end it knew: while that program still writes, the read is refused as a file in use; once
// it has let go, the read is made on the file as it is now.
TEST_F(JetLock, ALookTakenBeforeAnotherProgramsChangeIsRefusedOrMadeAgain) {
    const std::vector<jet::Row> added(1500, {jet::JetValue::whole(7), jet::JetValue::date(40000),
                                             jet::JetValue::date(40000), jet::JetValue::date(40000),
                                             jet::JetValue::utf8("memo"), jet::JetValue::utf8("text")});
    for (const bool stillWriting : {true, false}) {
        SCOPED_TRACE(stillWriting ? "still writing" : "done");
        JetEngine look(path, EngineAccess::Read);
        auto writer = std::make_unique<jet::JetDatabase>(path, true);
        writer->append("DateTest", added);
        if (!stillWriting)
            writer.reset();
        std::size_t read = 0;
        EXPECT_EQ(RefusalOf([&] { read = look.openTable("DateTest")->keys(std::nullopt).size(); }),
                  stillWriting ? inUse : "");
        EXPECT_EQ(read, stillWriting ? 0 : 6 + added.size() * 2);
    }
}

} // namespace
} // namespace tarnwick
