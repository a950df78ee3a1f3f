// The index keys the engine builds, against keys Access wrote: bytes read off the index pages of
// Access 97 and 2007 files (which the engine does not open), the Access 2003 file's text index walked, and
// tables keyed on each kind, filled by the engine in random order and read by the outside readers.
#include "db/jet/IndexKey.h"
#include "db/DbError.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/GeneralSortKey.h"
#include "db/jet/IndexWalker.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::ColumnKind;
using jet::JetValue;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";

std::optional<std::string> keyOf(ColumnKind kind, const JetValue &value, bool ascending = true) {
    jet::TableDef table;
    table.columns.push_back({"Key", kind});
    jet::IndexTree tree;
    tree.columns.push_back({0, ascending});
    return jet::IndexKey(table, tree, {value});
}

struct AccessKey {
    const char *where;
    ColumnKind kind;
    JetValue value;
    std::string key;
};

// Keys of nwind.mdb (Access 97) and ASampleDatabase.accdb (Access 2007), each beside the value of the
// row it points to.
TEST(IndexKey, EqualsTheKeysAccessWrote) {
    const std::vector<AccessKey> keys = {
        {"MSysQueries, ObjectIdAttribute, page 20 row 0", ColumnKind::Byte, JetValue::whole(0), {"\x7F\x00", 2}},
        {"MSysQueries, ObjectIdAttribute, page 20 row 2", ColumnKind::Byte, JetValue::whole(1), "\x7F\x01"},
        {"MSysQueries, ObjectIdAttribute, page 20 row 1", ColumnKind::Byte, JetValue::whole(255), "\x7F\xFF"},
        {"Orders, OrderDate, page 451 row 0 (1994-08-04)",
         ColumnKind::DateTime,
         JetValue::date(34550),
         {"\x7F\xC0\xE0\xDE\xC0\x00\x00\x00\x00", 9}},
        {"Orders, ShippedDate, page 504 row 2 (1995-01-16)",
         ColumnKind::DateTime,
         JetValue::date(34715),
         {"\x7F\xC0\xE0\xF3\x60\x00\x00\x00\x00", 9}},
        {"Orders, ShippedDate, page 542 row 2 (null)", ColumnKind::DateTime, JetValue::null(), {"\x00", 1}},
        {"MSysQueries, Order, page 41 row 11",
         ColumnKind::Binary,
         JetValue::bytes({"\x00\x00\x00\x01", 4}),
         {"\x7F\x00\x00\x00\x01\x00\x00\x00\x00\x04", 10}},
        {"MSysQueries, Order, page 41 row 26",
         ColumnKind::Binary,
         JetValue::bytes({"\x00\x00\x00\x02", 4}),
         {"\x7F\x00\x00\x00\x02\x00\x00\x00\x00\x04", 10}},
    };
    for (const AccessKey &access : keys) {
        SCOPED_TRACE(access.where);
        EXPECT_EQ(keyOf(access.kind, access.value), access.key);
        std::string descending = access.key;
        for (char &c : descending)
            c = static_cast<char>(~c);
        EXPECT_EQ(keyOf(access.kind, access.value, false), descending);
    }
}

// testUnicodeCompV2003.mdb's table "Table" holds in its index "Unicode" a row of every character from
// U+0001 to U+00FF, one mixing left-out characters with weighted ones, accented words, and Greek,
// Cyrillic and Japanese text, whose keys the engine does not build.
TEST(IndexKey, EqualsTheTextKeysAccess2003Wrote) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    const jet::JetDatabase database((kAccessFolder / "testUnicodeCompV2003.mdb").string());
    const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, database.table("Table"));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].index, "Unicode");
    EXPECT_TRUE(reports[1].problems.empty()) << reports[1].problems.front();
    EXPECT_EQ(reports[1].keysCompared, 5u);
}

TEST(IndexKey, LeavesOutWhatNoAccessKeyShows) {
    const std::vector<std::pair<const char *, JetValue>> texts = {
        {"empty", JetValue::utf8("")},
        {"euro sign", JetValue::utf8("5 €")},
        {"Greek", JetValue::utf8("α")},
        {"combining accent", JetValue::utf8("e\xCC\x81")},
        {"NUL", JetValue::utf8(std::string("a\0b", 3))},
        {"left-out characters only", JetValue::utf8("'-")},
        {"hyphen after a ligature", JetValue::utf8("Æ-b")},
    };
    for (const auto &[why, value] : texts)
        EXPECT_EQ(keyOf(ColumnKind::Text, value), std::nullopt) << why;
    EXPECT_EQ(keyOf(ColumnKind::DateTime, JetValue::date(-1)), std::nullopt);
    EXPECT_EQ(keyOf(ColumnKind::DateTime, JetValue::date(-0.0)), std::nullopt);
    for (const char *bytes : {"", "123", "12345"})
        EXPECT_EQ(keyOf(ColumnKind::Binary, JetValue::bytes(bytes)), std::nullopt) << bytes;
    for (ColumnKind kind : {ColumnKind::YesNo, ColumnKind::Integer, ColumnKind::Currency, ColumnKind::Single,
                            ColumnKind::Double, ColumnKind::Guid})
        EXPECT_FALSE(jet::KeysBuiltFor(kind)) << static_cast<int>(kind);
}

