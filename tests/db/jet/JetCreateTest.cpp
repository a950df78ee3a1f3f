// Databases and tables made by the Jet engine: the park tables and a table of every kind, filled,
// changed, emptied, refilled and packed, read back after each step by mdbtools and mdb-reader;
// their definitions, catalog rows and default values as Access writes its own; and the designs and
// changes the engine refuses, leaving the file as it was.
#include "db/DbError.h"
#include "db/JetParkTables.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetText.h"
#include "db/jet/UsageMap.h"
#include "support/CaseName.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::ColumnKind;
using jet::JetValue;
using jet::Row;

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

// A value for row `i` of a column of `column`'s kind: varied, sometimes at its limits, every seventh null.
JetValue sampleValue(const jet::ColumnDesign &column, int i) {
    if (i % 7 == 3 && !column.autoNumber)
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

std::map<std::int64_t, Row> rowsById(const jet::JetDatabase &database, const std::string &table) {
    std::map<std::int64_t, Row> byId;
    for (const auto &[at, row] : JetRows(database, table))
        byId[row[0].integer] = row;
    return byId;
}

class JetCreate : public ::testing::Test {
protected:
    // The tables a step changed are sound for every reader, and hold `rows` rows where given.
    void expectAllReadersAgree(const std::vector<std::string> &tables, std::vector<std::size_t> rows = {}) {
        for (std::size_t t = 0; t < tables.size(); ++t) {
            EXPECT_EQ(TableProblems(path, tables[t]), "") << tables[t];
            if (t < rows.size())
                EXPECT_EQ(jet::JetDatabase(path).table(tables[t]).rowCount, rows[t]) << tables[t];
        }
    }

    TempDir dir;
    const std::string path = dir.file("Park.MDB");
};

// Guest's rows take some 800 pages: its page maps move out of their rows into map pages, and its
// primary key grows a node over leaves.
constexpr int kGuests = 4000;

TEST_F(JetCreate, MadeTablesHoldEveryStepOfAFillForAllThreeReaders) {
    jet::CreateEmptyDatabase(path);
    std::vector<jet::TableDesign> designs = JetParkTables();
    designs.push_back(kEveryKind);
    for (const jet::TableDesign &design : designs)
        jet::JetDatabase(path, true).createTable(design);
    const jet::TableDesign &guest = designs[1], &charges = designs[2];
    {
        SCOPED_TRACE("made"); // the tables filled next are read then
        expectAllReadersAgree({"Sites", "ParkInfo", "MSysObjects", "MSysACEs"});
    }
    {
        SCOPED_TRACE("filled");
        jet::JetDatabase database(path, true);
        database.append("Guest", sampleRows(guest, 0, kGuests));
        database.append("OtherCharges", sampleRows(charges, 0, 500));
        std::vector<Row> kinds = sampleRows(kEveryKind, 0, 1000);
        for (std::size_t bytes : {0, 64, 65, 4000, 1 << 20}) {
            kinds.push_back(sampleRows(kEveryKind, 1, 1)[0]);
            kinds.back()[11] = JetValue::utf8(std::string(bytes, 'm'));
        }
        database.append("Kinds", kinds);
        expectAllReadersAgree({"Guest", "OtherCharges", "Kinds"}, {kGuests, 500, kinds.size()});
    }
    {
        SCOPED_TRACE("changed, deleted, purged and refilled");
        jet::JetDatabase database(path, true);
        const auto rows = JetRows(database, "Guest");
        std::vector<std::pair<jet::RowId, Row>> changes;
        std::vector<jet::RowId> gone;
        for (std::size_t i = 0; i < 200; ++i) {
            changes.push_back({rows[i * 19].first, sampleRows(guest, 500000 + static_cast<int>(i), 1)[0]});
            gone.push_back(rows[i * 19 + 1].first);
        }
        database.update("Guest", changes);
        database.remove("Guest", gone);
        database.removeAll("OtherCharges");
        EXPECT_EQ(jet::JetDatabase(path).table("OtherCharges").rowCount, 0u);
        database.append("OtherCharges", sampleRows(charges, 1000, 700));
        expectAllReadersAgree({"Guest", "OtherCharges"}, {kGuests - 200, 700});
    }
    {
        SCOPED_TRACE("packed");
        const std::vector<std::string> packed = {"Guest", "OtherCharges", "Kinds"};
        std::map<std::string, std::map<std::int64_t, Row>> rowsBefore;
        std::map<std::string, std::set<std::uint32_t>> pagesBefore;
        const std::string fileBefore = TempDir::readFile(path);
        for (const std::string &name : packed) {
            rowsBefore[name] = rowsById(jet::JetDatabase(path), name);
            pagesBefore[name] = PagesHeldBy(jet::JetDatabase(path), name);
        }
        jet::JetDatabase(path, true).pack(packed);

        const std::string fileAfter = TempDir::readFile(path);
        // The pages given back gather at the end of the file, which is cut short.
        EXPECT_LT(fileAfter.size(), fileBefore.size());
        const jet::JetDatabase database(path);
        const std::vector<std::uint32_t> freeList = jet::UsageMapPages(database.file(), jet::kFreePagesMap);
        const std::set<std::uint32_t> free(freeList.begin(), freeList.end());
        for (const std::string &name : packed) {
            SCOPED_TRACE(name);
            const auto rows = rowsById(database, name);
            EXPECT_TRUE(std::equal(
                rows.begin(), rows.end(), rowsBefore[name].begin(), rowsBefore[name].end(),
                [](const auto &x, const auto &y) { return x.first == y.first && SameRow(x.second, y.second); }));
            const std::set<std::uint32_t> held = PagesHeldBy(database, name);
            // Kinds lost no rows, so it needs as many pages as before; the others need fewer.
            if (name == "Kinds")
                EXPECT_EQ(held.size(), pagesBefore[name].size());
            else
                EXPECT_LT(held.size(), pagesBefore[name].size());
            for (std::uint32_t page : held)
                EXPECT_EQ(free.count(page), 0u) << "page " << page << " is held and free";
        }
        // Every page of any other table is as it was. (The pages given back are all cut off the end here;
        // JetWrite's compaction of a Jackcess park checks those kept inside the file are blanked.)
        for (const char *name : {"Sites", "ParkInfo", "MSysACEs"})
            for (std::uint32_t page : PagesHeldBy(database, name))
                EXPECT_EQ(fileAfter.compare(page * 4096, 4096, fileBefore, page * 4096, 4096), 0)
                    << name << " page " << page;
        expectAllReadersAgree(packed);
        // Numbering goes on from where it was.
        jet::JetDatabase(path, true).append("OtherCharges", sampleRows(charges, 5000, 1));
        EXPECT_EQ(rowsById(jet::JetDatabase(path), "OtherCharges").rbegin()->first,
                  rowsBefore["OtherCharges"].rbegin()->first + 1);
    }
}

TEST_F(JetCreate, ANewTablesDefinitionCatalogRowAndDefaultsAreLaidOutAsAccessLaysOutItsOwn) {
    SKIP_WITHOUT_ACCESS_FILES();
    // The strict reading holds for the properties Access 2003 wrote for a table of its own.
    const auto accessMade = StoredProperties((kAccessFolder / "testUnicodeCompV2003.mdb").string(), "Table");
    EXPECT_EQ(accessMade.size(), 3u);
    EXPECT_EQ(accessMade.at("Unicode").at("UnicodeCompression"), "\x01");

    // DateTest's columns made again: each is defined as Access defined it.
    const jet::TableDef theirs = jet::JetDatabase((kAccessFolder / "DateTestDatabase.mdb").string()).table("DateTest");
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true)
        .createTable({"DateTest",
                      {column("IDCol", ColumnKind::Long), column("DateTimeCol", ColumnKind::DateTime),
                       column("DateCol", ColumnKind::DateTime), column("TimeCol", ColumnKind::DateTime),
                       column("LongTextCol", ColumnKind::Memo), column("ShortTextCol", ColumnKind::Text, 255)},
                      ""});
    const jet::TableDef ours = jet::JetDatabase(path).table("DateTest");
    EXPECT_EQ(ours.maxColumns, theirs.maxColumns);
    EXPECT_EQ(ours.variableColumns, theirs.variableColumns);
    const auto layout = [](const jet::ColumnDef &c) {
        return std::make_tuple(c.name, static_cast<int>(c.kind), c.number, c.variableIndex, c.fixedOffset, c.length,
                               c.flags, c.compressedUnicode);
    };
    ASSERT_EQ(ours.columns.size(), theirs.columns.size());
    for (std::size_t i = 0; i < ours.columns.size(); ++i)
        EXPECT_EQ(layout(ours.columns[i]), layout(theirs.columns[i]));

    // OtherCharges: its catalog row in the container of tables, owned as the system's rows are, and
    // its default values as mdb-prop and the strict reading read them.
    jet::JetDatabase(path, true).createTable(JetParkTables()[2]);
    std::map<std::string, std::string> made = CatalogRow(path, "OtherCharges");
    EXPECT_EQ(made["ParentId"], CatalogRow(path, "MSysObjects")["ParentId"]);
    EXPECT_EQ(made["Type"], "1");
    EXPECT_EQ(made["Owner"], CatalogRow(path, "MSysDb")["Owner"]);
    const std::vector<std::pair<std::string, std::string>> defaults = {
        {"Amount", "0"}, {"QuaOnHand", "0"}, {"ReorderPoint", "0"}, {"Taxable", "No"}, {"OrdQua", "0"}, {"Cost", "0"}};
    std::string printed;
    for (const auto &[name, value] : defaults)
        printed += "name: " + name + "\n\tDefaultValue: " + value + "\n\n";
    EXPECT_EQ(MdbProp(path, "OtherCharges"), printed);
    std::map<std::string, std::string> stored;
    for (const auto &[object, properties] : StoredProperties(path, "OtherCharges")) {
        const std::string &bytes = properties.at("DefaultValue");
        stored[object] = jet::DecodeUtf16(
            jet::ByteView(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(), "value"));
    }
    EXPECT_EQ(stored, (std::map<std::string, std::string>(defaults.begin(), defaults.end())));
}

