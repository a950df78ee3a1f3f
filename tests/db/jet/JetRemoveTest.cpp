// Rows deleted by the Jet engine, with their memo values, and a table emptied and filled again,
// as mdbtools and mdb-reader read them.
#include "db/DbError.h"
#include "db/jet/DataPage.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/LongValue.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::JetValue;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";

// A row of DateTest (IDCol, three dates, LongTextCol memo, ShortTextCol text).
jet::Row dateTestRow(std::int32_t id, const std::string &memo) {
    return {JetValue::whole(id), JetValue::date(40000), JetValue::null(),
            JetValue::null(),    JetValue::utf8(memo),  JetValue::utf8("row " + std::to_string(id))};
}

std::vector<std::pair<jet::RowId, std::int64_t>> idsOf(const std::string &path) {
    const jet::JetDatabase database(path);
    std::vector<std::pair<jet::RowId, std::int64_t>> ids;
    database.scan(database.table("DateTest"),
                  [&](jet::RowId at, const jet::Row &row) { return ids.emplace_back(at, row[0].integer), true; });
    return ids;
}

class JetRemove : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kAccessFolder))
            GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
        jet::JetDatabase(path, true)
            .append("DateTest", {dateTestRow(7, std::string(3000, 'a')), dateTestRow(8, std::string(1 << 20, 'b')),
                                 dateTestRow(9, "short")});
    }
    TempDir dir;
    const std::string path = dir.file("DateTestDatabase.mdb");
};

TEST_F(JetRemove, DeletedRowsAndTheirMemosAreGoneForEveryReader) {
    std::vector<jet::RowId> doomed;
    for (const auto &[at, id] : idsOf(path))
        if (id == 2 || id == 7 || id == 8)
            doomed.push_back(at);
    ASSERT_EQ(doomed.size(), 3u);
    // The long-value rows the doomed memos fill.
    std::vector<jet::RowId> memoRows;
    {
        const jet::JetDatabase database(path);
        const jet::TableDef table = database.table("DateTest");
        for (jet::RowId at : doomed)
            jet::WithRow(database.file(), table, at, [&](jet::ByteView row) {
                for (jet::ByteView field : jet::LongValueFields(table, row))
                    for (jet::RowId part : jet::LongValueRows(database.file(), field))
                        memoRows.push_back(part);
            });
    }
    EXPECT_GT(memoRows.size(), 200u); // one row for the 3,000 bytes, a chain for the megabyte

    jet::JetDatabase(path, true).remove("DateTest", doomed);

    std::vector<std::int64_t> left;
    for (const auto &entry : idsOf(path))
        left.push_back(entry.second);
    EXPECT_EQ(left, (std::vector<std::int64_t>{1, 3, 4, 5, 6, 9}));
    const jet::JetDatabase database(path);
    EXPECT_EQ(database.table("DateTest").rowCount, 6u);
    for (jet::RowId part : memoRows)
        EXPECT_FALSE(jet::DataPage(database.file().read(part.page, "test"), part.page).inScan(part.row));
    EXPECT_EQ(CompareWithOutsideReaders(path, "DateTest"), "");
}

TEST_F(JetRemove, ATableEmptiedAndFilledAgainReadsAsItsNewRows) {
    jet::JetDatabase(path, true).removeAll("DateTest");
    EXPECT_TRUE(idsOf(path).empty());
    EXPECT_EQ(jet::JetDatabase(path).table("DateTest").rowCount, 0u);
    EXPECT_EQ(CompareWithOutsideReaders(path, "DateTest"), "");

    std::vector<jet::Row> refill;
    for (int id = 100; id < 400; ++id)
        refill.push_back(dateTestRow(id, id % 3 ? "memo" : std::string(5000, 'm')));
    jet::JetDatabase(path, true).append("DateTest", refill);
    EXPECT_EQ(idsOf(path).size(), 300u);
    EXPECT_EQ(CompareWithOutsideReaders(path, "DateTest"), "");
}

