// Databases and tables made by the Jet engine: the park tables and a table of every kind, filled,
// changed, emptied and refilled, read back after each step by mdbtools and mdb-reader, their indexes
// walked and their keys looked up through mdb-sql.
#include "base/VbDate.h"
#include "db/DbError.h"
#include "db/JetParkTables.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/IndexWalker.h"
#include "db/jet/JetDatabase.h"
#include "db/jet/JetText.h"
#include "db/jet/UsageMap.h"
#include "support/JetPages.h"
#include "support/JetReaders.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <sys/stat.h>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using jet::ColumnKind;
using jet::JetValue;
using Json = nlohmann::json;

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

std::vector<jet::Row> sampleRows(const jet::TableDesign &design, int first, int count) {
    std::vector<jet::Row> rows;
    for (int i = first; i < first + count; ++i) {
        jet::Row row;
        for (const jet::ColumnDesign &column : design.columns)
            row.push_back(sampleValue(column, i));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<jet::RowId> rowIds(const jet::JetDatabase &database, const std::string &table) {
    std::vector<jet::RowId> ids;
    database.scan(database.table(table), [&](jet::RowId id, const jet::Row &) { return ids.push_back(id), true; });
    return ids;
}

// The tables a step changed as the three readers see them, their indexes walked, and primary keys of
// `lookedUp` found through mdb-sql.
void expectAllReadersAgree(const std::string &path, const std::vector<std::string> &tables,
                           const std::string &lookedUp) {
    const jet::JetDatabase database(path);
    for (const std::string &name : tables) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CompareWithOutsideReaders(path, name), "");
        const jet::TableDef table = database.table(name);
        for (const jet::IndexReport &report : jet::WalkIndexes(database, table)) {
            EXPECT_TRUE(report.problems.empty()) << report.index << ": " << report.problems.front();
            EXPECT_EQ(report.entries, table.rowCount) << report.index;
        }
    }
    // mdb-sql reads the whole table for each query: forty keys spread over the table. The first column
    // is the primary key.
    const jet::TableDef table = database.table(lookedUp);
    const std::uint32_t every = std::max<std::uint32_t>(1, table.rowCount / 40);
    std::vector<std::int64_t> keys;
    std::uint32_t seen = 0;
    database.scan(table, [&](jet::RowId, const jet::Row &row) {
        if (seen++ % every == 0)
            keys.push_back(row[0].integer);
        return true;
    });
    EXPECT_EQ(MdbSqlLookups(path, lookedUp, table.columns[0].name, keys), keys);
}

bool sameRows(const std::vector<jet::Row> &a, const std::vector<jet::Row> &b) {
    auto sameValue = [](const JetValue &x, const JetValue &y) {
        return x.kind == y.kind && x.integer == y.integer && x.real == y.real && x.text == y.text;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const jet::Row &x, const jet::Row &y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(), sameValue);
    });
}

std::vector<jet::Row> rowsInIdOrder(const jet::JetDatabase &database, const std::string &table) {
    std::map<std::int64_t, jet::Row> byId;
    database.scan(database.table(table),
                  [&](jet::RowId, const jet::Row &row) { return byId[row[0].integer] = row, true; });
    std::vector<jet::Row> rows;
    for (auto &[id, row] : byId)
        rows.push_back(std::move(row));
    return rows;
}

class JetCreate : public ::testing::Test {
protected:
    TempDir dir;
    const std::string path = dir.file("Park.MDB");
};

