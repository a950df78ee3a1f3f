// The Jet engine's reading and its index walk, against mdbtools and mdb-reader on the Access files
// of the shared test data, and on copies of them with bytes spoiled.
#include "db/DbError.h"
#include "db/access/JetHeader.h"
#include "support/CaseName.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> accessFiles() {
    std::vector<std::string> files;
    if (fs::is_directory(kAccessFolder))
        for (const auto &entry : fs::directory_iterator(kAccessFolder))
            files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Every Jet 4 file lists the tables mdbtools lists, reads as mdbtools and mdb-reader read it, keeps
// the row count of each table, and has indexes that walk clean: Access's (node pages naming their
// last child only in the tail pointer, leaves filled with prefixes) and Jackcess's (a key of every
// kind, a row of every character of the Basic Multilingual Plane, a park of 19,500 guests). Jet 3
// and ACE files are another engine's; this one refuses them in a sentence.
class EveryAccessFile : public testing::TestWithParam<std::string> {};

TEST_P(EveryAccessFile, ReadsAsTheOutsideReadersReadIt) {
    const fs::path file = kAccessFolder / GetParam();
    if (ReadJetHeader(file).version != JetVersion::Jet4) {
        EXPECT_EQ(RefusalOf([&] { jet::JetDatabase{file}; }), "Unrecognized database format '" + file.string() + "'.");
        return;
    }
    const jet::JetDatabase database(file);
    std::vector<std::string> ours = database.tableNames(), theirs = MdbTables(file);
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    EXPECT_EQ(ours, theirs);
    for (const std::string &table : ours) {
        // The newer samples' own tables are compared with the readers where they are written into, as
        // mdb-reader 3.2 refuses their MSysAccessObjects.
        if (GetParam().rfind("jackcess-", 0) == 0 || GetParam().rfind("compIndex", 0) == 0)
            EXPECT_EQ(IndexProblems(file, {table}), "");
        else
            EXPECT_EQ(TableProblems(file, table), "");
        EXPECT_EQ(JetRows(database, table).size(), database.table(table).rowCount) << table;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, EveryAccessFile, testing::ValuesIn(accessFiles()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             return CaseName(fs::path(info.param).stem());
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EveryAccessFile);

TEST(JetRead, IndexFlagsAreReadAsAccessWroteThem) {
    SKIP_WITHOUT_ACCESS_FILES();
    // The system tables' indexes: unique (0x01), ignoring nulls (0x02), required (0x08), and 0x80 on
    // every index Access 2000 and later writes. The bytes before the flags differ from file to file.
    const std::vector<std::pair<std::string, std::vector<int>>> expected = {{"MSysObjects", {0x81, 0x81}},
                                                                            {"MSysACEs", {0x88}},
                                                                            {"MSysRelationships", {0x82, 0x82, 0x82}},
                                                                            {"MSysQueries", {0x81}}};
    for (const char *file : {"emptyJet4.mdb", "adox_jet4.mdb", "testUnicodeCompV2003.mdb"})
        for (const auto &[table, flags] : expected) {
            std::vector<int> read;
            for (const jet::IndexTree &tree : jet::JetDatabase((kAccessFolder / file).string()).table(table).trees)
                read.push_back(tree.flags);
            EXPECT_EQ(read, flags) << file << " " << table;
        }
}

void put16(std::string &bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// Where the first data page of emptyJet4.mdb's system catalog starts.
std::size_t catalogRows(const std::string &bytes) {
    for (std::size_t at = 3 * 4096; at < bytes.size(); at += 4096)
        if (bytes[at] == 0x01 && bytes[at + 4] == 2 && bytes[at + 5] == 0 && bytes[at + 6] == 0)
            return at;
    throw std::runtime_error("emptyJet4.mdb has no catalog rows");
}

// One of the 9-byte entries (flag, key, row pointer) of the primary key of testUnicodeCompV2003.mdb's
// table "Table" (ID 1 to 8, one leaf on page 56).
char *keyEntry(std::string &bytes, int n) {
    return &bytes[56 * 4096 + 0x1E0 + 9 * n];
}

// A copy of an Access file with some of its bytes changed, and what reading every row and walking
// every index then gives: the start of the sentence a damaged file is refused in, or (whole, a line
// each) what the walk finds out of step in a file read clean.
struct Spoiled {
    const char *name, *file;
    std::function<void(std::string &bytes)> spoil;
    const char *read;
};

TEST(JetRead, ASpoiledFileGivesASentenceOrTheIndexWalkNamesWhatIsOutOfStep) {
    SKIP_WITHOUT_ACCESS_FILES();
    const char *empty = "emptyJet4.mdb", *keyed = "testUnicodeCompV2003.mdb";
    const std::vector<Spoiled> cases = {
        {"cut within its first pages", empty, [](std::string &b) { b.resize(2 * 4096); },
         "Unrecognized database format"},
        {"catalog definition continued on itself", empty, [](std::string &b) { b[2 * 4096 + 4] = 2; },
         "The database file is damaged: the definition of the table on page 2 loops back on itself."},
        {"catalog claiming 65535 columns", empty, [](std::string &b) { put16(b, 2 * 4096 + 45, 0xFFFF); },
         "The database file is damaged: a table definition claims 65535 columns."},
        {"catalog usage map beyond the file", empty,
         [](std::string &b) { b.replace(2 * 4096 + 56, 3, "\xFF\xFF\xFF"); },
         "The database file is damaged: a usage map points to page 16777215"},
        {"catalog page with more row offsets than fit", empty,
         [](std::string &b) { put16(b, catalogRows(b) + 12, 0xFFFF); },
         "The database file is damaged: the row offset table of page"},
        {"catalog row starting inside the page header", empty, [](std::string &b) { put16(b, catalogRows(b) + 14, 4); },
         "The database file is damaged: row 0 of page"},
        {"catalog row cut to its column count", empty,
         [](std::string &b) {
             put16(b, catalogRows(b) + 14, 4096 - 2);
             put16(b, catalogRows(b) + 4096 - 2, 17);
         },
         "The database file is damaged: a row is shorter than its null mask."},
        // The table's other index is untouched.
        {"a key changed to sort after the next one", keyed, [](std::string &b) { keyEntry(b, 1)[4] = 5; },
         "Table PrimaryKey: the entry for page 55 row 1 holds another key than its row\n"
         "Table PrimaryKey: entry 2 (page 55 row 2) is not after the one before it\n"},
        {"a row pointer turned to another row", keyed, [](std::string &b) { keyEntry(b, 3)[8] = 0; },
         "Table PrimaryKey: the entry for page 55 row 0 holds another key than its row\n"
         "Table PrimaryKey: the row at page 55 row 0 has 2 entries\n"
         "Table PrimaryKey: the row at page 55 row 3 has 0 entries\n"},
        {"a row pointer past the page's rows", keyed, [](std::string &b) { keyEntry(b, 7)[8] = 40; },
         "Table PrimaryKey: entry 7 points to page 55 row 40, which holds no row of the table\n"
         "Table PrimaryKey: the row at page 55 row 7 has 0 entries\n"
         "Table PrimaryKey: keys left uncompared\n"},
    };
    for (const Spoiled &spoiled : cases) {
        SCOPED_TRACE(spoiled.name);
        TempDir dir;
        std::string bytes = TempDir::readFile((kAccessFolder / spoiled.file).string());
        spoiled.spoil(bytes);
        dir.write("spoiled.mdb", bytes);
        std::string walked;
        const std::string refusal = RefusalOf([&] {
            const jet::JetDatabase database(dir.file("spoiled.mdb"));
            for (const std::string &table : database.tableNames())
                database.scan(database.table(table), [](jet::RowId, const jet::Row &) { return true; });
            walked = IndexProblems(dir.file("spoiled.mdb"), database.tableNames());
        });
        if (refusal.empty())
            EXPECT_EQ(walked, spoiled.read);
        else
            EXPECT_EQ(refusal.rfind(spoiled.read, 0), 0u) << refusal;
    }
}

} // namespace
} // namespace tarnwick
