// Databases and tables made by the Jet engine: their definitions, catalog rows and default values as
// Access writes its own, and the designs and changes the engine refuses, leaving the file as it was.
// (New tables filled, changed and packed are in JetWriteTest.)
#include "db/DbError.h"
#include "db/JetParkTables.h"
#include "db/jet/EmptyDatabase.h"
#include "db/jet/JetText.h"
#include "support/CaseName.h"
#include "support/JetReaders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
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

class JetCreate : public ::testing::Test {
protected:
    TempDir dir;
    const std::string path = dir.file("Park.MDB");
};

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
