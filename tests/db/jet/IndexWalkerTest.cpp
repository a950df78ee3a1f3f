// The index walker on the indexes Access wrote into the shared test files, and on copies with an
// index entry spoiled.
#include "db/jet/IndexWalker.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";

std::string joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

// Every index of every Jet 4 file in the shared test data: Access's (with node pages naming their
// last child only in the tail pointer, and leaves filled with prefixes) and Jackcess's (a key of every
// kind, a row of every character of the Basic Multilingual Plane, a park of 19,500 guests). Each
// walks clean, meeting every row once in key order, and every stored key is the one the engine builds.
class EveryJet4Index : public testing::TestWithParam<const char *> {};

TEST_P(EveryJet4Index, WalksCleanAndEveryKeyIsTheOneTheEngineBuilds) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    const jet::JetDatabase database((kAccessFolder / GetParam()).string());
    std::size_t entries = 0;
    for (const std::string &table : database.tableNames()) {
        for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(table))) {
            EXPECT_EQ(joined(report.problems), "") << table << " " << report.index;
            EXPECT_EQ(report.keysCompared, report.entries) << table << " " << report.index;
            entries += report.entries;
        }
    }
    EXPECT_GT(entries, 30u);
}

INSTANTIATE_TEST_SUITE_P(Files, EveryJet4Index,
                         testing::Values("adox_jet4.mdb", "emptyJet4.mdb", "testUnicodeCompV2003.mdb",
                                         "DateTestDatabase.mdb", "compIndexTestV2000.mdb", "compIndexTestV2003.mdb",
                                         "jackcess-keys.mdb", "jackcess-textkeys.mdb", "jackcess-park.mdb"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// The primary key of testUnicodeCompV2003.mdb's table "Table" (ID 1 to 8, one leaf on page 56) with
// one of its 9-byte entries (flag, key, row pointer) changed.
struct Spoiled {
    const char *name;
    std::function<void(char *leaf)> spoil;
    const char *problems;
};

TEST(IndexWalker, ReportsEntriesOutOfStepWithTheTable) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    constexpr std::size_t kLeafPage = 56, kFirstEntry = 0x1E0, kEntrySize = 9;
    auto entry = [](char *leaf, int n) { return leaf + kFirstEntry + kEntrySize * n; };
    const std::vector<Spoiled> cases = {
        {"a key changed to sort after the next one", [&](char *leaf) { entry(leaf, 1)[4] = 5; },
         "the entry for page 55 row 1 holds another key than its row\n"
         "entry 2 (page 55 row 2) is not after the one before it\n"},
        {"a row pointer turned to another row", [&](char *leaf) { entry(leaf, 3)[8] = 0; },
         "the entry for page 55 row 0 holds another key than its row\n"
         "the row at page 55 row 0 has 2 entries\n"
         "the row at page 55 row 3 has 0 entries\n"},
        {"a row pointer past the page's rows", [&](char *leaf) { entry(leaf, 7)[8] = 40; },
         "entry 7 points to page 55 row 40, which holds no row of the table\n"
         "the row at page 55 row 7 has 0 entries\n"},
    };
    for (const Spoiled &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string copy = dir.file("spoiled.mdb");
        fs::copy_file(kAccessFolder / "testUnicodeCompV2003.mdb", copy);
        std::string bytes = TempDir::readFile(copy);
        c.spoil(&bytes[kLeafPage * 4096]);
        std::ofstream(copy, std::ios::binary | std::ios::trunc) << bytes;

        const jet::JetDatabase database(copy);
        const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, database.table("Table"));
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[0].index, "PrimaryKey");
        EXPECT_EQ(joined(reports[0].problems), c.problems);
        EXPECT_EQ(joined(reports[1].problems), ""); // the other index is untouched
    }
}

} // namespace
} // namespace tarnwick
