// Rows appended by the Jet engine, read back by mdbtools and mdb-reader, and the pages the change
// did not need left as they were.
#include "base/VbDate.h"
#include "db/DbError.h"
#include "db/jet/IndexPage.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/UsageMap.h"
#include "db/jet/UsageMapWrite.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::JetValue;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";

// DateTest of DateTestDatabase.mdb: IDCol Long, DateTimeCol, DateCol, TimeCol Date/Time,
// LongTextCol Memo, ShortTextCol Text(255); six rows, no index.
jet::Row dateTestRow(std::optional<std::int32_t> id, std::optional<double> date, std::optional<std::string> memo,
                     std::optional<std::string> text) {
    auto orNull = [](auto value, auto make) { return value ? make(*value) : JetValue::null(); };
    return {orNull(id, JetValue::whole),  orNull(date, JetValue::date), orNull(date, JetValue::date),
            orNull(date, JetValue::date), orNull(memo, JetValue::utf8), orNull(text, JetValue::utf8)};
}

std::string repeated(const std::string &piece, std::size_t times) {
    std::string out;
    while (times--)
        out += piece;
    return out;
}

bool sameValue(const JetValue &a, const JetValue &b) {
    return a.kind == b.kind && a.integer == b.integer && a.real == b.real && a.text == b.text;
}

class JetAppend : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kAccessFolder))
            GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", copy);
    }
    std::vector<jet::Row> rows(const std::string &table) {
        const jet::JetDatabase database(copy);
        std::vector<jet::Row> all;
        database.scan(database.table(table), [&](jet::RowId, const jet::Row &row) { return all.push_back(row), true; });
        return all;
    }

    TempDir dir;
    const std::string copy = dir.file("DateTestDatabase.mdb");
};

TEST_F(JetAppend, RowsOfEveryShapeAreReadBackByAllThreeReaders) {
    const std::vector<jet::Row> appended = {
        dateTestRow(7, SerialFromParts({2024, 2, 29, 13, 45, 30}), "", "x"),
        dateTestRow(-1, SerialFromParts({100, 1, 1}), "a", repeated("z", 255)),
        dateTestRow(2147483647, SerialFromParts({9999, 12, 31, 23, 59, 59}), repeated("m", 64), "Zoë – naïve"),
        dateTestRow(-2147483647 - 1, -1.25, repeated("m", 65), "漢字"),
        dateTestRow(0, 0, repeated("Grüße ", 600), ""),
        dateTestRow(11, 1.5, repeated("0123456789", 407), std::nullopt),      // one long-value row, near full
        dateTestRow(12, 2, repeated("ä€漢 ", 2000), "chained memo"),          // a chain of long-value rows
        dateTestRow(13, 3, repeated("one megabyte of memo ", 52429), "1 MB"), // a long chain
        dateTestRow(14, 4, "ĀĀĀĀ", "ÿĀÿ"), // the last character that fits one byte, and the first that does not
        dateTestRow(std::nullopt, std::nullopt, std::nullopt, std::nullopt),
    };
    std::vector<jet::Row> many = appended;
    for (int i = 0; i < 1500; ++i) // enough rows to fill pages and add new ones
        many.push_back(dateTestRow(100 + i, 40000 + i, "memo " + std::to_string(i), "row " + std::to_string(i)));
    const std::vector<jet::Row> before = rows("DateTest");
    const std::uint32_t pagesBefore = jet::JetDatabase(copy).file().pageCount();
    jet::JetDatabase(copy, true).append("DateTest", many);

    // The pages added (past the range the file's inline page map covered) are no longer offered as free.
    const jet::JetDatabase written(copy);
    ASSERT_GT(written.file().pageCount(), 512u);
    for (std::uint32_t free : jet::UsageMapPages(written.file(), jet::kFreePagesMap))
        EXPECT_FALSE(free >= pagesBefore && free < written.file().pageCount()) << "page " << free;
    // Of the pages the rows filled, only the last still has room.
    std::vector<std::uint32_t> withRoom;
    for (std::uint32_t page : jet::UsageMapPages(written.file(), written.table("DateTest").freeSpacePages))
        if (page >= pagesBefore)
            withRoom.push_back(page);
    EXPECT_EQ(withRoom.size(), 1u);

    const std::vector<jet::Row> after = rows("DateTest");
    ASSERT_EQ(after.size(), before.size() + many.size());
    for (std::size_t r = 0; r < many.size(); ++r)
        for (std::size_t c = 0; c < many[r].size(); ++c)
            EXPECT_TRUE(sameValue(after[before.size() + r][c], many[r][c])) << "row " << r << " column " << c;
    EXPECT_EQ(jet::JetDatabase(copy).table("DateTest").rowCount, after.size());
    EXPECT_EQ(CompareWithOutsideReaders(copy, "DateTest"), "");
    EXPECT_EQ(CompareWithOutsideReaders(copy, "MSysObjects"), "");
}