TEST_F(JetCreate, MadeTablesHoldEveryStepOfAFillForAllThreeReaders) {
    jet::CreateEmptyDatabase(path);
    std::vector<jet::TableDesign> designs = JetParkTables();
    designs.push_back(kEveryKind);
    {
        jet::JetDatabase database(path, true);
        for (const jet::TableDesign &design : designs)
            database.createTable(design);
    }
    const std::vector<std::string> tables = {"Sites", "Guest",       "OtherCharges", "ParkInfo",
                                             "Kinds", "MSysObjects", "MSysACEs"};
    const jet::TableDesign &guest = designs[1];
    const jet::TableDesign &charges = designs[2];
    {
        SCOPED_TRACE("made");
        expectAllReadersAgree(path, {"Sites", "Guest", "OtherCharges", "ParkInfo", "Kinds", "MSysObjects", "MSysACEs"},
                              "MSysObjects");
    }
    {
        SCOPED_TRACE("filled");
        jet::JetDatabase database(path, true);
        database.append("Guest", sampleRows(guest, 0, 20000));
        database.append("OtherCharges", sampleRows(charges, 0, 500));
        std::vector<jet::Row> kinds = sampleRows(kEveryKind, 0, 2000);
        for (std::size_t bytes : {0, 64, 65, 4000, 1 << 20})
            kinds.push_back(sampleRows(kEveryKind, 1, 1)[0]),
                kinds.back()[11] = JetValue::utf8(std::string(bytes, 'm'));
        database.append("Kinds", kinds);
        expectAllReadersAgree(path, {"Guest", "OtherCharges", "Kinds"}, "Kinds");
        EXPECT_EQ(jet::JetDatabase(path).table("Guest").rowCount, 20000u);
    }
    {
        SCOPED_TRACE("updated and deleted");
        jet::JetDatabase database(path, true);
        const std::vector<jet::RowId> ids = rowIds(database, "Guest");
        std::vector<std::pair<jet::RowId, jet::Row>> changes;
        std::vector<jet::RowId> gone;
        for (std::size_t i = 0; i < 200; ++i) {
            changes.push_back({ids[i * 97], sampleRows(guest, 500000 + static_cast<int>(i), 1)[0]});
            gone.push_back(ids[i * 97 + 1]);
        }
        database.update("Guest", changes);
        database.remove("Guest", gone);
        expectAllReadersAgree(path, {"Guest"}, "Guest");
        EXPECT_EQ(jet::JetDatabase(path).table("Guest").rowCount, 19800u);
    }
    {
        SCOPED_TRACE("purged and refilled");
        jet::JetDatabase database(path, true);
        database.removeAll("OtherCharges");
        EXPECT_EQ(jet::JetDatabase(path).table("OtherCharges").rowCount, 0u);
        database.append("OtherCharges", sampleRows(charges, 1000, 700));
        expectAllReadersAgree(path, {"OtherCharges"}, "OtherCharges");
    }
    {
        SCOPED_TRACE("packed");
        const std::vector<std::string> packed = {"Guest", "OtherCharges", "Kinds"};
        std::map<std::string, std::vector<jet::Row>> rowsBefore;
        std::map<std::string, std::set<std::uint32_t>> pagesBefore;
        std::set<std::uint32_t> heldBefore;
        const std::string fileBefore = TempDir::readFile(path);
        {
            const jet::JetDatabase database(path);
            for (const std::string &name : packed) {
                rowsBefore[name] = rowsInIdOrder(database, name);
                pagesBefore[name] = PagesHeldBy(database, name);
                heldBefore.insert(pagesBefore[name].begin(), pagesBefore[name].end());
            }
        }
        jet::JetDatabase(path, true).pack(packed);

        const std::string fileAfter = TempDir::readFile(path);
        // The pages given back gather at the end of the file, which is cut short.
        EXPECT_LT(fileAfter.size(), fileBefore.size());
        const jet::JetDatabase database(path);
        const std::vector<std::uint32_t> freeList = jet::UsageMapPages(database.file(), jet::kFreePagesMap);
        const std::set<std::uint32_t> free(freeList.begin(), freeList.end());
        std::set<std::uint32_t> heldAfter;
        for (const std::string &name : packed) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(sameRows(rowsInIdOrder(database, name), rowsBefore[name]));
            const std::set<std::uint32_t> held = PagesHeldBy(database, name);
            // Kinds lost no rows, so it needs as many pages as before; the others need fewer.
            if (name == "Kinds")
                EXPECT_EQ(held.size(), pagesBefore[name].size());
            else
                EXPECT_LT(held.size(), pagesBefore[name].size());
            for (std::uint32_t page : held)
                EXPECT_EQ(free.count(page), 0u) << "page " << page << " is held and free";
            heldAfter.insert(held.begin(), held.end());
        }
        // Pages the packed tables gave back are free, and blank or cut off; every page of any other table
        // is as it was.
        const std::string blank(4096, '\0');
        for (std::uint32_t page : heldBefore)
            if (!heldAfter.count(page) && page * 4096 < fileAfter.size()) {
                EXPECT_EQ(free.count(page), 1u) << "page " << page << " was given back but is not free";
                EXPECT_EQ(fileAfter.compare(page * 4096, 4096, blank), 0) << "page " << page << " is not blank";
            }
        for (const char *name : {"Sites", "ParkInfo", "MSysACEs"})
            for (std::uint32_t page : PagesHeldBy(database, name))
                EXPECT_EQ(fileAfter.compare(page * 4096, 4096, fileBefore, page * 4096, 4096), 0)
                    << name << " page " << page;
        expectAllReadersAgree(path, packed, "Guest");
        // Numbering goes on from where it was.
        jet::JetDatabase(path, true).append("OtherCharges", sampleRows(charges, 5000, 1));
        EXPECT_EQ(rowsInIdOrder(jet::JetDatabase(path), "OtherCharges").back()[0].integer,
                  rowsBefore["OtherCharges"].back()[0].integer + 1);
    }
}