// Values for a key column of each kind: extremes, zero, and many between, every one distinct.
std::vector<JetValue> keyValues(ColumnKind kind, std::mt19937 &random) {
    std::vector<JetValue> values;
    if (kind == ColumnKind::Byte) {
        for (int n = 0; n < 256; ++n)
            values.push_back(JetValue::whole(n));
    } else if (kind == ColumnKind::DateTime) { // 1899-12-30 to 9999-12-31, with times of day
        values = {JetValue::date(0), JetValue::date(2958465 + 86399 / 86400.0), JetValue::date(1e-9)};
        for (int n = 1; n < 3000; ++n)
            values.push_back(JetValue::date(n * 977.0 + (n % 96) / 96.0));
    } else if (kind == ColumnKind::Binary) { // four bytes, zeros and 0xFF included
        std::uniform_int_distribution<int> byte(0, 255);
        std::set<std::string> distinct = {std::string(4, '\0'), std::string(4, '\xFF')};
        while (distinct.size() < 2000) {
            std::string bytes(4, '\0');
            for (char &c : bytes)
                c = static_cast<char>(byte(random) < 64 ? 0 : byte(random));
            distinct.insert(bytes);
        }
        for (const std::string &bytes : distinct)
            values.push_back(JetValue::bytes(bytes));
    } else {
        static const std::vector<std::string> pieces = {"a", "Z", "7", " ", "é", "Ø",  "-", "'", "¿",
                                                        "_", "ñ", "~", "Å", "ÿ", "\t", "½", "µ", "\xC2\xAD"};
        std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1), length(0, 24);
        for (int n = 0; n < 800; ++n) {
            std::string text = std::to_string(n % 10);
            for (std::size_t i = length(random); i > 0; --i)
                text += pieces[piece(random)];
            // Letters weighing as two come last: a left-out character after them has no known key.
            values.push_back(JetValue::utf8(text + (n % 3 ? "" : "Æß") + "#" + std::to_string(n)));
        }
        values.push_back(JetValue::utf8(std::string(255, 'y')));
    }
    std::shuffle(values.begin(), values.end(), random);
    return values;
}

TEST(IndexKey, TablesKeyedOnEachKindStayInStepForAllReaders) {
    TempDir dir;
    const std::string path = dir.file("Keys.mdb");
    jet::CreateEmptyDatabase(path);
    std::mt19937 random(26);
    for (ColumnKind kind : {ColumnKind::Byte, ColumnKind::DateTime, ColumnKind::Text}) {
        const std::string name = "Keyed" + std::to_string(static_cast<int>(kind));
        SCOPED_TRACE(name);
        const std::uint16_t textLength = kind == ColumnKind::Text ? 255 : 0;
        jet::JetDatabase(path, true)
            .createTable(
                {name, {{"Key", kind, textLength, false, ""}, {"Other", ColumnKind::Long, 0, false, ""}}, "Key"});
        std::vector<jet::Row> rows;
        for (const JetValue &value : keyValues(kind, random))
            rows.push_back({value, JetValue::whole(static_cast<std::int64_t>(rows.size()))});
        jet::JetDatabase(path, true).append(name, rows);

        const jet::JetDatabase database(path);
        const jet::TableDef table = database.table(name);
        for (const jet::IndexReport &report : jet::WalkIndexes(database, table)) {
            EXPECT_TRUE(report.problems.empty()) << report.problems.front();
            EXPECT_EQ(report.keysCompared, rows.size());
        }
        EXPECT_EQ(CompareWithOutsideReaders(path, name), "");
    }
    // A key the engine does not build, and a primary key left null, are refused and nothing is written.
    const std::string before = TempDir::readFile(path);
    const std::vector<std::pair<JetValue, std::string>> refused = {
        {JetValue::date(-1.5), "The table 'Keyed8' is given a value whose index key this engine does not build yet"},
        {JetValue::null(), "Index or primary key cannot contain a Null value."}};
    for (const auto &[key, says] : refused) {
        try {
            jet::JetDatabase(path, true).append("Keyed8", {{key, JetValue::null()}});
            ADD_FAILURE() << says;
        } catch (const DbError &error) {
            EXPECT_EQ(error.description().rfind(says, 0), 0u) << error.description();
        }
        EXPECT_TRUE(TempDir::readFile(path) == before);
    }
}

// Saved queries' rows are keyed on their object, attribute and a four-byte order: rows appended, in
// random order, to the query table of a database Access made, kept in key order.
TEST(IndexKey, BinaryKeysOfQueryRowsStayInStepForAllReaders) {
    if (!fs::is_directory(kAccessFolder))
        GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    TempDir dir;
    const std::string path = dir.file("Queries.mdb");
    fs::copy_file(kAccessFolder / "emptyJet4.mdb", path);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    std::mt19937 random(7);
    std::vector<jet::Row> rows;
    for (const JetValue &order : keyValues(ColumnKind::Binary, random)) {
        const auto n = static_cast<std::int64_t>(rows.size());
        rows.push_back({JetValue::whole(n % 9 - 4), JetValue::whole(n % 256), order, JetValue::utf8("Sites"),
                        JetValue::null(), JetValue::null(), JetValue::whole(0), JetValue::null()});
    }
    jet::JetDatabase(path, true).append("MSysQueries", rows);

    const jet::JetDatabase database(path);
    const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, database.table("MSysQueries"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].problems.empty()) << reports[0].problems.front();
    EXPECT_EQ(reports[0].keysCompared, rows.size());
    EXPECT_EQ(CompareWithOutsideReaders(path, "MSysQueries"), "");
}

} // namespace
} // namespace tarnwick
