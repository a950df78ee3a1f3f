// Writing into files another writer filled: Jackcess's park of 19,500 guests (three-level trees whose
// node pages name their last child only in the tail pointer) and Access's descending index with a
// tail. After each change every index walks clean, every key is the one the engine builds, and
// mdb-export and mdb-reader read what went in.
#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/NamedRows.h"
#include "support/IndexProblems.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::JetValue;

const fs::path kAccessFolder = fs::path(TESTDATA_DIR) / "access";

// The distinct keys each tree of `table` holds, walked, against the counts its definition keeps.
std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> distinctKeys(const std::string &path,
                                                                             const std::string &table) {
    const jet::JetDatabase database(path);
    const jet::TableDef definition = database.table(table);
    std::vector<jet::Row> rows;
    database.scan(definition, [&](jet::RowId, const jet::Row &row) { return rows.push_back(row), true; });
    std::vector<std::uint32_t> walked, kept;
    for (const jet::IndexTree &tree : definition.trees) {
        std::set<std::string> keys;
        for (const jet::Row &row : rows)
            if (!jet::LeftOutOf(definition, tree, row))
                keys.insert(*jet::IndexKey(definition, tree, row));
        walked.push_back(static_cast<std::uint32_t>(keys.size()));
        kept.push_back(tree.distinctKeys);
    }
    return {walked, kept};
}

class OtherWritersIndex : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kAccessFolder))
            GTEST_SKIP() << kAccessFolder << " is missing: the shared test data is not beside the source";
    }
    std::string copyOf(const char *name) {
        const std::string path = dir.file(name);
        fs::copy_file(kAccessFolder / name, path);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        return path;
    }
    TempDir dir;
};

// Names of many scripts, some sorting before, among and after the park's, with trailing spaces.
std::string guestName(std::mt19937 &random, int n) {
    static const std::vector<std::string> lasts = {"Aalto", "Łukasiewicz", "Řezníček", "Nguyễn", "Şahin",
                                                   "Żak", "Ørsted", "O'Brien", "Zzyzx", "Αλεξίου",
                                                   "Смирнов", "Ábel", "van der Berg", "Ü", "Ōta"};
    static const std::vector<std::string> firsts = {"Anna", "Čeněk", "", "Zoë", "Łucja", "Pierre-Luc", "Ștefan"};
    return lasts[random() % lasts.size()] + ", " + firsts[random() % firsts.size()] + std::to_string(n % 7);
}

TEST_F(OtherWritersIndex, GuestsAddedChangedAndDeletedInAJackcessParkKeepEveryIndexInStep) {
    const std::string path = copyOf("jackcess-park.mdb");
    std::mt19937 random(34);
    {
        jet::JetDatabase database(path, true);
        const jet::TableDef guest = database.table("Guest");
        std::vector<jet::Row> rows;
        for (int n = 0; n < 2000; ++n)
            rows.push_back(jet::RowOf(guest, {{"Name", JetValue::utf8(guestName(random, n))},
                                              {"NoRent", JetValue::yesNo(n % 2)},
                                              {"Arrival", JetValue::date(n % 3 ? 30000.0 + n : -1000.25 - n)},
                                              {"NoPeople", JetValue::whole(n % 9 - 2)}}));
        database.append("Guest", rows);
    }
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");

    // The rows whose primary-key entries sit in the tail leaf, the last one under the root, and some
    // before it, are changed, then some deleted.
    jet::JetDatabase database(path, true);
    const jet::TableDef guest = database.table("Guest");
    std::vector<jet::RowId> ids;
    database.scan(guest, [&](jet::RowId id, const jet::Row &) { return ids.push_back(id), true; });
    std::vector<std::pair<jet::RowId, jet::Row>> changes;
    for (std::size_t i = ids.size() - 300; i < ids.size(); i += 3) {
        jet::Row row = database.row(guest, ids[i]);
        row[1] = JetValue::utf8(guestName(random, static_cast<int>(i)) + "   ");
        changes.emplace_back(ids[i], row);
    }
    database.update("Guest", changes);
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");
    std::vector<jet::RowId> gone;
    for (std::size_t i = ids.size() - 400; i < ids.size(); i += 2)
        gone.push_back(ids[i]);
    gone.push_back(ids[5]);
    database.remove("Guest", gone);
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");
    EXPECT_EQ(CompareWithOutsideReaders(path, "Guest"), "");
    EXPECT_EQ(database.table("Guest").rowCount, 19500u + 2000u - gone.size());

    // Compaction puts every row back and counts each index's distinct keys.
    database.pack({"Guest", "Sites", "OtherCharges"});
    EXPECT_EQ(IndexProblems(path, {"Guest", "Sites", "OtherCharges", "Reservations"}), "");
    for (const char *table : {"Guest", "Sites", "OtherCharges"}) {
        const auto [walked, kept] = distinctKeys(path, table);
        EXPECT_EQ(walked, kept) << table;
    }
    EXPECT_EQ(CompareWithOutsideReaders(path, "Guest"), "");
}

