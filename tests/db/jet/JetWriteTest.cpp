// Writing into files other programs filled: rows appended, changed and deleted in Access's
// DateTestDatabase.mdb (memos in and out of long-value rows, the system tables' indexes), in
// Jackcess's park of 19,500 guests (three-level trees whose node pages name their last child only in
// the tail pointer) and in Access's descending index with a tail. After each change every index
// walks clean, every key is the one the engine builds, and mdb-export and mdb-reader read what the
// engine reads.
#include "base/VbDate.h"
#include "db/DbError.h"
#include "db/jet/DataPage.h"
#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"
#include "db/jet/LongValue.h"
#include "db/jet/NamedRows.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"
#include "db/jet/UsageMap.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace tarnwick {
namespace {

using jet::JetValue;
using jet::Row;
using jet::RowId;

// DateTest of DateTestDatabase.mdb: IDCol Long, DateTimeCol, DateCol, TimeCol Date/Time,
// LongTextCol Memo, ShortTextCol Text(255); six rows, no index.
Row dateTestRow(std::optional<std::int32_t> id, std::optional<double> date, std::optional<std::string> memo,
                std::optional<std::string> text) {
    auto orNull = [](auto value, auto make) { return value ? make(*value) : JetValue::null(); };
    return {orNull(id, JetValue::whole),  orNull(date, JetValue::date), orNull(date, JetValue::date),
            orNull(date, JetValue::date), orNull(memo, JetValue::utf8), orNull(text, JetValue::utf8)};
}

// MSysACEs: ObjectId Long, SID Binary, ACM Long, FInheritable Yes/No; one index, on ObjectId.
Row aceRow(std::int32_t objectId) {
    return {JetValue::whole(objectId), JetValue::bytes(std::string("\x01\x02", 2) + std::to_string(objectId)),
            JetValue::whole(1048575), JetValue::yesNo(objectId % 2 != 0)};
}

// MSysAccessStorage: DateCreate, DateUpdate, Id (AutoNumber), Lv (OLE), Name, ParentId, Type; indexed
// on Id, on ParentId and Id, and on ParentId and Name.
Row storageRow(const std::string &name) {
    return {JetValue::null(),     JetValue::null(),   JetValue::null(),  JetValue::bytes("lv"),
            JetValue::utf8(name), JetValue::whole(1), JetValue::whole(2)};
}

std::string repeated(const std::string &piece, std::size_t times) {
    std::string out;
    while (times--)
        out += piece;
    return out;
}

std::vector<RowId> idsOf(const jet::JetDatabase &database, const std::string &table) {
    std::vector<RowId> ids;
    for (const auto &entry : JetRows(database, table))
        ids.push_back(entry.first);
    return ids;
}

// Each index tree's count of distinct keys as the table's definition keeps it, and as its rows give them.
std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>> distinctKeys(const std::string &path,
                                                                               const std::string &table) {
    const jet::JetDatabase database(path);
    const jet::TableDef definition = database.table(table);
    const auto rows = JetRows(database, table);
    std::vector<std::uint32_t> kept, given;
    for (const jet::IndexTree &tree : definition.trees) {
        std::set<std::string> keys;
        for (const auto &[at, row] : rows)
            if (!jet::LeftOutOf(definition, tree, row))
                keys.insert(*jet::IndexKey(definition, tree, row));
        kept.push_back(tree.distinctKeys);
        given.push_back(static_cast<std::uint32_t>(keys.size()));
    }
    return {kept, given};
}

class JetWrite : public testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_ACCESS_FILES(); }
    std::string copyOf(const char *name) { return CopyOfAccessFile(name, dir.file(name)); }
    // Deletes `doomed` and expects exactly the rows left of `expected`, each where it was, read alike by
    // every reader.
    static void removeAndExpect(const std::string &path, const std::string &table, std::map<RowId, Row> &expected,
                                const std::vector<RowId> &doomed) {
        jet::JetDatabase(path, true).remove(table, doomed);
        for (RowId at : doomed)
            expected.erase(at);
        const auto read = JetRows(jet::JetDatabase(path), table);
        EXPECT_EQ(read.size(), expected.size());
        for (const auto &[at, row] : read)
            EXPECT_TRUE(expected.count(at) && SameRow(expected.at(at), row)) << "page " << at.page << " row " << at.row;
        EXPECT_EQ(TableProblems(path, table), "");
    }

    TempDir dir;
};