TEST_F(JetCreate, ANewDatabaseNeverReplacesAFileAndTakesTheUsersPermissions) {
    const mode_t mask = ::umask(022);
    jet::CreateEmptyDatabase(path);
    ::umask(mask);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    EXPECT_EQ(MdbTables(path),
              (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}));
    dir.write("Park.MDB", "the operator's own file");
    EXPECT_EQ(RefusalOf([&] { jet::CreateEmptyDatabase(path); }),
              "Cannot create '" + path + "': a file of that name is already there.");
    EXPECT_EQ(TempDir::readFile(path), "the operator's own file");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A change the engine cannot make, on a database it made (ParkInfo, and Codes keyed on Code holding 5,
// 9 and -3) or on Access's DateTestDatabase.mdb: refused in a sentence, with nothing written.
struct Refusal {
    const char *name;
    std::function<void(jet::JetDatabase &)> change;
    std::string sentence;
    bool onAccessFile = false;
};
void PrintTo(const Refusal &refusal, std::ostream *os) {
    *os << refusal.name;
}

class Refused : public testing::TestWithParam<Refusal> {};

TEST_P(Refused, InASentenceAndTheFileIsLeftAsItWas) {
    TempDir dir;
    const std::string path = dir.file("Park.MDB");
    if (GetParam().onAccessFile) {
        SKIP_WITHOUT_ACCESS_FILES();
        fs::copy_file(kAccessFolder / "DateTestDatabase.mdb", path);
    } else {
        jet::CreateEmptyDatabase(path);
        jet::JetDatabase database(path, true);
        database.createTable(JetParkTables()[3]);
        database.createTable({"Codes", {column("Code", ColumnKind::Long)}, "Code"});
        database.append("Codes", {{JetValue::whole(5)}, {JetValue::whole(9)}, {JetValue::whole(-3)}});
    }
    const std::string before = TempDir::readFile(path);
    EXPECT_EQ(RefusalOf([&] {
                  jet::JetDatabase database(path, true);
                  GetParam().change(database);
              }),
              GetParam().sentence);
    EXPECT_TRUE(TempDir::readFile(path) == before);
}

std::function<void(jet::JetDatabase &)> design(jet::TableDesign table) {
    return [table](jet::JetDatabase &database) { database.createTable(table); };
}
std::function<void(jet::JetDatabase &)> append(const char *table, std::vector<Row> rows) {
    return [table, rows](jet::JetDatabase &database) { database.append(table, rows); };
}

const jet::ColumnDesign kId{"ID", ColumnKind::Long, 0, true, ""};
const std::string kCannotMake = "The table 'T' cannot be made: ";
const std::string kDuplicate = "The changes you requested to the table were not successful because they would "
                               "create duplicate values in the index, primary key, or relationship.";
const std::string kRelationship = " points to another table through a relationship, which this engine does not "
                                  "keep in step yet. Nothing was written.";

std::string kindOrSize(const std::string &column) {
    return kCannotMake + "the column '" + column + "' is of a kind or size this engine does not make.";
}

jet::TableDesign wideTable() {
    jet::TableDesign wide{"Wide", {kId}, "ID"};
    for (int i = 0; i < 254; ++i)
        wide.columns.push_back(column("A column with a long name number " + std::to_string(i), ColumnKind::Long));
    return wide;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, Refused,
    testing::Values(
        Refusal{"taken name", design({"PARKINFO", {kId}, ""}), "Table 'PARKINFO' already exists."},
        Refusal{"two columns of one name", design({"T", {kId, column("id", ColumnKind::Long)}, ""}),
                kCannotMake + "two columns are named 'id'."},
        Refusal{"key on no column", design({"T", {kId}, "Key"}),
                kCannotMake + "its primary key names no column of it."},
        Refusal{"text of 256", design({"T", {kId, column("Text", ColumnKind::Text, 256)}, ""}), kindOrSize("Text")},
        Refusal{"text of 0", design({"T", {kId, column("Text", ColumnKind::Text, 0)}, ""}), kindOrSize("Text")},
        Refusal{"GUID", design({"T", {kId, column("Guid", ColumnKind::Guid)}, ""}), kindOrSize("Guid")},
        Refusal{"AutoNumber text", design({"T", {{"ID", ColumnKind::Text, 5, true, ""}}, ""}),
                kCannotMake + "the AutoNumber column 'ID' is not a Long column."},
        Refusal{"no columns", design({"T", {}, ""}), kCannotMake + "a table has 1 to 255 columns."},
        Refusal{"too long a page", design(wideTable()),
                "The table 'Wide' has more columns than one definition page holds."},
        Refusal{
            "key the engine cannot keep", design({"T", {column("Notes", ColumnKind::Memo)}, "Notes"}),
            "The table 'T' has an index on a column whose keys this engine does not build yet. Nothing was written."},
        // Each held key, met before and after the new entry's place, and a key twice in one append.
        Refusal{"held key", append("Codes", {{JetValue::whole(5)}}), kDuplicate},
        Refusal{"held key after a new one", append("Codes", {{JetValue::whole(7)}, {JetValue::whole(9)}}), kDuplicate},
        Refusal{"lowest held key", append("Codes", {{JetValue::whole(-3)}}), kDuplicate},
        Refusal{"key twice", append("Codes", {{JetValue::whole(1)}, {JetValue::whole(1)}}), kDuplicate},
        Refusal{"null key", append("Codes", {{JetValue::null()}}), "Index or primary key cannot contain a Null value."},
        Refusal{
            "text no index sorts",
            append("MSysAccessStorage", {{JetValue::null(), JetValue::null(), JetValue::null(), JetValue::bytes("lv"),
                                          JetValue::utf8("\xF0\x9F\x98\x80"), JetValue::whole(1), JetValue::whole(2)}}),
            "The table 'MSysAccessStorage' is given a text that an index cannot sort (a character beyond the "
            "Basic Multilingual Plane, such as most emoji, or a NUL). Nothing was written.",
            true},
        Refusal{"group of a relationship", append("MSysNavPaneGroups", {Row(7)}),
                "The table 'MSysNavPaneGroups'" + kRelationship, true},
        Refusal{"group member of a relationship", append("MSysNavPaneGroupToObjects", {Row(7)}),
                "The table 'MSysNavPaneGroupToObjects'" + kRelationship, true}),
    [](const testing::TestParamInfo<Refusal> &info) { return CaseName(info.param.name); });

} // namespace
} // namespace tarnwick