TEST_F(JetCreate, DefaultValuesAreThePropertiesAccessReads) {
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true).createTable(JetParkTables()[2]); // OtherCharges
    const ObservedRun properties = RunObserved("/usr/bin/mdb-prop", {path, "OtherCharges"}, 60);
    EXPECT_EQ(properties.out, "name: Amount\n\tDefaultValue: 0\n\n"
                              "name: QuaOnHand\n\tDefaultValue: 0\n\n"
                              "name: ReorderPoint\n\tDefaultValue: 0\n\n"
                              "name: Taxable\n\tDefaultValue: No\n\n"
                              "name: OrdQua\n\tDefaultValue: 0\n\n"
                              "name: Cost\n\tDefaultValue: 0\n\n");
}

TEST_F(JetCreate, AKeyThePrimaryKeyHoldsIsRefusedAndTheFileLeftAsItWas) {
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true).createTable({"Codes", {column("Code", ColumnKind::Long)}, "Code"});
    const auto code = [](int value) { return jet::Row{JetValue::whole(value)}; };
    jet::JetDatabase(path, true).append("Codes", {code(5), code(9), code(-3)});
    const std::string before = TempDir::readFile(path);
    // Each held key, met before and after the new entry's place, and a key twice in one append.
    for (const std::vector<jet::Row> &rows :
         {std::vector<jet::Row>{code(5)}, {code(7), code(9)}, {code(-3)}, {code(1), code(1)}}) {
        try {
            jet::JetDatabase(path, true).append("Codes", rows);
            ADD_FAILURE() << "appended a held key";
        } catch (const DbError &e) {
            EXPECT_EQ(e.description(), "The changes you requested to the table were not successful because they would "
                                       "create duplicate values in the index, primary key, or relationship.");
        }
        EXPECT_TRUE(TempDir::readFile(path) == before);
    }
}

// The properties in a catalog row's LvProp, by column ("" for the table's own) and name, each as its
// stored bytes, read strictly: every length must add up, as in the blobs Access writes. Throws where
// one does not.
std::map<std::string, std::map<std::string, std::string>> properties(const std::string &blob) {
    const auto bytes = reinterpret_cast<const std::uint8_t *>(blob.data());
    const jet::ByteView view(bytes, blob.size(), "properties");
    const auto text = [&](std::size_t at, std::size_t length) { return jet::DecodeUtf16(view.slice(at, length)); };
    std::map<std::string, std::map<std::string, std::string>> found;
    if (blob.compare(0, 4, std::string("MR2\0", 4)) != 0)
        throw std::runtime_error("no MR2 signature");
    std::vector<std::string> names;
    for (std::size_t block = 4; block < blob.size();) {
        const std::size_t end = block + view.u32(block);
        if (end > blob.size() || end <= block + 6)
            throw std::runtime_error("a block runs past the blob");
        if (view.u16(block + 4) == 0x80) {
            for (std::size_t at = block + 6; at < end; at += 2 + view.u16(at))
                names.push_back(text(at + 2, view.u16(at)));
        } else {
            const std::string object = text(block + 12, view.u16(block + 10));
            std::size_t at = block + 6 + view.u32(block + 6);
            for (; at < end; at += view.u16(at)) {
                if (view.u16(at) != 8 + view.u16(at + 6) || view.u16(at + 4) >= names.size())
                    throw std::runtime_error("an entry's lengths do not add up");
                found[object][names[view.u16(at + 4)]] = view.slice(at + 8, view.u16(at + 6)).bytes();
            }
            if (at != end)
                throw std::runtime_error("the entries run past their block");
        }
        block = end;
    }
    return found;
}