TEST_F(JetAppend, OneRowChangesOnlyItsDataPageAndTheTableDefinition) {
    const std::string original = TempDir::readFile(copy);
    jet::JetDatabase(copy, true).append("DateTest", {dateTestRow(7, 44000.5, "short memo", "short text")});
    const std::string changed = TempDir::readFile(copy);
    ASSERT_EQ(changed.size(), original.size());
    std::vector<std::size_t> changedPages;
    for (std::size_t page = 0; page * 4096 < original.size(); ++page)
        if (original.compare(page * 4096, 4096, changed, page * 4096, 4096) != 0)
            changedPages.push_back(page);
    EXPECT_EQ(changedPages, (std::vector<std::size_t>{18, 20})); // the definition, the one data page
    EXPECT_EQ(CompareWithOutsideReaders(copy, "DateTest"), "");
}

// MSysACEs: ObjectId Long, SID Binary, ACM Long, FInheritable Yes/No; one index, on ObjectId.
jet::Row aceRow(std::int32_t objectId) {
    return {JetValue::whole(objectId), JetValue::bytes(std::string("\x01\x02", 2) + std::to_string(objectId)),
            JetValue::whole(1048575), JetValue::yesNo(objectId % 2 != 0)};
}

TEST_F(JetAppend, AnIndexTakesTheEntriesOfAppendedRowsInKeyOrder) {
    // Keys out of order, negative, extreme and repeated; then enough of them, at random, to split the
    // index's one leaf into a node over leaves, and those leaves again.
    std::vector<jet::Row> aces;
    for (std::int32_t id : {5, -3, 2147483647, 0, 17, -2147483647 - 1, 17, 4, 1000000})
        aces.push_back(aceRow(id));
    std::mt19937 random(26);
    for (int i = 0; i < 3000; ++i)
        aces.push_back(aceRow(static_cast<std::int32_t>(random() % 100000)));
    jet::JetDatabase(copy, true).append("MSysACEs", aces);

    const jet::JetDatabase database(copy);
    const jet::TableDef table = database.table("MSysACEs");
    const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, table);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].problems.empty()) << reports[0].problems.front();
    EXPECT_EQ(reports[0].keysCompared, table.rowCount);
    EXPECT_EQ(table.rowCount, 76u + aces.size());
    EXPECT_EQ(CompareWithOutsideReaders(copy, "MSysACEs"), "");
}

TEST_F(JetAppend, OneHundredThousandRowsInKeyOrderFillTheirLeaves) {
    // Past the largest ObjectId the table holds (MSysDb's, 0x10000000), as AutoNumbers come.
    std::vector<jet::Row> aces;
    for (std::int32_t id = 300000001; id <= 300100000; ++id)
        aces.push_back(aceRow(id));
    jet::JetDatabase(copy, true).append("MSysACEs", aces);
    const jet::JetDatabase database(copy);
    const jet::TableDef table = database.table("MSysACEs");
    const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, table);
    EXPECT_TRUE(reports[0].problems.empty()) << reports[0].problems.front();
    EXPECT_EQ(reports[0].entries, 100076u);
    EXPECT_EQ(CompareWithOutsideReaders(copy, "MSysACEs"), "");
}

// MSysAccessStorage: DateCreate, DateUpdate, Id (AutoNumber), Lv (OLE), Name, ParentId, Type; indexed
// on Id, on ParentId and Id, and on ParentId and Name.
jet::Row storageRow(const std::string &name) {
    return {JetValue::null(),     JetValue::null(),   JetValue::null(),  JetValue::bytes("lv"),
            JetValue::utf8(name), JetValue::whole(1), JetValue::whole(2)};
}

// The distinct keys each index tree of the table defined on `page` counts, as its definition holds them.
std::vector<std::uint32_t> treeCounts(const jet::JetDatabase &database, std::uint32_t page) {
    const jet::Page definition = database.file().read(page, "table definition");
    std::vector<std::uint32_t> counts;
    for (std::uint32_t tree = 0; tree < definition.view("test").u32(0x33); ++tree)
        counts.push_back(definition.view("test").u32(0x3F + 12 * tree + 4));
    return counts;
}