TEST_F(JetWrite, RowsOfEveryShapeAreAppendedChangedDeletedAndPurged) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    std::vector<Row> appended = {
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
    for (int i = 0; i < 1500; ++i) // enough rows to fill pages and add new ones
        appended.push_back(dateTestRow(100 + i, 40000 + i, "memo " + std::to_string(i), "row " + std::to_string(i)));
    const std::uint32_t pagesBefore = jet::JetDatabase(path).file().pageCount();
    jet::JetDatabase(path, true).append("DateTest", appended);
    std::map<RowId, Row> expected;
    {
        // The pages added (past the range the file's inline page map covered) are no longer offered as
        // free, and of the pages the rows filled only the last still has room.
        const jet::JetDatabase written(path);
        ASSERT_GT(written.file().pageCount(), 512u);
        for (std::uint32_t free : jet::UsageMapPages(written.file(), jet::kFreePagesMap))
            EXPECT_FALSE(free >= pagesBefore && free < written.file().pageCount()) << "page " << free;
        const auto withRoom = jet::UsageMapPages(written.file(), written.table("DateTest").freeSpacePages);
        EXPECT_EQ(std::count_if(withRoom.begin(), withRoom.end(), [&](std::uint32_t p) { return p >= pagesBefore; }),
                  1);
        const auto read = JetRows(written, "DateTest");
        ASSERT_EQ(read.size(), 6 + appended.size());
        for (std::size_t r = 0; r < read.size(); ++r) {
            EXPECT_TRUE(r < 6 || SameRow(read[r].second, appended[r - 6])) << "row " << r;
            expected.insert(read[r]);
        }
    }
    EXPECT_EQ(TableProblems(path, "MSysObjects"), "");

    // The file's own rows take memos that grow into a long-value row and a chain, and shrink again.
    const std::vector<std::string> memos = {"", "short", std::string(3000, 'm'), std::string(300000, 'c')};
    for (std::size_t round = 0; round < 2; ++round) {
        std::vector<std::pair<RowId, Row>> changes;
        for (auto it = expected.begin(); changes.size() < 6; ++it) {
            if (it->second[0].integer > 6 || it->second[0].integer < 1)
                continue;
            it->second[4] = JetValue::utf8(memos[(changes.size() + round) % memos.size()]);
            it->second[5] = JetValue::utf8("changed " + std::to_string(round));
            changes.emplace_back(*it);
        }
        jet::JetDatabase(path, true).update("DateTest", changes);
    }
    removeAndExpect(path, "DateTest", expected, {});

    // Deleted rows take the long-value rows of their memos with them.
    std::vector<RowId> doomed, memoRows;
    for (const auto &[at, row] : expected)
        if (row[0].integer == 3 || row[0].integer == 12 || row[0].integer == 13)
            doomed.push_back(at);
    {
        const jet::JetDatabase database(path);
        const jet::TableDef table = database.table("DateTest");
        for (RowId at : doomed)
            jet::WithRow(database.file(), table, at, [&](jet::ByteView row) {
                for (jet::ByteView field : jet::LongValueFields(table, row))
                    for (RowId part : jet::LongValueRows(database.file(), field))
                        memoRows.push_back(part);
            });
    }
    EXPECT_GT(memoRows.size(), 300u); // chains for 300,000 bytes and for a megabyte
    removeAndExpect(path, "DateTest", expected, doomed);
    const jet::JetDatabase database(path);
    for (RowId part : memoRows)
        EXPECT_FALSE(jet::DataPage(database.file().read(part.page, "test"), part.page).inScan(part.row));

    // Emptied, and filled again.
    jet::JetDatabase(path, true).removeAll("DateTest");
    EXPECT_EQ(JetRows(jet::JetDatabase(path), "DateTest").size(), 0u);
    std::vector<Row> refill;
    for (int id = 100; id < 400; ++id)
        refill.push_back(dateTestRow(id, 40000, id % 3 ? "memo" : std::string(5000, 'm'), "row"));
    jet::JetDatabase(path, true).append("DateTest", refill);
    EXPECT_EQ(JetRows(jet::JetDatabase(path), "DateTest").size(), 300u);
    EXPECT_EQ(TableProblems(path, "DateTest"), "");
}