TEST_F(JetRemove, IndexesLoseTheEntriesOfDeletedRowsAndEmptiedLeavesLeaveTheTree) {
    // MSysACEs (indexed on ObjectId) grown to a node over leaves, then thinned out.
    std::vector<jet::Row> aces;
    for (std::int32_t id = 1; id <= 3000; ++id)
        aces.push_back(
            {JetValue::whole(id * 7 % 3001), JetValue::bytes("sid"), JetValue::whole(1), JetValue::yesNo(true)});
    jet::JetDatabase(path, true).append("MSysACEs", aces);
    std::vector<jet::RowId> doomed;
    {
        const jet::JetDatabase database(path);
        std::mt19937 random(26);
        // Every key from 500 to 2,500 (whole leaves emptied), and half of the others.
        database.scan(database.table("MSysACEs"), [&](jet::RowId at, const jet::Row &row) {
            if ((row[0].integer >= 500 && row[0].integer <= 2500) || random() % 2)
                doomed.push_back(at);
            return true;
        });
    }
    jet::JetDatabase(path, true).remove("MSysACEs", doomed);

    const jet::JetDatabase database(path);
    const jet::TableDef table = database.table("MSysACEs");
    EXPECT_EQ(table.rowCount, 3076u - doomed.size());
    const std::vector<jet::IndexReport> reports = jet::WalkIndexes(database, table);
    EXPECT_TRUE(reports[0].problems.empty()) << reports[0].problems.front();
    EXPECT_EQ(reports[0].entries, table.rowCount);
    EXPECT_EQ(CompareWithOutsideReaders(path, "MSysACEs"), "");
}

// The navigation pane's groups point to its categories through a relationship Access enforces (and
// cascades): categories take new rows and changes that keep their Id, and lose only rows no group
// points to. A refused delete leaves the change as it was, with the deletes before it.
TEST_F(JetRemove, ARowThatAnotherTablesRowsPointToStays) {
    const std::string categories = "MSysNavPaneGroupCategories";
    const auto rowsById = [&] {
        const jet::JetDatabase database(path);
        std::map<std::int64_t, std::pair<jet::RowId, jet::Row>> rows;
        database.scan(database.table(categories), [&](jet::RowId at, const jet::Row &row) {
            rows[row[0].integer] = {at, row};
            return true;
        });
        return rows;
    };
    jet::JetDatabase(path, true)
        .append(categories, {{JetValue::null(), JetValue::utf8("Mine"), JetValue::whole(4), JetValue::null(),
                              JetValue::null(), JetValue::whole(4), JetValue::whole(0)}});
    auto rows = rowsById();
    ASSERT_EQ(rows.size(), 4u);
    jet::Row renamed = rows[3].second;
    renamed[1] = JetValue::utf8("Custom, renamed");
    jet::JetDatabase(path, true).update(categories, {{rows[3].first, renamed}});

    {
        jet::JetDatabase database(path, true);
        database.begin();
        database.removeRow(categories, rows[4].first);
        for (std::int64_t pointedTo : {1, 2, 3}) {
            try {
                database.removeRow(categories, rows[pointedTo].first);
                ADD_FAILURE() << "category " << pointedTo << " was deleted";
            } catch (const DbError &error) {
                EXPECT_EQ(error.description(), "The record cannot be deleted or changed because table "
                                               "'MSysNavPaneGroups' includes related records, which this engine "
                                               "does not delete or change with it.");
            }
        }
        database.commit();
    }

    rows = rowsById();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[3].second[1].text, "Custom, renamed");
    const jet::JetDatabase database(path);
    for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(categories)))
        EXPECT_TRUE(report.problems.empty()) << report.index << ": " << report.problems.front();
    EXPECT_EQ(CompareWithOutsideReaders(path, categories), "");
}

} // namespace
} // namespace tarnwick
