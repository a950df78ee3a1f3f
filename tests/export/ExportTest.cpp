// The database browser and the table export, against mdb-export and python-xlrd.
#include "db/DbError.h"
#include "db/access/JetHeader.h"
#include "db/access/MdbDatabase.h"
#include "db/sqlite/Sqlite.h"
#include "export/Browser.h"
#include "export/TableExport.h"
#include "sheet/Workbook.h"
#include "support/CaseName.h"
#include "support/DamagedAccess.h"
#include "support/ParkFixture.h"
#include "support/RunCli.h"
#include "support/WorkbookDumps.h"

#include <filesystem>

namespace tarnwick {
namespace {

const std::string kAccess = std::string(TESTDATA_DIR) + "/access/";

class ExportTest : public ParkFixture {
protected:
    Browser browser{session};

    // A copy of a test database with a database password written into its header.
    std::string withPassword(const std::string &name, const std::string &password) {
        const std::string bytes = TempDir::readFile(kAccess + name);
        std::vector<std::uint8_t> page(bytes.begin(), bytes.begin() + 0x100);
        WriteJetPassword(page, password);
        park.write("locked-" + name, std::string(page.begin(), page.end()) + bytes.substr(0x100));
        return park.file("locked-" + name);
    }

    // An SQLite database of our own, made with the given statements.
    std::string sqliteDatabase(const std::string &name, const std::string &sql) {
        sqlite3 *raw = nullptr;
        sqlite3_open(park.file(name).c_str(), &raw);
        Execute(SqliteHandle(raw).get(), sql);
        return park.file(name);
    }
};

struct ExportCase {
    const char *file;
    const char *table;
    const char *skipped;                   // columns of bytes, which workbooks leave empty
    const DamagedAccess *damage = nullptr; // exported from this damaged copy of the file instead,
    const char *warning = "";              // whose listing gives this first warning
    std::string name() const { return std::string(damage ? damage->name : file) + " " + table; }
    friend std::ostream &operator<<(std::ostream &os, const ExportCase &c) { return os << c.name(); }
};

class ExportMatches : public ExportTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportMatches, WorkbookHoldsWhatMdbExportPrints) {
    const ExportCase &c = GetParam();
    const std::string file = c.damage ? WriteDamaged(park, *c.damage) : kAccess + c.file;
    ASSERT_TRUE(browser.ListTables(file));
    ASSERT_TRUE(BuildExcel(session, *browser.database(), c.table));
    const std::string warned = " gave warnings, so the list of tables may be incomplete.\r\nThe first warning was: ";
    const Texts said = {"Reading the tables of " + file + warned + c.warning, std::string(c.table) + ".xls Saved!"};
    EXPECT_EQ(prompter.texts(), *c.warning ? said : Texts{said.back()});
    CliResult compared = RunProgram("/usr/bin/python3", std::string("'") + SUPPORT_DIR + "/compare_export.py' '" +
                                                            park.file(std::string(c.table) + ".xls") + "' '" + kAccess +
                                                            c.file + "' '" + c.table + "' " + c.skipped);
    EXPECT_EQ(compared.out, "same\n");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TestData, ExportMatches, ::testing::Values(
    ExportCase{"nwind.mdb", "Orders", ""}, ExportCase{"nwind.mdb", "Customers", ""},
    ExportCase{"nwind.mdb", "Products", ""}, ExportCase{"nwind.mdb", "Employees", "Photo"},
    ExportCase{"nwind.mdb", "Umsätze", ""}, ExportCase{"testV1997.mdb", "Table1", ""},
    ExportCase{"testUnicodeCompV2003.mdb", "Table", ""}, ExportCase{"ASampleDatabase.accdb", "Asset Items", ""},
    // libmdb complains of this copy's catalog (and prints a hex dump); the table is whole.
    ExportCase{"nwind.mdb", "Orders", "", &kHexDump, "Unrecognized format."}),
    [](const auto &info) { return CaseName(info.param.name()); });
// clang-format on

TEST_F(ExportTest, DatesComeFromTheStoredNumberBefore1900Too) {
    ASSERT_TRUE(BuildExcel(session, *OpenAccessDatabase(kAccess + "DateTestDatabase.mdb", ""), "DateTest"));
    Workbook book(park.file("DateTest.xls"));
    Texts dates;
    for (auto rows = book.rows(0); rows.next();)
        dates.push_back(rows.cell(2).toString());
    EXPECT_EQ(dates, (Texts{"DateTimeCol", "12/2/2021", "1/1/9999", "1/1/1898", "1/1/632", "12/2/2021", "12/2/2021"}));
}

// A password is asked until typed exactly (Jet 3 stores bytes and Jet 4 UTF-16 characters, each up
// to 20); nothing typed gives up. Without one, any typed password opens the database.
TEST_F(ExportTest, APasswordOpensOnlyWhenTypedExactly) {
    const std::string box = "Password Input|This database requires a Password. Please enter the correct Password.";
    for (const std::string file : {"nwind.mdb", "testUnicodeCompV2003.mdb"}) {
        SCOPED_TRACE(file);
        prompter.inputs = {std::string("sesame42"), std::string("Sesame43"), std::string("Sesame42"), std::string()};
        const std::string locked = withPassword(file, "Sesame42");
        ASSERT_TRUE(browser.ListTables(locked));
        EXPECT_EQ(session.DbPassword, "Sesame42");
        session.DbPassword.clear();
        EXPECT_FALSE(browser.ListTables(locked));
        EXPECT_EQ(prompter.texts(), (Texts{box, box, box, box, "The correct Password MUST be provided ... Aborting"}));
        EXPECT_EQ(prompter.shown.back().icon, Icon::Critical);
        prompter.shown.clear();
        if (file == "nwind.mdb") { // libmdb reads the Jet 3 header we wrote as the same password
            MdbHandlePtr mdb(mdb_open(locked.c_str(), MDB_NOFLAGS));
            ASSERT_TRUE(mdb);
            EXPECT_EQ(std::string(mdb->f->db_passwd, strnlen(mdb->f->db_passwd, 14)), "Sesame42");
        }

        const std::string longest = file == "nwind.mdb" ? "ABCDEFGHIJKLMNOPQRST" : "abcdefghijklmnopqrsT";
        const JetHeader header = ReadJetHeader(withPassword(file, longest));
        EXPECT_EQ(header.password, longest);
        for (const std::string &typed : {longest.substr(0, 19) + "U", longest.substr(0, 19), longest + "1",
                                         std::string("abcdefghijklmnopqrst"), std::string(), longest})
            EXPECT_EQ(PasswordAccepted(header, typed), typed == longest) << typed;
    }
    const JetHeader open = ReadJetHeader(kAccess + "nwind.mdb");
    EXPECT_EQ(open.password, "");
    EXPECT_TRUE(PasswordAccepted(open, "") && PasswordAccepted(open, "Sesame42"));
}

TEST_F(ExportTest, ListingAndExportFailuresAreReportedWithNumberAndDescription) {
    park.write("text.mdb", "not a database at all");
    // A Jet 4 file cut short within its header, as a mail gateway may leave it.
    park.write("cut.mdb", TempDir::readFile(kAccess + "testUnicodeCompV2003.mdb").substr(0, 0x90));
    for (const char *name : {"missing.mdb", "text.mdb", "cut.mdb"}) {
        prompter.shown.clear();
        EXPECT_FALSE(browser.ListTables(park.file(name)));
        const std::string problem = *name == 'm' ? "Could not find file '" : "Unrecognized database format '";
        EXPECT_EQ(prompter.texts(), Texts{"ListTables: Error!\r\n-2147467259: " + problem + park.file(name) + "'."});
    }
    // Cut short after its catalog, a file lists its tables; a table whose pages are gone is refused
    // with the database's error, and no workbook is left of it.
    park.write("short.mdb", TempDir::readFile(kAccess + "nwind.mdb").substr(0, 200000));
    ASSERT_TRUE(browser.ListTables(park.file("short.mdb")));
    prompter.shown.clear();
    EXPECT_FALSE(BuildExcel(session, *browser.database(), "Orders"));
    EXPECT_EQ(prompter.texts(), Texts{"BuildExcel: -2147217865: The Microsoft Jet database engine cannot find the "
                                      "input table or query 'Orders'.  Make sure it exists and that its name is "
                                      "spelled correctly."});
    EXPECT_FALSE(park.exists("Orders.xls"));
}

// Tables named MSys (in that case) are the system's and left out; 45 tables fit the boxes. Checked
// tables are exported one after another, each with its message; a name that cannot be a file name
// is changed, and the workbook written in the database's folder.
TEST_F(ExportTest, ListingFieldsAndExportsOfCheckedTables) {
    std::string sql =
        "CREATE TABLE MSysHidden (a); CREATE TABLE msysShown (a); CREATE TABLE Fields (ExactlyTwentyTwoChars_ "
        "VARCHAR(5), TwentyOneCharacters__ BYTE INTEGER, TwentyThreeCharacters__ MEMO TEXT, Count LONG INTEGER); "
        "CREATE TABLE One (Name VARCHAR(10)); INSERT INTO One VALUES ('Zoë'); CREATE TABLE Empty (a); "
        "CREATE TABLE \"../Escape\" (a); INSERT INTO \"../Escape\" VALUES (1);";
    for (int i = 1; i <= 40; ++i)
        sql += "CREATE TABLE T" + std::to_string(i) + " (a);";
    const std::string db = sqliteDatabase("many.mdb", sql);
    const Texts names = browser.ListTables(db).value();
    EXPECT_EQ(names.size(), 45u);
    EXPECT_EQ(names.at(0), "msysShown");
    EXPECT_TRUE(prompter.shown.empty()) << "45 tables need no warning";
    const Browser::FieldList list = browser.Fields("Fields").value();
    EXPECT_EQ(list.lines, (Texts{"ExactlyTwentyTwoChars_   dbText", "TwentyOneCharacters__    ",
                                 "TwentyThreeCharacters__   dbMemo", "Count                    dbInteger"}));
    EXPECT_EQ(list.countLine, "No. of Records in Fields  0");

    EXPECT_FALSE(ExportCheckedTables(session, browser.database(), {"One", "Empty", "../Escape"}));
    ExportCheckedTables(session, browser.database(), {});
    const std::string renamed = "The Table ../Escape cannot be a file name as it stands, so it was saved as "
                                "_.._Escape.xls in " +
                                park.path() + ".";
    EXPECT_EQ(prompter.texts(),
              (Texts{"One.xls Saved!", "The Table Empty has no records, exiting.", renamed, "_.._Escape.xls Saved!",
                     "No Tables were checked, hense No Spreadsheets were created."}));
    EXPECT_EQ(DumpWithOurReader(park.file("One.xls")), "sheet\tSheet1\t2\t1\n1\t1\ts:Name\n2\t1\ts:Zoë\n");
    EXPECT_FALSE(std::filesystem::exists(park.path() + "/../Escape.xls"));
    // In the database folder, its sheet named without the '/'.
    EXPECT_EQ(DumpWithOurReader(park.file("_.._Escape.xls")), "sheet\tSheet1\t2\t1\n1\t1\ts:a\n2\t1\ts:1\n");

    prompter.expect({Answer::No});
    EXPECT_FALSE(BuildExcel(session, *browser.database(), "One")) << "an existing workbook is kept on No";
    EXPECT_EQ(prompter.shown.size(), 1u);

    sqliteDatabase("many.mdb", "CREATE TABLE T41 (a);");
    prompter.shown.clear();
    // Only the first 45 have boxes, so only they are listed.
    EXPECT_EQ(browser.ListTables(db)->size(), 45u);
    EXPECT_EQ(prompter.texts(), Texts{"Not all Tables are being displayed because more than 45 Tables exist."});
}

TEST_F(ExportTest, TableLongerThanAWorksheetGoesOnInFurtherWorksheets) {
    // A name of 30 characters names the workbook; its worksheets are Sheet1, Sheet2 as in a new workbook.
    const std::string big = "GuestsAndSitesOfTheOldPark1999";
    const std::string rows = "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 70000) ";
    ASSERT_TRUE(browser.ListTables(sqliteDatabase("big.mdb", "CREATE TABLE " + big + " (N LONG INTEGER); " + rows +
                                                                 "INSERT INTO " + big + " SELECT n FROM c;")));
    ASSERT_TRUE(BuildExcel(session, *browser.database(), big));
    const std::string note =
        " has 70000 records and a worksheet holds 65,535, so they were written to 2 worksheets of ";
    EXPECT_EQ(prompter.texts(), (Texts{"The Table " + big + note + big + ".xls.", big + ".xls Saved!"}));
    // Each worksheet repeats the titles, and the records go on in order: the dump has a line for each
    // sheet, title and record.
    const std::string dump = DumpWithOurReader(park.file(big + ".xls"));
    EXPECT_EQ(dump.rfind("sheet\tSheet1\t65536\t1\n1\t1\ts:N\n2\t1\tn:1\n", 0), 0u);
    EXPECT_NE(dump.find("\n65536\t1\tn:65535\nsheet\tSheet2\t4466\t1\n1\t1\ts:N\n2\t1\tn:65536\n"), std::string::npos);
    EXPECT_EQ(dump.substr(dump.rfind('\n', dump.size() - 2)), "\n4466\t1\tn:70000\n");
}

} // namespace
} // namespace tarnwick