TEST_F(JetWrite, OneRowChangesOnlyItsDataPageAndTheTableDefinition) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    const std::string original = TempDir::readFile(path);
    jet::JetDatabase(path, true).append("DateTest", {dateTestRow(7, 44000.5, "short memo", "short text")});
    const std::string changed = TempDir::readFile(path);
    ASSERT_EQ(changed.size(), original.size());
    std::vector<std::size_t> changedPages;
    for (std::size_t page = 0; page * 4096 < original.size(); ++page)
        if (original.compare(page * 4096, 4096, changed, page * 4096, 4096) != 0)
            changedPages.push_back(page);
    EXPECT_EQ(changedPages, (std::vector<std::size_t>{18, 20})); // the definition, the one data page
    EXPECT_EQ(TableProblems(path, "DateTest"), "");
}

TEST_F(JetWrite, AnIndexKeepsInStepAsRowsAreAppendedChangedAndDeleted) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    // Keys out of order, negative, extreme and repeated; then enough of them, at random, to split the
    // index's one leaf into a node over leaves, and those leaves again.
    std::vector<Row> aces;
    for (std::int32_t id : {5, -3, 2147483647, 0, 17, -2147483647 - 1, 17, 4, 1000000})
        aces.push_back(aceRow(id));
    std::mt19937 random(26);
    for (int i = 0; i < 3000; ++i)
        aces.push_back(aceRow(static_cast<std::int32_t>(random() % 100000)));
    jet::JetDatabase(path, true).append("MSysACEs", aces);
    EXPECT_EQ(jet::JetDatabase(path).table("MSysACEs").rowCount, 76u + aces.size());
    EXPECT_EQ(TableProblems(path, "MSysACEs"), "");

    // Changed keys, twice over at random: every other change keeps the row's size (written in place),
    // the others grow it (moved).
    const auto rows = JetRows(jet::JetDatabase(path), "MSysACEs");
    std::map<RowId, Row> expected(rows.begin(), rows.end());
    std::vector<RowId> ids = idsOf(jet::JetDatabase(path), "MSysACEs");
    for (int round = 0; round < 2; ++round) {
        std::shuffle(ids.begin(), ids.end(), random);
        std::vector<std::pair<RowId, Row>> changes;
        for (std::size_t i = 0; i < 1000; ++i) {
            Row &row = expected[ids[i]];
            row[0] = JetValue::whole(100000 + static_cast<std::int64_t>(i) + round * 1000);
            row[1] = JetValue::bytes(i % 2 ? std::string(row[1].text.size(), 'x') : std::string(40 + i % 30, 'y'));
            row[3] = JetValue::yesNo(true);
            changes.emplace_back(ids[i], row);
        }
        jet::JetDatabase(path, true).update("MSysACEs", changes);
    }
    removeAndExpect(path, "MSysACEs", expected, {});

    // Deleted: every key below 50,000 (whole leaves emptied, which leave the tree), and half of the others.
    std::vector<RowId> doomed;
    for (const auto &[at, row] : expected)
        if (row[0].integer < 50000 || random() % 2)
            doomed.push_back(at);
    removeAndExpect(path, "MSysACEs", expected, doomed);
}