// The catalog row of the table `name`, as mdb-reader reads it.
std::map<std::string, Json> catalogRow(const std::string &path, const std::string &name) {
    const Json read = Json::parse(
        RunObserved("/usr/bin/node",
                    {std::string(SUPPORT_DIR) + "/mdb_reader_dump.js", MDB_READER_MODULES, path, "MSysObjects"}, 60)
            .out);
    for (const Json &row : read["rows"]) {
        std::map<std::string, Json> named;
        for (std::size_t c = 0; c < read["columns"].size(); ++c)
            named[read["columns"][c].get<std::string>()] = row[c];
        if (named["Name"] == name)
            return named;
    }
    return {};
}

TEST_F(JetCreate, ColumnsAreDefinedAsAccessDefinedTheSameColumns) {
    const fs::path access = fs::path(TESTDATA_DIR) / "access" / "DateTestDatabase.mdb";
    if (!fs::exists(access))
        GTEST_SKIP() << access << " is missing: the shared test data is not beside the source";
    const jet::TableDef theirs = jet::JetDatabase(access.string()).table("DateTest");
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true)
        .createTable({"DateTest",
                      {column("IDCol", ColumnKind::Long), column("DateTimeCol", ColumnKind::DateTime),
                       column("DateCol", ColumnKind::DateTime), column("TimeCol", ColumnKind::DateTime),
                       column("LongTextCol", ColumnKind::Memo), column("ShortTextCol", ColumnKind::Text, 255)},
                      ""});
    const jet::TableDef ours = jet::JetDatabase(path).table("DateTest");
    ASSERT_EQ(ours.columns.size(), theirs.columns.size());
    EXPECT_EQ(ours.maxColumns, theirs.maxColumns);
    EXPECT_EQ(ours.variableColumns, theirs.variableColumns);
    for (std::size_t i = 0; i < ours.columns.size(); ++i) {
        const jet::ColumnDef &a = ours.columns[i], &b = theirs.columns[i];
        SCOPED_TRACE(b.name);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.number, b.number);
        EXPECT_EQ(a.variableIndex, b.variableIndex);
        EXPECT_EQ(a.fixedOffset, b.fixedOffset);
        EXPECT_EQ(a.length, b.length);
        EXPECT_EQ(a.flags, b.flags);
        EXPECT_EQ(a.compressedUnicode, b.compressedUnicode);
    }
}

TEST_F(JetCreate, ANewTablesCatalogRowIsLaidOutAsAccessLaysOutItsOwn) {
    if (!fs::is_directory(fs::path(TESTDATA_DIR) / "access"))
        GTEST_SKIP() << "the shared test data is not beside the source";
    // The strict reading holds for the properties Access 2003 wrote for a table of its own.
    const std::string access = (fs::path(TESTDATA_DIR) / "access" / "testUnicodeCompV2003.mdb").string();
    const auto accessMade = properties(HexDecoded(catalogRow(access, "Table")["LvProp"]["hex"]));
    EXPECT_EQ(accessMade.size(), 3u);
    EXPECT_EQ(accessMade.at("Unicode").at("UnicodeCompression"), std::string(1, '\x01'));

    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true).createTable(JetParkTables()[2]); // OtherCharges
    std::map<std::string, Json> made = catalogRow(path, "OtherCharges"), system = catalogRow(path, "MSysObjects");
    EXPECT_EQ(made["ParentId"], system["ParentId"]); // the container of tables
    EXPECT_EQ(made["Type"], 1);
    EXPECT_EQ(made["Owner"], catalogRow(path, "MSysDb")["Owner"]);
    std::map<std::string, std::string> defaults;
    for (const auto &[column, named] : properties(HexDecoded(made["LvProp"]["hex"].get<std::string>()))) {
        const std::string &stored = named.at("DefaultValue");
        defaults[column] = jet::DecodeUtf16(
            jet::ByteView(reinterpret_cast<const std::uint8_t *>(stored.data()), stored.size(), "value"));
    }
    EXPECT_EQ(defaults, (std::map<std::string, std::string>{{"Amount", "0"},
                                                            {"Cost", "0"},
                                                            {"OrdQua", "0"},
                                                            {"QuaOnHand", "0"},
                                                            {"ReorderPoint", "0"},
                                                            {"Taxable", "No"}}));
}