TEST_F(JetAppend, TextKeysOfLettersDigitsSpacesAndUnderscoresAreKeptInStep) {
    jet::JetDatabase(copy, true)
        .append("MSysAccessStorage", {storageRow("Zebra 7"), storageRow("apple_pie"), storageRow("MIXED case")});
    const jet::JetDatabase database(copy);
    const jet::TableDef table = database.table("MSysAccessStorage");
    for (const jet::IndexReport &report : jet::WalkIndexes(database, table))
        EXPECT_TRUE(report.problems.empty()) << report.index << ": " << report.problems.front();
    EXPECT_EQ(table.rowCount, 26u);
    // The primary key's tree counts every row; the others add the three keys new to them to the
    // counts Access left (14 and 3).
    EXPECT_EQ(treeCounts(database, table.page), (std::vector<std::uint32_t>{26, 17, 6}));
    EXPECT_EQ(CompareWithOutsideReaders(copy, "MSysAccessStorage"), "");
}

// The depth of the tree whose root is `root`: its first children's pages, down to a leaf.
int treeDepth(const jet::JetDatabase &database, std::uint32_t root) {
    int depth = 1;
    for (jet::IndexPage page(database.file().read(root, "index"), root); !page.leaf(); ++depth) {
        const std::uint32_t child = page.children().front();
        page = jet::IndexPage(database.file().read(child, "index"), child);
    }
    return depth;
}

TEST_F(JetAppend, LongKeysGrowATreeOfThreeLevelsThatLosesThemAgain) {
    // Names of 120 letters make keys of about 130 bytes: some 28 to a page, a third level within 2,000 rows.
    std::mt19937 random(26);
    const auto name = [&] {
        std::string text;
        for (int i = 0; i < 120; ++i)
            text += static_cast<char>('a' + random() % 26);
        return text;
    };
    std::vector<jet::Row> rows;
    for (int i = 0; i < 2000; ++i)
        rows.push_back(storageRow(name()));
    jet::JetDatabase(copy, true).append("MSysAccessStorage", rows);
    const auto check = [&](std::uint32_t count, std::optional<int> depth) {
        const jet::JetDatabase database(copy);
        const jet::TableDef table = database.table("MSysAccessStorage");
        EXPECT_EQ(table.rowCount, count);
        std::vector<int> depths;
        for (const jet::IndexTree &tree : table.trees)
            depths.push_back(treeDepth(database, tree.rootPage));
        if (depth) {
            EXPECT_EQ(*std::max_element(depths.begin(), depths.end()), *depth);
        }
        for (const jet::IndexReport &report : jet::WalkIndexes(database, table)) {
            EXPECT_TRUE(report.problems.empty()) << report.index << ": " << report.problems.front();
            EXPECT_EQ(report.entries, count);
        }
        EXPECT_EQ(CompareWithOutsideReaders(copy, "MSysAccessStorage"), "");
    };
    check(2023, 3);
    // They go again in random order, a few hundred at a time: pages left empty leave the tree, whose
    // other pages keep the system's own 23 rows.
    std::vector<jet::RowId> ids;
    {
        const jet::JetDatabase database(copy);
        database.scan(database.table("MSysAccessStorage"), [&](jet::RowId id, const jet::Row &row) {
            if (row[4].text.size() == 120)
                ids.push_back(id);
            return true;
        });
    }
    std::shuffle(ids.begin(), ids.end(), random);
    jet::JetDatabase database(copy, true);
    for (std::size_t from = 0; from < ids.size(); from += 250)
        database.remove("MSysAccessStorage",
                        {ids.begin() + static_cast<std::ptrdiff_t>(from),
                         ids.begin() + static_cast<std::ptrdiff_t>(std::min(from + 250, ids.size()))});
    check(23, std::nullopt);
}

struct Refusal {
    const char *table;
    jet::Row row;
    const char *sentence;
};

TEST_F(JetAppend, ATableWhoseIndexesCannotBeKeptInStepIsRefusedAndLeftAsItWas) {
    const std::string original = TempDir::readFile(copy);
    const std::vector<Refusal> refusals = {
        {"MSysAccessStorage", storageRow("\xF0\x9F\x98\x80"),
         "The table 'MSysAccessStorage' is given a text that an index cannot sort (a character beyond the Basic "
         "Multilingual Plane, such as most emoji, or a NUL). Nothing was written."},
        {"MSysNavPaneGroups", jet::Row(7),
         "The table 'MSysNavPaneGroups' points to another table through a relationship, which this engine does "
         "not keep in step yet. Nothing was written."},
        {"MSysNavPaneGroupToObjects", jet::Row(7),
         "The table 'MSysNavPaneGroupToObjects' points to another table through a relationship, which this engine "
         "does not keep in step yet. Nothing was written."},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.table);
        try {
            jet::JetDatabase(copy, true).append(refusal.table, {refusal.row});
            ADD_FAILURE() << "appended";
        } catch (const DbError &e) {
            EXPECT_EQ(e.description(), refusal.sentence);
        }
    }
    EXPECT_TRUE(TempDir::readFile(copy) == original);
}

} // namespace
} // namespace tarnwick