// Rows appended in key order (past the largest ObjectId the table holds, MSysDb's 0x10000000, as
// AutoNumbers come) fill each leaf to its last entry: the next leaf's first entry would not fit.
TEST_F(JetWrite, RowsInKeyOrderFillEachLeafToItsLastEntry) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    std::vector<Row> aces;
    for (std::int32_t id = 300000001; id <= 300005000; ++id)
        aces.push_back(aceRow(id));
    jet::JetDatabase(path, true).append("MSysACEs", aces);
    EXPECT_EQ(TableProblems(path, "MSysACEs"), "");
    const jet::JetDatabase database(path);
    const auto read = [&](std::uint32_t page) { return jet::IndexPage(database.file().read(page, "index"), page); };
    jet::IndexPage leaf = read(database.table("MSysACEs").trees[0].rootPage);
    while (!leaf.leaf())
        leaf = read(leaf.children().front());
    int leaves = 1;
    for (; leaf.nextPage() != 0; ++leaves) {
        const jet::IndexPage next = read(leaf.nextPage());
        std::vector<jet::IndexEntry> entries = leaf.entries();
        entries.push_back(next.entries().front());
        std::size_t bytes = 0;
        for (const jet::IndexEntry &entry : entries)
            bytes += entry.sortBytes().size();
        EXPECT_GT(jet::StoredEntriesSize(entries, bytes, true), jet::kIndexEntryRoom) << "leaf " << leaf.number();
        leaf = next;
    }
    EXPECT_GE(leaves, 5);
}

TEST_F(JetWrite, TextKeysGrowATreeOfThreeLevelsThatLosesThemAgain) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    // Letters, digits, spaces and underscores; then names of 120 letters, keys of about 130 bytes: some
    // 28 to a page, a third level within 2,000 rows.
    std::vector<Row> rows = {storageRow("Zebra 7"), storageRow("apple_pie"), storageRow("MIXED case")};
    std::mt19937 random(26);
    for (int n = 0; n < 2000; ++n) {
        std::string name;
        for (int i = 0; i < 120; ++i)
            name += static_cast<char>('a' + random() % 26);
        rows.push_back(storageRow(name));
    }
    jet::JetDatabase(path, true).append("MSysAccessStorage", rows);
    {
        // The deepest tree, followed down its first children.
        const jet::JetDatabase database(path);
        int depth = 0;
        for (const jet::IndexTree &tree : database.table("MSysAccessStorage").trees) {
            int levels = 1;
            for (jet::IndexPage page(database.file().read(tree.rootPage, "index"), tree.rootPage); !page.leaf();
                 ++levels) {
                const std::uint32_t child = page.children().front();
                page = jet::IndexPage(database.file().read(child, "index"), child);
            }
            depth = std::max(depth, levels);
        }
        EXPECT_EQ(depth, 3);
    }
    EXPECT_EQ(TableProblems(path, "MSysAccessStorage"), "");
    // The primary key's tree counts every row; the others add the keys new to them to the counts
    // Access left (14 and 3).
    EXPECT_EQ(distinctKeys(path, "MSysAccessStorage").first, (std::vector<std::uint32_t>{2026, 2017, 2006}));

    // They go again in random order, a few hundred at a time: pages left empty leave the tree, whose
    // other pages keep the system's own 23 rows.
    std::vector<RowId> ids;
    for (const auto &[at, row] : JetRows(jet::JetDatabase(path), "MSysAccessStorage"))
        if (row[4].text.size() == 120)
            ids.push_back(at);
    std::shuffle(ids.begin(), ids.end(), random);
    {
        jet::JetDatabase database(path, true);
        for (std::size_t from = 0; from < ids.size(); from += 250)
            database.remove("MSysAccessStorage", {ids.begin() + from, ids.begin() + std::min(from + 250, ids.size())});
    }
    EXPECT_EQ(jet::JetDatabase(path).table("MSysAccessStorage").rowCount, 26u);
    EXPECT_EQ(TableProblems(path, "MSysAccessStorage"), "");
}