// A text key of `letters` lowercase letters starting with `first` takes letters + 3 bytes (flag,
// section end, key end), its entry four more for the row.
std::string keyText(char first, std::size_t letters) {
    return first + std::string(letters - 1, 'q');
}

TEST_F(OtherWritersIndex, ALeafFilledToItsLastByteIsReadWholeAndSplitByTheNextEntry) {
    const std::string path = copyOf("jackcess-park.mdb");
    jet::JetDatabase(path, true).createTable({"Full", {{"Word", jet::ColumnKind::Text, 255, false, ""}}, "Word"});
    // 16 entries share only the flag byte: 3,519 letters + 16 * 7 - 15 = 3,616 bytes, the page's room.
    std::vector<jet::Row> rows;
    for (int i = 0; i < 16; ++i)
        rows.push_back({JetValue::utf8(keyText(static_cast<char>('b' + i), i < 15 ? 220 : 219))});
    jet::JetDatabase(path, true).append("Full", rows);
    {
        const jet::JetDatabase database(path);
        const jet::TableDef table = database.table("Full");
        const jet::Page root = database.file().read(table.trees[0].rootPage, "index");
        EXPECT_EQ(root.view("leaf").u16(2), 0u); // no free space left
        EXPECT_EQ(jet::IndexPage(root, table.trees[0].rootPage).entries().size(), 16u);
    }
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    jet::JetDatabase(path, true).append("Full", {{JetValue::utf8("c")}, {JetValue::utf8("a")}});
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    jet::JetDatabase database(path, true);
    std::vector<jet::RowId> ids;
    database.scan(database.table("Full"), [&](jet::RowId id, const jet::Row &) { return ids.push_back(id), true; });
    database.remove("Full", {ids[15], ids[0]});
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    EXPECT_EQ(CompareWithOutsideReaders(path, "Full"), "");
}

// Access's descending Long index of 512 rows: a node page with one entry and a tail leaf of nulls.
TEST_F(OtherWritersIndex, AccessDescendingIndexWithATailTakesRowsAtBothEndsAndBetween) {
    for (const char *file : {"compIndexTestV2000.mdb", "compIndexTestV2003.mdb"}) {
        SCOPED_TRACE(file);
        const std::string path = copyOf(file);
        jet::JetDatabase database(path, true);
        const jet::TableDef table = database.table("Table1");
        std::vector<jet::Row> rows;
        for (std::int64_t n : {-5, 0, 100000, 19, 4000, 2147483647})
            rows.push_back(jet::RowOf(table, {{"CD_AGENTE", JetValue::whole(n)}, {"RS_AGENTE", JetValue::utf8("x")}}));
        rows.push_back(jet::RowOf(table, {{"RS_AGENTE", JetValue::utf8("null key")}}));
        database.append("Table1", rows);
        EXPECT_EQ(IndexProblems(path, {"Table1"}), "");
        std::vector<jet::RowId> ids;
        database.scan(database.table("Table1"), [&](jet::RowId id, const jet::Row &) { return ids.push_back(id), true; });
        database.remove("Table1", {ids[0], ids[200], ids[ids.size() - 1], ids[ids.size() - 3]});
        EXPECT_EQ(IndexProblems(path, {"Table1"}), "");
        EXPECT_EQ(CompareWithOutsideReaders(path, "Table1"), "");
    }
}

} // namespace
} // namespace tarnwick
