// Rows appended, changed and deleted in tables of every shape, in files Access, Jackcess and the engine
// wrote: Access's DateTestDatabase.mdb (memos in and out of long-value rows, its system tables'
// indexes), Jackcess's park of 19,500 guests (trees whose node pages name their last child only in
// the tail pointer) and its tables of keys of each kind, Access's descending index with a tail, and
// tables the engine made, then packed. After each step the rows are read back where they were, with
// their AutoNumbers, every index walks clean, every key is the one the engine builds, and mdb-export
// and mdb-reader read what the engine reads.
#include "base/VbDate.h"
#include "db/DbError.h"
#include "db/JetParkTables.h"
#include "db/jet/DataPage.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/IndexKey.h"
#include "db/jet/IndexPage.h"
#include "db/jet/LongValue.h"
#include "db/jet/NamedRows.h"
#include "db/jet/RowDecoder.h"
#include "db/jet/TableRows.h"
#include "db/jet/UsageMap.h"
#include "support/CaseName.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

namespace tarnwick {
namespace {

using jet::ColumnKind;
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

// Names of many scripts, some sorting before, among and after the park's, with trailing spaces.
std::string guestName(std::mt19937 &random, int n) {
    static const std::vector<std::string> lasts = {"Aalto",   "Łukasiewicz", "Řezníček",     "Nguyễn", "Şahin",
                                                   "Żak",     "Ørsted",      "O'Brien",      "Zzyzx",  "Αλεξίου",
                                                   "Смирнов", "Ábel",        "van der Berg", "Ü",      "Ōta"};
    static const std::vector<std::string> firsts = {"Anna", "Čeněk", "", "Zoë", "Łucja", "Pierre-Luc", "Ștefan"};
    return lasts[random() % lasts.size()] + ", " + firsts[random() % firsts.size()] + std::to_string(n % 7);
}

jet::ColumnDesign column(const std::string &name, ColumnKind kind, std::uint16_t textLength = 0,
                         const std::string &defaultValue = "") {
    return {name, kind, textLength, false, defaultValue};
}

const jet::TableDesign kEveryKind{"Kinds",
                                  {{"ID", ColumnKind::Long, 0, true, ""},
                                   column("Tiny", ColumnKind::Byte, 0, "0"),
                                   column("Small", ColumnKind::Integer),
                                   column("Whole", ColumnKind::Long),
                                   column("Money", ColumnKind::Currency),
                                   column("Single", ColumnKind::Single),
                                   column("Real", ColumnKind::Double),
                                   column("When", ColumnKind::DateTime),
                                   column("Flag", ColumnKind::YesNo, 0, "No"),
                                   column("Letter", ColumnKind::Text, 1),
                                   column("Words", ColumnKind::Text, 255),
                                   column("Notes", ColumnKind::Memo),
                                   column("Blob", ColumnKind::Ole)},
                                  "ID"};

// Text of `length` characters, some of them outside ASCII and some outside Windows-1252.
std::string sampleText(std::size_t length, int i) {
    static const std::vector<std::string> pieces = {"a", "Z", "7", " ", "é", "ß", "€", "漢", "\"", ","};
    std::string text;
    for (std::size_t n = 0; n < length; ++n)
        text += pieces[(static_cast<std::size_t>(i) + n) % pieces.size()];
    return text;
}

// A value for row `i` of a column of `column`'s kind: varied, sometimes at its limits, every seventh null
// (where no default value would take the place of a null).
JetValue sampleValue(const jet::ColumnDesign &column, int i) {
    if (i % 7 == 3 && !column.autoNumber && column.defaultValue.empty())
        return JetValue::null();
    switch (column.kind) {
    case ColumnKind::Byte:
        return JetValue::whole(i % 256);
    case ColumnKind::Integer:
        return JetValue::whole(i % 65536 - 32768);
    case ColumnKind::Long:
        return JetValue::whole(i % 2 ? -2147483647 - 1 + i : 2147483647 - i);
    case ColumnKind::Currency:
        return JetValue::currency((static_cast<std::int64_t>(i) * 1234567) % 922337203685477 - 461168601842738);
    case ColumnKind::Single:
        return JetValue::number(static_cast<float>(i) / 8);
    case ColumnKind::Double:
        return JetValue::number(i * -1.0e-3 + 1.0e300 * (i % 5 == 0));
    case ColumnKind::DateTime: // 100-01-01 to 9999-12-31, with times of day
        return JetValue::date(static_cast<double>(-657434 + static_cast<std::int64_t>(i) * 7919 % 3615897) +
                              (i % 96) / 96.0);
    case ColumnKind::YesNo:
        return JetValue::yesNo(i % 2);
    case ColumnKind::Text:
        return JetValue::utf8(sampleText(1 + static_cast<std::size_t>(i) % column.textLength, i));
    case ColumnKind::Memo:
        return JetValue::utf8(sampleText(static_cast<std::size_t>(i % 300), i));
    case ColumnKind::Ole:
        return JetValue::bytes(std::string(static_cast<std::size_t>(i % 100), static_cast<char>(i)));
    default:
        return JetValue::null();
    }
}

std::vector<Row> sampleRows(const jet::TableDesign &design, int first, int count) {
    std::vector<Row> rows;
    for (int i = first; i < first + count; ++i) {
        Row row;
        for (const jet::ColumnDesign &column : design.columns)
            row.push_back(sampleValue(column, i));
        rows.push_back(std::move(row));
    }
    return rows;
}

// The rows of `table` by their first column's value, each with where it is.
std::map<std::int64_t, std::pair<RowId, Row>> rowsById(const std::string &path, const std::string &table) {
    std::map<std::int64_t, std::pair<RowId, Row>> byId;
    for (const auto &entry : JetRows(jet::JetDatabase(path), table))
        byId[entry.second[0].integer] = entry;
    return byId;
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

jet::IndexPage indexPage(const jet::JetDatabase &database, std::uint32_t page) {
    return jet::IndexPage(database.file().read(page, "index"), page);
}

// The first leaf of `tree`, reached through each node's first child; `levels` counts the pages on the way.
jet::IndexPage firstLeaf(const jet::JetDatabase &database, const jet::IndexTree &tree, int &levels) {
    jet::IndexPage page = indexPage(database, tree.rootPage);
    for (levels = 1; !page.leaf(); ++levels)
        page = indexPage(database, page.children().front());
    return page;
}

// Which row a shape's rule is asked about: its place in the engine's order among `count`, the round of
// changes, and the shape's random numbers.
struct At {
    std::size_t n, count;
    int round;
    std::mt19937 &random;
};

// A table written into: the rows appended (given its definition), how some of the rows then held are
// changed (twice over) and which are deleted, and checks of the shape's own after the append (which
// may write more) and after the deletes.
struct Shape {
    const char *name;
    const char *file; // an Access file; nullptr for a new database holding `design`
    jet::TableDesign design;
    std::function<std::vector<Row>(const jet::JetDatabase &, const std::string &table, std::mt19937 &)> rows;
    std::function<bool(Row &, const At &)> change = nullptr; // changes the row and says so, or leaves it
    std::function<bool(const Row &, const At &)> doomed = nullptr;
    std::function<void(const std::string &path)> afterAppend = nullptr, afterRemove = nullptr;
};
void PrintTo(const Shape &shape, std::ostream *os) {
    *os << shape.name;
}

class Written : public testing::TestWithParam<Shape> {};

TEST_P(Written, EveryReaderAgreesAfterAppendsChangesAndDeletes) {
    const Shape &shape = GetParam();
    const std::string &table = shape.design.name;
    TempDir dir;
    const std::string path = dir.file("written.mdb");
    if (shape.file) {
        SKIP_WITHOUT_ACCESS_FILES();
        CopyOfAccessFile(shape.file, path);
    } else {
        jet::CreateEmptyDatabase(path);
        jet::JetDatabase(path, true).createTable(shape.design);
    }
    std::mt19937 random(26);
    const auto before = JetRows(jet::JetDatabase(path), table);
    std::map<RowId, Row> expected(before.begin(), before.end());
    const jet::TableDef definition = jet::JetDatabase(path).table(table);
    std::vector<Row> appended = shape.rows(jet::JetDatabase(path), table, random);
    jet::JetDatabase(path, true).append(table, appended);
    // The rows appended are read back, in their order, beside the rows there before, numbered on from
    // the table's last AutoNumber.
    if (const std::size_t counted = definition.autoNumberColumn(); counted < definition.columns.size())
        for (std::size_t r = 0; r < appended.size(); ++r)
            appended[r][counted] = JetValue::whole(definition.lastAutoNumber + 1 + static_cast<std::int64_t>(r));
    std::vector<Row> added;
    for (const auto &[at, row] : JetRows(jet::JetDatabase(path), table))
        if (!expected.count(at))
            added.push_back(row);
    ASSERT_EQ(added.size(), appended.size());
    for (std::size_t r = 0; r < added.size(); ++r)
        EXPECT_TRUE(SameRow(added[r], appended[r])) << "appended row " << r;
    EXPECT_EQ(jet::JetDatabase(path).table(table).rowCount, before.size() + appended.size());
    if (shape.afterAppend)
        shape.afterAppend(path);
    EXPECT_EQ(IndexProblems(path, {table}), "");

    const auto rows = JetRows(jet::JetDatabase(path), table);
    expected = {rows.begin(), rows.end()};
    for (int round = 0; round < 2 && shape.change; ++round) {
        std::vector<std::pair<RowId, Row>> changes;
        std::size_t n = 0;
        for (auto &[at, row] : expected)
            if (shape.change(row, At{n++, expected.size(), round, random}))
                changes.emplace_back(at, row);
        jet::JetDatabase(path, true).update(table, changes);
    }
    // Deleted a few hundred at a time in random order, each taking its memos' long-value rows with it.
    std::vector<RowId> doomed, longValueRows;
    std::size_t n = 0;
    for (const auto &[at, row] : expected)
        if (shape.doomed && shape.doomed(row, At{n++, expected.size(), 0, random}))
            doomed.push_back(at);
    std::shuffle(doomed.begin(), doomed.end(), random);
    {
        jet::JetDatabase database(path, true);
        const jet::TableDef definition = database.table(table);
        for (RowId at : doomed)
            jet::WithRow(database.file(), definition, at, [&](jet::ByteView row) {
                for (jet::ByteView field : jet::LongValueFields(definition, row))
                    for (RowId part : jet::LongValueRows(database.file(), field))
                        longValueRows.push_back(part);
            });
        for (std::size_t from = 0; from < doomed.size(); from += 250)
            database.remove(table, {doomed.begin() + from, doomed.begin() + std::min(from + 250, doomed.size())});
    }
    for (RowId at : doomed)
        expected.erase(at);
    const jet::JetDatabase database(path);
    for (RowId part : longValueRows)
        EXPECT_FALSE(jet::DataPage(database.file().read(part.page, "test"), part.page).inScan(part.row));
    const auto read = JetRows(database, table);
    EXPECT_EQ(read.size(), expected.size());
    for (const auto &[at, row] : read)
        EXPECT_TRUE(expected.count(at) && SameRow(expected.at(at), row)) << "page " << at.page << " row " << at.row;
    if (shape.afterRemove)
        shape.afterRemove(path);
    EXPECT_EQ(TableProblems(path, table), "");
}

jet::TableDesign inFile(const char *table) {
    return {table, {}, ""};
}

std::vector<Row> dateTestRows(const jet::JetDatabase &, const std::string &, std::mt19937 &) {
    std::vector<Row> rows = {
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
        rows.push_back(dateTestRow(100 + i, 40000 + i, "memo " + std::to_string(i), "row " + std::to_string(i)));
    return rows;
}

// The pages added (past the range the file's inline page map covered) are no longer offered as free,
// of the pages the rows filled only the last still has room, and the catalog reads as it did.
void dateTestPages(const std::string &path) {
    const std::uint32_t pagesBefore = std::filesystem::file_size(kAccessFolder / "DateTestDatabase.mdb") / 4096;
    const jet::JetDatabase written(path);
    ASSERT_GT(written.file().pageCount(), 512u);
    for (std::uint32_t free : jet::UsageMapPages(written.file(), jet::kFreePagesMap))
        EXPECT_FALSE(free >= pagesBefore && free < written.file().pageCount()) << "page " << free;
    const auto withRoom = jet::UsageMapPages(written.file(), written.table("DateTest").freeSpacePages);
    EXPECT_EQ(std::count_if(withRoom.begin(), withRoom.end(), [&](std::uint32_t p) { return p >= pagesBefore; }), 1);
    EXPECT_EQ(TableProblems(path, "MSysObjects"), "");
}

// The file's own rows take memos that grow into a long-value row and a chain, and shrink again.
bool dateTestMemo(Row &row, const At &at) {
    static const std::vector<std::string> memos = {"", "short", std::string(3000, 'm'), std::string(300000, 'c')};
    if (row[0].integer < 1 || row[0].integer > 6)
        return false;
    row[4] = JetValue::utf8(memos[(row[0].integer + at.round) % memos.size()]);
    row[5] = JetValue::utf8("changed " + std::to_string(at.round));
    return true;
}

// Keys out of order, negative, extreme and repeated; then enough of them, at random, to split the
// index's one leaf into a node over leaves, and those leaves again.
std::vector<Row> randomAces(const jet::JetDatabase &, const std::string &, std::mt19937 &random) {
    std::vector<Row> aces;
    for (std::int32_t id : {5, -3, 2147483647, 0, 17, -2147483647 - 1, 17, 4, 1000000})
        aces.push_back(aceRow(id));
    for (int i = 0; i < 3000; ++i)
        aces.push_back(aceRow(static_cast<std::int32_t>(random() % 100000)));
    return aces;
}

// A third of the keys changed in each round: every other change keeps the row's size (written in place),
// the others grow it (moved).
bool changedAce(Row &row, const At &at) {
    if (at.random() % 3)
        return false;
    row[0] = JetValue::whole(100000 + static_cast<std::int64_t>(at.n) + at.round * 10000);
    row[1] = JetValue::bytes(at.n % 2 ? std::string(row[1].text.size(), 'x') : std::string(40 + at.n % 30, 'y'));
    row[3] = JetValue::yesNo(true);
    return true;
}

// Rows appended in key order (past the largest ObjectId the table holds, MSysDb's 0x10000000, as
// AutoNumbers come) fill each leaf to its last entry: the next leaf's first entry would not fit.
void leavesFilled(const std::string &path) {
    const jet::JetDatabase database(path);
    int levels = 0, leaves = 1;
    for (jet::IndexPage leaf = firstLeaf(database, database.table("MSysACEs").trees[0], levels); leaf.nextPage() != 0;
         ++leaves) {
        const jet::IndexPage next = indexPage(database, leaf.nextPage());
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

// Letters, digits, spaces and underscores; then names of 120 letters, keys of about 130 bytes: some 28
// to a page, a third level within 2,000 rows. They go again, pages left empty leaving the tree.
std::vector<Row> storageNames(const jet::JetDatabase &, const std::string &, std::mt19937 &random) {
    std::vector<Row> rows = {storageRow("Zebra 7"), storageRow("apple_pie"), storageRow("MIXED case")};
    for (int n = 0; n < 2000; ++n) {
        std::string name;
        for (int i = 0; i < 120; ++i)
            name += static_cast<char>('a' + random() % 26);
        rows.push_back(storageRow(name));
    }
    return rows;
}

// The deepest tree has three levels. The primary key's tree counts every row; the others add the
// keys new to them to the counts Access left (14 and 3).
void threeLevels(const std::string &path) {
    const jet::JetDatabase database(path);
    int depth = 0;
    for (const jet::IndexTree &tree : database.table("MSysAccessStorage").trees) {
        int levels = 0;
        firstLeaf(database, tree, levels);
        depth = std::max(depth, levels);
    }
    EXPECT_EQ(depth, 3);
    EXPECT_EQ(distinctKeys(path, "MSysAccessStorage").first, (std::vector<std::uint32_t>{2026, 2017, 2006}));
}

std::vector<Row> guests(const jet::JetDatabase &database, const std::string &table, std::mt19937 &random) {
    const jet::TableDef guest = database.table(table);
    std::vector<Row> rows;
    for (int n = 0; n < 2000; ++n)
        rows.push_back(jet::RowOf(guest, {{"Name", JetValue::utf8(guestName(random, n))},
                                          {"NoRent", JetValue::yesNo(n % 2)},
                                          {"Arrival", JetValue::date(n % 3 ? 30000.0 + n : -1000.25 - n)},
                                          {"NoPeople", JetValue::whole(n % 9 - 2)}}));
    return rows;
}

// A text key of n lowercase letters takes n + 3 bytes (flag, section end, key end), its entry four
// more for the row. 16 entries share only the flag byte: 3,519 letters + 16 * 7 - 15 = 3,616 bytes,
// the page's room.
std::vector<Row> fullLeaf(const jet::JetDatabase &, const std::string &, std::mt19937 &) {
    std::vector<Row> rows;
    for (int i = 0; i < 16; ++i)
        rows.push_back({JetValue::utf8(static_cast<char>('b' + i) + std::string(i < 15 ? 219 : 218, 'q'))});
    return rows;
}

// The leaf is read whole, and split by the next entries, first and among the others.
void fullLeafSplit(const std::string &path) {
    {
        const jet::JetDatabase database(path);
        const jet::IndexTree tree = database.table("Full").trees[0];
        const jet::Page root = database.file().read(tree.rootPage, "index");
        EXPECT_EQ(root.view("leaf").u16(2), 0u); // no free space left
        EXPECT_EQ(jet::IndexPage(root, tree.rootPage).entries().size(), 16u);
    }
    EXPECT_EQ(IndexProblems(path, {"Full"}), "");
    jet::JetDatabase(path, true).append("Full", {{JetValue::utf8("c")}, {JetValue::utf8("a")}});
}

// Guest's rows take some 800 pages: its page maps move out of their rows into map pages, and its
// primary key grows a node over leaves. Every 19th row is changed, keeping its number, and the one
// after it deleted, as is the last (whose number the next row must not take again).
const jet::TableDesign &guestDesign() {
    static const jet::TableDesign guest = JetParkTables()[1];
    return guest;
}
std::vector<Row> parkGuests(const jet::JetDatabase &, const std::string &, std::mt19937 &) {
    return sampleRows(guestDesign(), 0, 4000);
}
bool parkGuestChanged(Row &row, const At &at) {
    if (at.n % 19)
        return false;
    Row changed = sampleRows(guestDesign(), 500000 + static_cast<int>(at.n) + at.round * 100000, 1)[0];
    changed[0] = row[0];
    row = changed;
    return true;
}

// Every kind of value, and memos of each size a long value takes.
std::vector<Row> everyKind(const jet::JetDatabase &, const std::string &, std::mt19937 &) {
    std::vector<Row> rows = sampleRows(kEveryKind, 0, 1000);
    for (std::size_t bytes : {0, 64, 65, 4000, 1 << 20}) {
        rows.push_back(sampleRows(kEveryKind, 1, 1)[0]);
        rows.back()[11] = JetValue::utf8(std::string(bytes, 'm'));
    }
    return rows;
}

// Compaction of `tables` keeps every row under its number and holds fewer pages when rows were lost
// (as many when none were: the numbers have no gaps), none of them free; it counts each index's
// distinct keys, leaves MSysACEs' pages as they were, and the first table numbers on from where it
// was (its last AutoNumber before).
// The pages given back are cut off the end of the file, or, below a table made last, blanked.
void packed(const std::string &path, std::vector<std::string> tables, bool madeLast) {
    if (madeLast) {
        jet::JetDatabase database(path, true);
        database.createTable({"Last", {{"Word", ColumnKind::Text, 20, false, ""}}, ""});
        database.append("Last", {{JetValue::utf8("last")}});
    }
    std::map<std::string, std::map<std::int64_t, std::pair<RowId, Row>>> rowsBefore;
    std::map<std::string, std::set<std::uint32_t>> pagesBefore;
    for (const std::string &table : tables) {
        rowsBefore[table] = rowsById(path, table);
        pagesBefore[table] = PagesHeldBy(jet::JetDatabase(path), table);
    }
    const std::uint32_t last = jet::JetDatabase(path).table(tables[0]).lastAutoNumber;
    const std::string fileBefore = TempDir::readFile(path);
    const auto freeBefore = jet::UsageMapPages(jet::JetDatabase(path).file(), jet::kFreePagesMap);
    jet::JetDatabase(path, true).pack(tables);
    const std::string fileAfter = TempDir::readFile(path);
    const jet::JetDatabase database(path);
    const auto free = jet::UsageMapPages(database.file(), jet::kFreePagesMap);
    int givenBack = 0;
    for (std::uint32_t page : free)
        if (page < database.file().pageCount() && !std::count(freeBefore.begin(), freeBefore.end(), page)) {
            const jet::Page given = database.file().read(page, "free page");
            EXPECT_EQ(std::count(given.data(), given.data() + 4096, 0), 4096) << "page " << page;
            ++givenBack;
        }
    bool lost = false;
    for (const std::string &table : tables) {
        SCOPED_TRACE(table);
        const auto rows = rowsById(path, table);
        const auto &before = rowsBefore[table];
        EXPECT_TRUE(std::equal(rows.begin(), rows.end(), before.begin(), before.end(), [](auto &x, auto &y) {
            return x.first == y.first && SameRow(x.second.second, y.second.second);
        }));
        const std::set<std::uint32_t> held = PagesHeldBy(database, table);
        const bool lostRows = !before.empty() && before.rbegin()->first != static_cast<std::int64_t>(before.size());
        EXPECT_EQ(held.size() < pagesBefore[table].size(), lostRows) << held.size() << " pages held";
        lost = lost || lostRows;
        for (std::uint32_t page : held)
            EXPECT_EQ(std::count(free.begin(), free.end(), page), 0) << "page " << page << " is held and free";
        const auto [kept, given] = distinctKeys(path, table);
        EXPECT_EQ(kept, given);
    }
    EXPECT_EQ(givenBack > 0, madeLast && lost);
    EXPECT_EQ(fileAfter.size() < fileBefore.size(), !madeLast && lost);
    for (std::uint32_t page : PagesHeldBy(database, "MSysACEs"))
        EXPECT_EQ(fileAfter.compare(page * 4096, 4096, fileBefore, page * 4096, 4096), 0) << "MSysACEs page " << page;
    jet::JetDatabase(path, true).append(tables[0], {jet::RowOf(database.table(tables[0]), {})});
    EXPECT_EQ(rowsById(path, tables[0]).rbegin()->first, last + 1);
}

// Access's descending Long index of 512 rows: a node page with one entry and a tail leaf of nulls.
std::vector<Row> agents(const jet::JetDatabase &database, const std::string &name, std::mt19937 &) {
    const jet::TableDef table = database.table(name);
    std::vector<Row> rows;
    for (std::int64_t n : {-5, 0, 100000, 19, 4000, 2147483647})
        rows.push_back(jet::RowOf(table, {{"CD_AGENTE", JetValue::whole(n)}, {"RS_AGENTE", JetValue::utf8("x")}}));
    rows.push_back(jet::RowOf(table, {{"RS_AGENTE", JetValue::utf8("null key")}}));
    return rows;
}
bool atBothEndsAndBetween(const Row &, const At &at) {
    return at.n == 0 || at.n == 200 || at.n + 1 == at.count || at.n + 3 == at.count;
}
// Emptied, and filled again.
void refilled(const std::string &path) {
    jet::JetDatabase(path, true).removeAll("Table1");
    EXPECT_EQ(JetRows(jet::JetDatabase(path), "Table1").size(), 0u);
    EXPECT_EQ(jet::JetDatabase(path).table("Table1").rowCount, 0u);
    std::mt19937 unused;
    jet::JetDatabase database(path, true);
    database.append("Table1", agents(database, "Table1", unused));
}

// The rows Jackcess put in its table of keys of one kind (ascending and descending, nulls among them),
// appended again twice over in random order, and a third of all deleted.
Shape jackcessKeys(const char *table) {
    return {table,
            "jackcess-keys.mdb",
            inFile(table),
            [](const jet::JetDatabase &database, const std::string &name, std::mt19937 &random) {
                std::vector<Row> rows;
                for (int times = 0; times < 2; ++times)
                    for (const auto &[at, row] : JetRows(database, name))
                        rows.push_back(row);
                std::shuffle(rows.begin(), rows.end(), random);
                return rows;
            },
            nullptr,
            [](const Row &, const At &at) { return at.n % 3 == 0; }};
}

// Saved queries' rows: Byte keys (their attribute) and Binary keys (object, attribute and an order of
// up to 40 bytes, many of them zero), appended to the query table of a database Access made.
std::vector<Row> queryRows(const jet::JetDatabase &, const std::string &, std::mt19937 &random) {
    std::vector<Row> rows;
    for (std::int64_t n = 0; n < 2000; ++n) {
        std::string order(random() % 41, '\0');
        for (char &c : order)
            c = static_cast<char>(random() % 4 ? random() : 0);
        rows.push_back({JetValue::whole(n % 9 - 4), JetValue::whole(n % 256), JetValue::bytes(order),
                        JetValue::utf8("Sites"), JetValue::null(), JetValue::null(), JetValue::whole(0),
                        JetValue::null()});
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Written,
    testing::Values(
        Shape{"Access date test rows of every shape", "DateTestDatabase.mdb", inFile("DateTest"), dateTestRows,
              dateTestMemo,
              [](const Row &row, const At &) {
                  return row[0].integer == 12 || (row[0].integer > 99 && row[0].integer % 2);
              },
              dateTestPages},
        Shape{"Access system keys at random", "DateTestDatabase.mdb", inFile("MSysACEs"), randomAces, changedAce,
              [](const Row &row, const At &at) { return row[0].integer < 50000 || at.random() % 2; }},
        // The fill at scale: 100,000 rows in key order, some 170 full leaves under their nodes.
        Shape{"Access system keys in order", "DateTestDatabase.mdb", inFile("MSysACEs"),
              [](const jet::JetDatabase &, const std::string &, std::mt19937 &) {
                  std::vector<Row> aces;
                  for (std::int32_t id = 300000001; id <= 300100000; ++id)
                      aces.push_back(aceRow(id));
                  return aces;
              },
              nullptr, nullptr, leavesFilled},
        Shape{"Access storage names three levels deep", "DateTestDatabase.mdb", inFile("MSysAccessStorage"),
              storageNames, nullptr, [](const Row &row, const At &) { return row[4].text.size() == 120; }, threeLevels},
        // The rows whose primary-key entries sit in the tail leaf, the last one under the root, and
        // some before it, are changed, then some deleted.
        Shape{"Jackcess park guests", "jackcess-park.mdb", inFile("Guest"), guests,
              [](Row &row, const At &at) {
                  if (at.n + 300 < at.count || at.n % 3)
                      return false;
                  row[1] = JetValue::utf8(guestName(at.random, static_cast<int>(at.n)) + "   ");
                  return true;
              },
              [](const Row &, const At &at) { return at.n == 5 || (at.n + 400 >= at.count && at.n % 2 == 0); }, nullptr,
              [](const std::string &path) {
                  packed(path, {"Guest", "Sites", "OtherCharges"}, true);
                  EXPECT_EQ(IndexProblems(path, {"Sites", "OtherCharges", "Reservations"}), "");
              }},
        Shape{"a leaf filled to its last byte",
              nullptr,
              {"Full", {{"Word", ColumnKind::Text, 255, false, ""}}, "Word"},
              fullLeaf,
              nullptr,
              [](const Row &, const At &at) { return at.n == 0 || at.n == 15; },
              fullLeafSplit},
        Shape{"Access descending index 2000", "compIndexTestV2000.mdb", inFile("Table1"), agents, nullptr,
              atBothEndsAndBetween},
        Shape{"Access descending index 2003", "compIndexTestV2003.mdb", inFile("Table1"), agents, nullptr,
              atBothEndsAndBetween, nullptr, refilled},
        Shape{"new park guests", nullptr, guestDesign(), parkGuests, parkGuestChanged,
              [](const Row &, const At &at) { return at.n % 19 == 1 || at.n + 1 == at.count; }, nullptr,
              [](const std::string &path) { packed(path, {"Guest"}, false); }},
        // The catalog row of the table made, with its default values, reads alike for every reader.
        Shape{"new table of every kind", nullptr, kEveryKind, everyKind, nullptr, nullptr,
              [](const std::string &path) { EXPECT_EQ(TableProblems(path, "MSysObjects"), ""); },
              [](const std::string &path) { packed(path, {"Kinds"}, false); }},
        Shape{"Access saved query keys", "emptyJet4.mdb", inFile("MSysQueries"), queryRows, nullptr,
              [](const Row &, const At &at) { return at.n % 3 == 0; }},
        jackcessKeys("KeyInteger"), jackcessKeys("KeyLong"), jackcessKeys("KeyCurrency"), jackcessKeys("KeySingle"),
        jackcessKeys("KeyDouble"), jackcessKeys("KeyYesNo"), jackcessKeys("KeyDate"), jackcessKeys("KeyText"),
        jackcessKeys("KeyBinary")),
    [](const testing::TestParamInfo<Shape> &info) { return CaseName(info.param.name); });

TEST(JetWrite, OneRowChangesOnlyItsDataPageAndTheTableDefinition) {
    SKIP_WITHOUT_ACCESS_FILES();
    TempDir dir;
    const std::string path = CopyOfAccessFile("DateTestDatabase.mdb", dir.file("d.mdb"));
    const std::string original = TempDir::readFile(path);
    jet::JetDatabase(path, true).append("DateTest", {dateTestRow(7, 44000.5, "short memo", "short text")});
    const std::string changed = TempDir::readFile(path);
    ASSERT_EQ(changed.size(), original.size());
    std::vector<std::size_t> changedPages;
    for (std::size_t page = 0; page * 4096 < original.size(); ++page)
        if (original.compare(page * 4096, 4096, changed, page * 4096, 4096) != 0)
            changedPages.push_back(page);
    EXPECT_EQ(changedPages, (std::vector<std::size_t>{18, 20})); // the definition, the one data page
}

// The navigation pane's groups point to its categories through a relationship Access enforces (and
// cascades): categories take new rows and changes that keep their Id, and lose only rows no group
// points to. A refused delete leaves the change as it was, with the deletes before it.
TEST(JetWrite, ARowThatAnotherTablesRowsPointToStays) {
    SKIP_WITHOUT_ACCESS_FILES();
    TempDir dir;
    const std::string path = CopyOfAccessFile("DateTestDatabase.mdb", dir.file("d.mdb"));
    const std::string categories = "MSysNavPaneGroupCategories";
    jet::JetDatabase(path, true)
        .append(categories, {{JetValue::null(), JetValue::utf8("Mine"), JetValue::whole(4), JetValue::null(),
                              JetValue::null(), JetValue::whole(4), JetValue::whole(0)}});
    auto rows = rowsById(path, categories);
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
    rows = rowsById(path, categories);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[3].second[1].text, "Custom, renamed");
    EXPECT_EQ(TableProblems(path, categories), "");
}

} // namespace
} // namespace tarnwick