// The navigation pane's groups point to its categories through a relationship Access enforces (and
// cascades): categories take new rows and changes that keep their Id, and lose only rows no group
// points to. A refused delete leaves the change as it was, with the deletes before it.
TEST_F(JetWrite, ARowThatAnotherTablesRowsPointToStays) {
    const std::string path = copyOf("DateTestDatabase.mdb");
    const std::string categories = "MSysNavPaneGroupCategories";
    const auto rowsById = [&] {
        std::map<std::int64_t, std::pair<RowId, Row>> rows;
        for (const auto &entry : JetRows(jet::JetDatabase(path), categories))
            rows[entry.second[0].integer] = entry;
        return rows;
    };
    jet::JetDatabase(path, true)
        .append(categories, {{JetValue::null(), JetValue::utf8("Mine"), JetValue::whole(4), JetValue::null(),
                              JetValue::null(), JetValue::whole(4), JetValue::whole(0)}});
    auto rows = rowsById();
    ASSERT_EQ(rows.size(), 4u);
    rows[3].second[1] = JetValue::utf8("Custom, renamed");
    jet::JetDatabase(path, true).update(categories, {rows[3]});
    {
        jet::JetDatabase database(path, true);
        database.begin();
        database.removeRow(categories, rows[4].first);
        for (std::int64_t pointedTo : {1, 2, 3})
            EXPECT_EQ(RefusalOf([&] { database.removeRow(categories, rows[pointedTo].first); }),
                      "The record cannot be deleted or changed because table 'MSysNavPaneGroups' includes related "
                      "records, which this engine does not delete or change with it.")
                << pointedTo;
        database.commit();
    }
    rows = rowsById();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[3].second[1].text, "Custom, renamed");
    EXPECT_EQ(TableProblems(path, categories), "");
}

// Names of many scripts, some sorting before, among and after the park's, with trailing spaces.
std::string guestName(std::mt19937 &random, int n) {
    static const std::vector<std::string> lasts = {"Aalto",   "Łukasiewicz", "Řezníček",     "Nguyễn", "Şahin",
                                                   "Żak",     "Ørsted",      "O'Brien",      "Zzyzx",  "Αλεξίου",
                                                   "Смирнов", "Ábel",        "van der Berg", "Ü",      "Ōta"};
    static const std::vector<std::string> firsts = {"Anna", "Čeněk", "", "Zoë", "Łucja", "Pierre-Luc", "Ștefan"};
    return lasts[random() % lasts.size()] + ", " + firsts[random() % firsts.size()] + std::to_string(n % 7);
}

TEST_F(JetWrite, GuestsAddedChangedAndDeletedInAJackcessParkKeepEveryIndexInStep) {
    const std::string path = copyOf("jackcess-park.mdb");
    std::mt19937 random(34);
    jet::JetDatabase database(path, true);
    const jet::TableDef guest = database.table("Guest");
    std::vector<Row> rows;
    for (int n = 0; n < 2000; ++n)
        rows.push_back(jet::RowOf(guest, {{"Name", JetValue::utf8(guestName(random, n))},
                                          {"NoRent", JetValue::yesNo(n % 2)},
                                          {"Arrival", JetValue::date(n % 3 ? 30000.0 + n : -1000.25 - n)},
                                          {"NoPeople", JetValue::whole(n % 9 - 2)}}));
    database.append("Guest", rows);
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");

    // The rows whose primary-key entries sit in the tail leaf, the last one under the root, and some
    // before it, are changed, then some deleted.
    const std::vector<RowId> ids = idsOf(database, "Guest");
    std::vector<std::pair<RowId, Row>> changes;
    for (std::size_t i = ids.size() - 300; i < ids.size(); i += 3) {
        Row row = database.row(guest, ids[i]);
        row[1] = JetValue::utf8(guestName(random, static_cast<int>(i)) + "   ");
        changes.emplace_back(ids[i], row);
    }
    database.update("Guest", changes);
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");
    std::vector<RowId> gone = {ids[5]};
    for (std::size_t i = ids.size() - 400; i < ids.size(); i += 2)
        gone.push_back(ids[i]);
    database.remove("Guest", gone);
    EXPECT_EQ(database.table("Guest").rowCount, 19500u + 2000u - gone.size());
    EXPECT_EQ(IndexProblems(path, {"Guest"}), "");

    // Compaction puts every row back, counts each index's distinct keys and keeps the reservations'
    // index in step; the outside readers read the guests as the engine does. The pages it gives back
    // below a table made last, which keeps them in the file, are blank.
    database.createTable({"Last", {{"Word", jet::ColumnKind::Text, 20, false, ""}}, ""});
    database.append("Last", {{JetValue::utf8("last")}});
    const std::vector<std::uint32_t> freeBefore = jet::UsageMapPages(database.file(), jet::kFreePagesMap);
    database.pack({"Guest", "Sites", "OtherCharges"});
    int givenBack = 0;
    for (std::uint32_t page : jet::UsageMapPages(database.file(), jet::kFreePagesMap)) {
        if (page >= database.file().pageCount() || std::count(freeBefore.begin(), freeBefore.end(), page))
            continue;
        const jet::Page given = database.file().read(page, "free page");
        EXPECT_EQ(std::count(given.data(), given.data() + 4096, 0), 4096) << "page " << page;
        ++givenBack;
    }
    EXPECT_GT(givenBack, 0);
    EXPECT_EQ(IndexProblems(path, {"Guest", "Sites", "OtherCharges", "Reservations"}), "");
    for (const char *table : {"Guest", "Sites", "OtherCharges"}) {
        const auto [kept, given] = distinctKeys(path, table);
        EXPECT_EQ(kept, given) << table;
    }
    EXPECT_EQ(CompareWithOutsideReaders(path, "Guest"), "");
}

