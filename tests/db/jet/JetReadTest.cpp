// The Jet engine's reading, against mdbtools and mdb-reader on the Access files of the shared test
// data, and on damaged copies of one of them.
#include "db/DbError.h"
#include "db/access/JetHeader.h"
#include "db/jet/JetDatabase.h"
#include "support/JetReaders.h"
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

std::vector<fs::path> accessFiles() {
    std::vector<fs::path> files;
    if (fs::is_directory(kAccessFolder))
        for (const auto &entry : fs::directory_iterator(kAccessFolder))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(JetRead, EveryJet4FileReadsAsMdbtoolsAndMdbReaderReadIt) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    int jet4Files = 0;
    for (const fs::path &file : accessFiles()) {
        SCOPED_TRACE(file.filename().string());
        if (ReadJetHeader(file).version != JetVersion::Jet4) {
            // Jet 3 and ACE files are another engine's; this one refuses them in a sentence.
            try {
                jet::JetDatabase refused(file);
                ADD_FAILURE() << "opened a file that is not Jet 4";
            } catch (const DbError &e) {
                EXPECT_EQ(e.number(), dberr::UnrecognizedFormat);
                EXPECT_EQ(e.description(), "Unrecognized database format '" + file.string() + "'.");
            }
            continue;
        }
        ++jet4Files;
        const jet::JetDatabase database(file);
        std::vector<std::string> ours = database.tableNames(), theirs = MdbTables(file);
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        EXPECT_EQ(ours, theirs);
        for (const std::string &table : ours) {
            // Every table of the files first read here; the newer samples' own tables are compared
            // where they are written into (OtherWritersIndexTest), as mdb-reader 3.2 refuses their
            // MSysAccessObjects and the comparison does not parse their extreme floating-point values.
            const std::string name = file.filename().string();
            if (name.rfind("jackcess-", 0) != 0 && name.rfind("compIndex", 0) != 0) {
                EXPECT_EQ(CompareWithOutsideReaders(file, table), "");
            }
            // The count kept in the table definition agrees with the rows found.
            std::uint32_t rows = 0;
            database.scan(database.table(table), [&](jet::RowId, const jet::Row &) { return ++rows, true; });
            EXPECT_EQ(rows, database.table(table).rowCount) << table;
        }
    }
    EXPECT_GE(jet4Files, 4);
}

TEST(JetRead, IndexFlagsAreReadAsAccessWroteThem) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    // The system tables' indexes: unique (0x01), ignoring nulls (0x02), required (0x08), and 0x80 on
    // every index Access 2000 and later writes. The bytes before the flags differ from file to file.
    const std::vector<std::pair<std::string, std::vector<int>>> expected = {{"MSysObjects", {0x81, 0x81}},
                                                                            {"MSysACEs", {0x88}},
                                                                            {"MSysRelationships", {0x82, 0x82, 0x82}},
                                                                            {"MSysQueries", {0x81}}};
    for (const char *file : {"emptyJet4.mdb", "adox_jet4.mdb", "testUnicodeCompV2003.mdb"}) {
        const jet::JetDatabase database((kAccessFolder / file).string());
        for (const auto &[table, flags] : expected) {
            std::vector<int> read;
            for (const jet::IndexTree &tree : database.table(table).trees)
                read.push_back(tree.flags);
            EXPECT_EQ(read, flags) << file << " " << table;
        }
    }
}

// A copy of emptyJet4.mdb with one change made to its bytes, and where its structures are.
class DamagedCopy {
public:
    explicit DamagedCopy(const TempDir &dir) : path_(dir.file("damaged.mdb")) {
        fs::copy_file(kAccessFolder / "emptyJet4.mdb", path_);
        std::ifstream in(path_, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string &path() const { return path_; }
    std::uint8_t *page(std::size_t number) { return reinterpret_cast<std::uint8_t *>(&bytes_[number * 4096]); }
    // The first data page of the system catalog.
    std::uint8_t *catalogRows() {
        for (std::size_t n = 3; n * 4096 < bytes_.size(); ++n)
            if (page(n)[0] == 0x01 && page(n)[4] == 2 && page(n)[5] == 0 && page(n)[6] == 0)
                return page(n);
        throw std::runtime_error("emptyJet4.mdb has no catalog rows");
    }
    void put16(std::uint8_t *at, std::uint16_t value) {
        at[0] = value & 0xFF;
        at[1] = value >> 8;
    }
    void save(std::size_t size) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(bytes_.data(), static_cast<std::streamsize>(std::min(size, bytes_.size())));
    }
    void save() { save(bytes_.size()); }

private:
    std::string path_;
    std::string bytes_;
};

struct Damage {
    const char *name;
    std::function<void(DamagedCopy &)> make;
    const char *expected; // the start of the description
};

TEST(JetRead, ADamagedFileGivesASentence) {
    if (!fs::exists(kAccessFolder / "emptyJet4.mdb"))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    const std::vector<Damage> damages = {
        {"cut within its first pages", [](DamagedCopy &c) { c.save(2 * 4096); }, "Unrecognized database format"},
        {"catalog definition continued on itself",
         [](DamagedCopy &c) {
             c.page(2)[4] = 2;
             c.save();
         },
         "The database file is damaged: the definition of the table on page 2 loops back on itself."},
        {"catalog claiming 65535 columns",
         [](DamagedCopy &c) {
             c.put16(c.page(2) + 45, 0xFFFF);
             c.save();
         },
         "The database file is damaged: a table definition claims 65535 columns."},
        {"catalog usage map beyond the file",
         [](DamagedCopy &c) {
             c.page(2)[56] = c.page(2)[57] = c.page(2)[58] = 0xFF;
             c.save();
         },
         "The database file is damaged: a usage map points to page 16777215"},
        {"catalog page with more row offsets than fit",
         [](DamagedCopy &c) {
             c.put16(c.catalogRows() + 12, 0xFFFF);
             c.save();
         },
         "The database file is damaged: the row offset table of page"},
        {"catalog row starting inside the page header",
         [](DamagedCopy &c) {
             c.put16(c.catalogRows() + 14, 4);
             c.save();
         },
         "The database file is damaged: row 0 of page"},
        {"catalog row cut to its column count",
         [](DamagedCopy &c) {
             std::uint8_t *rows = c.catalogRows();
             c.put16(rows + 14, 4096 - 2);
             c.put16(rows + 4096 - 2, 17);
             c.save();
         },
         "The database file is damaged: a row is shorter than its null mask."},
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.name);
        TempDir dir;
        DamagedCopy copy(dir);
        damage.make(copy);
        try {
            const jet::JetDatabase database(copy.path());
            for (const std::string &table : database.tableNames())
                database.scan(database.table(table), [](jet::RowId, const jet::Row &) { return true; });
            ADD_FAILURE() << "read without complaint";
        } catch (const DbError &e) {
            EXPECT_EQ(e.description().rfind(damage.expected, 0), 0u) << e.description();
        }
    }
}

} // namespace
} // namespace tarnwick