struct BadDesign {
    const char *why;
    jet::TableDesign design;
    const char *sentence;
};

TEST_F(JetCreate, ADesignTheEngineCannotMakeIsRefusedAndTheFileLeftAsItWas) {
    jet::CreateEmptyDatabase(path);
    jet::JetDatabase(path, true).createTable(JetParkTables()[3]); // ParkInfo
    const jet::ColumnDesign id{"ID", ColumnKind::Long, 0, true, ""};
    jet::TableDesign wide{"Wide", {id}, "ID"};
    for (int i = 0; i < 254; ++i)
        wide.columns.push_back(column("A column with a long name number " + std::to_string(i), ColumnKind::Long));
    const std::vector<BadDesign> designs = {
        {"taken name", {"PARKINFO", {id}, ""}, "Table 'PARKINFO' already exists."},
        {"two columns of one name",
         {"T", {id, column("id", ColumnKind::Long)}, ""},
         "The table 'T' cannot be made: two columns are named 'id'."},
        {"key on no column",
         {"T", {id}, "Key"},
         "The table 'T' cannot be made: its primary key names no column of it."},
        {"text of 256",
         {"T", {id, column("Text", ColumnKind::Text, 256)}, ""},
         "The table 'T' cannot be made: the column 'Text' is of a kind or size this engine does not make."},
        {"text of 0",
         {"T", {id, column("Text", ColumnKind::Text, 0)}, ""},
         "The table 'T' cannot be made: the column 'Text' is of a kind or size this engine does not make."},
        {"GUID",
         {"T", {id, column("Guid", ColumnKind::Guid)}, ""},
         "The table 'T' cannot be made: the column 'Guid' is of a kind or size this engine does not make."},
        {"AutoNumber text",
         {"T", {{"ID", ColumnKind::Text, 5, true, ""}}, ""},
         "The table 'T' cannot be made: the AutoNumber column 'ID' is not a Long column."},
        {"no columns", {"T", {}, ""}, "The table 'T' cannot be made: a table has 1 to 255 columns."},
        {"too long a page", wide, "The table 'Wide' has more columns than one definition page holds."},
        {"key the engine cannot keep",
         {"T", {column("Notes", ColumnKind::Memo)}, "Notes"},
         "The table 'T' has an index on a column whose keys this engine does not build yet. Nothing was written."},
    };
    const std::string before = TempDir::readFile(path);
    for (const BadDesign &bad : designs) {
        SCOPED_TRACE(bad.why);
        try {
            jet::JetDatabase(path, true).createTable(bad.design);
            ADD_FAILURE() << "made";
        } catch (const DbError &e) {
            EXPECT_EQ(e.description(), bad.sentence);
        }
        EXPECT_TRUE(TempDir::readFile(path) == before);
    }
}

TEST_F(JetCreate, ANewDatabaseNeverReplacesAFileAndTakesTheUsersPermissions) {
    const mode_t mask = ::umask(022);
    jet::CreateEmptyDatabase(path);
    ::umask(mask);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    EXPECT_EQ(MdbTables(path),
              (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}));
    dir.write("Park.MDB", "the operator's own file");
    try {
        jet::CreateEmptyDatabase(path);
        ADD_FAILURE() << "replaced";
    } catch (const DbError &e) {
        EXPECT_EQ(e.description(), "Cannot create '" + path + "': a file of that name is already there.");
    }
    EXPECT_EQ(TempDir::readFile(path), "the operator's own file");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

} // namespace
} // namespace tarnwick