TEST_F(JetWrite, ALeafFilledToItsLastByteIsReadWholeAndSplitByTheNextEntry) {
    const std::string path = copyOf("jackcess-park.mdb");
    jet::JetDatabase(path, true).createTable({"Full", {{"Word", jet::ColumnKind::Text, 255, false, ""}}, "Word"});
    // A text key of n lowercase letters takes n + 3 bytes (flag, section end, key end), its entry four
    // more for the row. 16 entries share only the flag byte: 3,519 letters + 16 * 7 - 15 = 3,616 bytes,
    // the page's room.
    std::vector<Row> rows;
    for (int i = 0; i < 16; ++i)
        rows.push_back({JetValue::utf8(static_cast<char>('b' + i) + std::string(i < 15 ? 219 : 218, 'q'))});
    jet::JetDatabase(path, true).append("Full", rows);
    {
        const jet::JetDatabase database(path);
        const jet::IndexTree tree = database.table("Full").trees[0];
        const jet::Page root = database.file().read(tree.rootPage, "index");
        EXPECT_EQ(root.view("leaf").u16(2), 0u); // no free space left
        EXPECT_EQ(jet::IndexPage(root, tree.rootPage).entries().size(), 16u);
    }
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    jet::JetDatabase(path, true).append("Full", {{JetValue::utf8("c")}, {JetValue::utf8("a")}});
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    const std::vector<RowId> ids = idsOf(jet::JetDatabase(path), "Full");
    jet::JetDatabase(path, true).remove("Full", {ids[15], ids[0]});
    EXPECT_EQ(TableProblems(path, "Full"), "");
}

// Access's descending Long index of 512 rows: a node page with one entry and a tail leaf of nulls.
TEST_F(JetWrite, AccessDescendingIndexWithATailTakesRowsAtBothEndsAndBetween) {
    for (const char *file : {"compIndexTestV2000.mdb", "compIndexTestV2003.mdb"}) {
        SCOPED_TRACE(file);
        const std::string path = copyOf(file);
        jet::JetDatabase database(path, true);
        const jet::TableDef table = database.table("Table1");
        std::vector<Row> rows;
        for (std::int64_t n : {-5, 0, 100000, 19, 4000, 2147483647})
            rows.push_back(jet::RowOf(table, {{"CD_AGENTE", JetValue::whole(n)}, {"RS_AGENTE", JetValue::utf8("x")}}));
        rows.push_back(jet::RowOf(table, {{"RS_AGENTE", JetValue::utf8("null key")}}));
        database.append("Table1", rows);
        EXPECT_EQ(IndexProblems(path, {"Table1"}), "");
        const std::vector<RowId> ids = idsOf(database, "Table1");
        database.remove("Table1", {ids[0], ids[200], ids[ids.size() - 1], ids[ids.size() - 3]});
        EXPECT_EQ(TableProblems(path, "Table1"), "");
    }
}

} // namespace
} // namespace tarnwick
