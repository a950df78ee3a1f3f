// Rows changed by the Jet engine, in place or moved, with their indexes and memo values, as
// mdbtools, mdb-reader and the index walker see them.
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"
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

std::map<jet::RowId, jet::Row> rowsOf(const std::string &path, const std::string &table) {
    const jet::JetDatabase database(path);
    std::map<jet::RowId, jet::Row> rows;
    database.scan(database.table(table),
                  [&](jet::RowId at, const jet::Row &row) { return rows.emplace(at, row), true; });
    return rows;
}

bool sameRow(const jet::Row &a, const jet::Row &b) {
    for (std::size_t c = 0; c < a.size(); ++c)
        if (a[c].kind != b[c].kind || a[c].integer != b[c].integer || a[c].real != b[c].real || a[c].text != b[c].text)
            return false;
    return a.size() == b.size();
}

class JetUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kAccessFolder))
            GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
    }
    // Changes `changes` rows of `table` (chosen at random, some twice over) with `change`, then
    // checks that the engine reads exactly the rows expected, and that every reader agrees.
    void changeAndCheck(const std::string &table, int changes,
                        const std::function<jet::Row(const jet::Row &, int)> &change) {
        std::map<jet::RowId, jet::Row> expected = rowsOf(path, table);
        std::mt19937 random(26);
        for (int round = 0; round < 2; ++round) {
            std::vector<std::pair<jet::RowId, jet::Row>> batch;
            std::vector<jet::RowId> ids;
            for (const auto &entry : expected)
                ids.push_back(entry.first);
            std::shuffle(ids.begin(), ids.end(), random);
            for (int i = 0; i < changes && i < static_cast<int>(ids.size()); ++i) {
                jet::Row row = change(expected[ids[static_cast<std::size_t>(i)]], i + round * changes);
                batch.emplace_back(ids[static_cast<std::size_t>(i)], row);
                expected[ids[static_cast<std::size_t>(i)]] = row;
            }
            jet::JetDatabase(path, true).update(table, batch);
        }
        const std::map<jet::RowId, jet::Row> read = rowsOf(path, table);
        ASSERT_EQ(read.size(), expected.size());
        for (const auto &[at, row] : expected)
            EXPECT_TRUE(read.count(at) && sameRow(read.at(at), row)) << "page " << at.page << " row " << at.row;
        const jet::JetDatabase database(path);
        for (const jet::IndexReport &report : jet::WalkIndexes(database, database.table(table)))
            EXPECT_TRUE(report.problems.empty()) << report.index << ": " << report.problems.front();
        EXPECT_EQ(CompareWithOutsideReaders(path, table), "");
    }

    TempDir dir;
    const std::string path = dir.file("DateTestDatabase.mdb");
};

TEST_F(JetUpdate, ChangedKeysAndSizesKeepRowsAndTheirIndexInStep) {
    std::vector<jet::Row> aces;
    for (std::int32_t id = 1; id <= 1500; ++id)
        aces.push_back({JetValue::whole(id), JetValue::bytes("sid"), JetValue::whole(1), JetValue::yesNo(false)});
    jet::JetDatabase(path, true).append("MSysACEs", aces);
    // Every other change keeps the row's size (written in place); the others grow it (moved).
    changeAndCheck("MSysACEs", 1000, [](const jet::Row &row, int i) {
        jet::Row changed = row;
        changed[0] = JetValue::whole(100000 + i);
        changed[1] = JetValue::bytes(i % 2 ? std::string(row[1].text.size(), 'x') : std::string(40 + i % 30, 'y'));
        changed[3] = JetValue::yesNo(true);
        return changed;
    });
}

TEST_F(JetUpdate, MemosGrowAndShrinkThroughTheirLongValueForms) {
    const std::vector<std::string> memos = {"", "short", std::string(3000, 'm'), std::string(300000, 'c')};
    changeAndCheck("DateTest", 6, [&](const jet::Row &row, int i) {
        jet::Row changed = row;
        changed[4] = JetValue::utf8(memos[static_cast<std::size_t>(i) % memos.size()]);
        changed[5] = JetValue::utf8("changed " + std::to_string(i));
        return changed;
    });
}

} // namespace
} // namespace tarnwick
