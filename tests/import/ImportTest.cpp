// The importers end to end on files in a temporary park: stored rows and the exact messages.
#include "base/PathCheck.h"
#include "db/Recordset.h"
#include "db/sqlite/Sqlite.h"
#include "import/DelimitedText.h"
#include "import/FieldNames.h"
#include "import/Importers.h"
#include "sheet/WorkbookWriter.h"
#include "support/ParkFixture.h"
#include "support/RunCli.h"

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

class ImportTest : public ParkFixture {
protected:
    // Writes `content` as a source, reads its titles, maps slot captions to titles and imports.
    ImportOutcome import(ImportTable table, const std::string &name, const std::string &content,
                         const std::vector<std::pair<std::string, std::string>> &map) {
        park.write(name, content);
        return importFile(table, name, map);
    }

    ImportOutcome importFile(ImportTable table, const std::string &name,
                             const std::vector<std::pair<std::string, std::string>> &map) {
        ScriptedPicker picker;
        if (UpperExtension(name) == "XLS")
            prompter.answers.push_front(Answer::Yes); // the sheet question
        GetFieldNames(session, name, window.ShtName, picker);
        auto &slots = window.slots(table);
        for (const auto &[caption, title] : map)
            for (MappingSlot &slot : slots)
                if (slot.caption == caption)
                    slot.title = title;
        prompter.shown.clear();
        return *ImportFile(session, window, table, name);
    }

    // The values of some columns of every row, as text ("<Null>" for Null).
    std::vector<Texts> rows(const std::string &table, const Texts &columns) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        std::vector<Texts> out;
        for (; !rs.Eof(); rs.MoveNext()) {
            Texts row;
            for (const std::string &c : columns) {
                Value v = rs.Fields(c).GetValue();
                row.push_back(v.isNull() ? "<Null>" : v.toString());
            }
            out.push_back(row);
        }
        return out;
    }

    static std::string rowError(long line, const std::string &caption, const std::string &value) {
        return "Error on Line " + std::to_string(line) + ".  Failure on Field: " + caption + " Data is: " + value +
               "\r\nThis is most likely due to a ',' or ';' in a field confusing the Field Capture routine\r\n"
               "Continuing will NOT Save this line. Do you want to try to continue?";
    }

    ImportWindowState window;
};

TEST_F(ImportTest, SiteNumbersAndAliasesFillThemselves) {
    const std::string csv = "\"Code\",\"Len\",\"Site\"\r\n1,40,7\r\n2,35,8\r\n";
    import(ImportTable::Sites, "a.csv", csv, {{ "Number", "Code" }});
    import(ImportTable::Sites, "b.csv", csv, {{ "Number", "Site" }});
    window = ImportWindowState();
    import(ImportTable::Sites, "c.csv", csv, {});
    import(ImportTable::Sites, "c.csv", csv, {});
    EXPECT_EQ(rows("Sites", {"Number", "AliasNumber"}), (std::vector<Texts>{{"1", "001"},
                                                                            {"2", "002"},
                                                                            {"7", "001"},
                                                                            {"8", "002"},
                                                                            {"1", "001"},
                                                                            {"2", "002"},
                                                                            {"1", "001"},
                                                                            {"2", "002"}}));
    EXPECT_EQ(prompter.texts(), Texts{"2 of 2 Sites Successfully Imported"});
}

TEST_F(ImportTest, SiteAliasFormatsAndYesNoRules) {
    window.ampYesNo = true;
    window.waterYesNo = true;
    import(ImportTable::Sites, "s.csv",
           "\"A\",\"Amp\",\"W\"\r\n7,Yes,yes\r\nb12,YES,True\r\n1234,yes,\r\n,No,\r\n12.5,,\r\nx,0\r\nx,Y\r\nx,50\r\n",
           {{"AliasNumber", "A"},
            {"ElectricAmp", "Amp"},
            { "Water",
              "W" }});
    EXPECT_EQ(rows("Sites", {"AliasNumber", "ElectricAmp", "Water"}), (std::vector<Texts>{{"007", "50", "True"},
                                                                                          {"B12", "50", "False"},
                                                                                          {"1234", "50", "False"},
                                                                                          {"<Null>", "30", "False"},
                                                                                          {"013", "30", "False"},
                                                                                          {"X", "30", "False"},
                                                                                          {"X", "30", "False"},
                                                                                          {"X", "30", "False"}}));

    window.ampYesNo = false;
    import(ImportTable::Sites, "t.csv", "\"Amp\"\r\n30\r\n", {{ "ElectricAmp", "Amp" }});
    EXPECT_EQ(rows("Sites", {"ElectricAmp"}).back(), Texts{"30"});
}

TEST_F(ImportTest, RefusedRowIsSkippedOnYesAndLinesCountStoredRows) {
    prompter.answers = {Answer::Yes};
    EXPECT_EQ(import(ImportTable::Sites, "f.csv", "\"Len\"\r\n10\r\nlong\r\n30\r\n40\r\n50\r\n", {{"Length", "Len"}}),
              ImportOutcome::Completed);
    EXPECT_EQ(prompter.texts(), (Texts{rowError(1, "Length", "long"), "4 of 5 Sites Successfully Imported"}));
    EXPECT_EQ(rows("Sites", {"Number", "Length"}),
              (std::vector<Texts>{{"1", "10"}, {"2", "30"}, {"3", "40"}, {"4", "50"}}));
}

TEST_F(ImportTest, ARowTheDatabaseRefusesAtItsCommitIsReportedAndSkipped) {
    // Another program's rule on the table, met only when the row is written.
    if (ParkFormatUnderTest() == ParkFormat::Jet)
        GTEST_SKIP() << "the rule is an SQLite trigger";
    Execute(sqliteHandle(),
            "CREATE TRIGGER unlucky BEFORE INSERT ON Sites WHEN NEW.Length = 13 BEGIN SELECT RAISE(ABORT, "
            "'thirteen'); END");
    const std::string csv = "\"Len\",\"W\"\r\n10,1\r\n13,2\r\n20,3\r\n13,4\r\n30,5\r\n";
    prompter.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(import(ImportTable::Sites, "t.csv", csv, {{"Length", "Len"}, {"Width", "W"}}), ImportOutcome::Completed);
    EXPECT_EQ(prompter.texts(),
              (Texts{rowError(1, "Width", "2"), rowError(2, "Width", "4"), "3 of 5 Sites Successfully Imported"}));
    EXPECT_EQ(rows("Sites", {"Number", "Length", "Width"}),
              (std::vector<Texts>{{"1", "10", "1"}, {"2", "20", "3"}, {"3", "30", "5"}}));

    // No at the refusal ends the run; what was counted before it is in the file for every reader.
    emptyTable("Sites");
    prompter.answers = {Answer::No};
    EXPECT_EQ(import(ImportTable::Sites, "t.csv", csv, {{"Length", "Len"}, {"Width", "W"}}), ImportOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), Texts{rowError(1, "Width", "2")});
    EXPECT_EQ(RunProgram("sqlite3", "'" + park.file("Park.MDB") + "' 'SELECT Length FROM Sites'").out, "10\n");
}

TEST_F(ImportTest, AColumnTheTableLacksIsTheDatabasesErrorNotACrash) {
    // Another program renames a column after start-up checked the park.
    if (ParkFormatUnderTest() == ParkFormat::Jet)
        GTEST_SKIP() << "the engine renames no column";
    Execute(sqliteHandle(), "ALTER TABLE Sites RENAME COLUMN Width TO Wide");
    prompter.answers = {Answer::No};
    EXPECT_EQ(import(ImportTable::Sites, "c.csv", "\"N\",\"W\"\r\n1,20\r\n", {{"Number", "N"}, {"Width", "W"}}),
              ImportOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), Texts{rowError(0, "Width", "")});
    EXPECT_TRUE(rows("Sites", {"Number"}).empty());
}

TEST_F(ImportTest, NoAtFirstFailureKeepsEarlierRowsAndShowsNoSummary) {
    prompter.answers = {Answer::No};
    std::string csv = "\"Len\"\r\n";
    for (int i = 1; i <= 10; ++i)
        csv += (i == 4 ? "bad" : std::to_string(i)) + "\r\n";
    EXPECT_EQ(import(ImportTable::Sites, "n.csv", csv, {{"Length", "Len"}}), ImportOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), Texts{rowError(3, "Length", "bad")});
    EXPECT_EQ(rows("Sites", {"Length"}).size(), 3u);
}

TEST_F(ImportTest, LinesThatDoNotFitTheRowBufferAreReportedPerRow) {
    prompter.answers = {Answer::Yes};
    // 80 values fit; the 81st does not.
    const std::string full = "7" + std::string(79, ','), wide = "1" + std::string(80, ',') + "extra";
    import(ImportTable::Sites, "w.csv", "\"Len\"\r\n5\r\n" + wide + "\r\n" + full + "\r\n6,,\r\n",
           {{ "Length",
              "Len" }});
    EXPECT_EQ(prompter.texts(), (Texts{rowError(1, "column 81", "extra"), "3 of 4 Sites Successfully Imported"}));
    EXPECT_EQ(rows("Sites", {"Length"}), (std::vector<Texts>{{"5"}, {"7"}, {"6"}}));
}

TEST_F(ImportTest, HeaderOnlySourceAndRepeatedTitle) {
    import(ImportTable::Sites, "h.csv", "\"Len\"\r\n", {{ "Length", "Len" }});
    EXPECT_EQ(prompter.texts(), Texts{"0 of 0 Sites Successfully Imported"});
    import(ImportTable::Sites, "r.csv", "\"Len\",\"Len\"\r\n10,20\r\n", {{ "Length", "Len" }});
    EXPECT_EQ(rows("Sites", {"Length"}), std::vector<Texts>{{"20"}});
    // A title the source lacks leaves the column to the table's default.
    import(ImportTable::Sites, "m.csv", "\"Len\"\r\n10\r\n", {{ "Length", "Nothing" }});
    EXPECT_EQ(rows("Sites", {"Length"}).back(), Texts{"0"});
}

TEST_F(ImportTest, GuestNamesCaseAndFixedColumns) {
    const std::string csv = "\"First \",\"Last\",\"Addr\",\"Addr2\",\"Town\",\"St\",\"Mail\"\r\n"
                            "john,SMITH,12 MAIN ST,APT 4B,SÃO JOSÉ DO RIO,co,Joe@Example.COM\r\n";
    import(ImportTable::Guests, "g.csv", csv,
           {{"FirstName", "First"},
            {"LastName", "Last"},
            {"Address1", "Addr"},
            {"Address2", "Addr2"},
            {"City", "Town"},
            {"State", "St"},
            { "Email",
              "Mail" }});
    window.allCaps = true;
    importFile(ImportTable::Guests, "g.csv", {});
    window = ImportWindowState();
    importFile(ImportTable::Guests, "g.csv", {{"LastName", "Last"}});
    window = ImportWindowState();
    importFile(ImportTable::Guests, "g.csv", {{"Address1", "First"}}); // exact match only: nothing stored
    // Title case on the name, the two addresses and the city; State and Email as read.
    EXPECT_EQ(rows("Guest", {"Name", "Address1", "Address2", "City", "State", "Email", "Type", "TypeOfStay"}),
              (std::vector<Texts>{
                  {"Smith, John", "12 Main St", "Apt 4b", "São José Do Rio", "co", "Joe@Example.COM", "1", "1"},
                  {"SMITH, JOHN", "12 MAIN ST", "APT 4B", "SÃO JOSÉ DO RIO", "CO", "JOE@EXAMPLE.COM", "1", "1"},
                  {"Smith", "<Null>", "<Null>", "<Null>", "<Null>", "<Null>", "1", "1"},
                  {"<Null>", "<Null>", "<Null>", "<Null>", "<Null>", "<Null>", "1", "1"}}));
}

TEST_F(ImportTest, ShorteningNoticesNameCaptionLineAndCount) {
    window.allCaps = true;
    // Name holds 30 characters and UPC 20: at the size nothing is said, one past it is cut by 1.
    const std::string atSize = std::string(30, 'b') + "," + std::string(20, 'u'),
                      pastSize = std::string(31, 'c') + "," + std::string(21, 'v');
    import(ImportTable::Charges, "c.csv",
           "\"N\",\"U\"\r\nok,1\r\n" + std::string(40, 'a') + ", *ab12*\r\n" + atSize + "\r\n" + pastSize + "\r\n",
           {{"Name", "N"},
            { "UPC",
              "U" }});
    EXPECT_EQ(prompter.texts(), (Texts{"The Name of Line 1 was shortened to fit DB field length by 10",
                                       "The UPC of Line 1 was shortened to fit DB field length by 1",
                                       "The Name of Line 3 was shortened to fit DB field length by 1",
                                       "The UPC of Line 3 was shortened to fit DB field length by 1",
                                       "4 of 4 Other Charges Successfully Imported"}));
    EXPECT_EQ(rows("OtherCharges", {"Name", "UPC"}),
              (std::vector<Texts>{{"OK", "1"},
                                  {std::string(30, 'A'), "*AB12*"},
                                  {std::string(30, 'B'), std::string(20, 'U')},
                                  {std::string(30, 'C'), std::string(20, 'V')}}));
}

TEST_F(ImportTest, WorkbookRowsEndAtLastFilledCellOfColumnOne) {
    WorkbookWriter writer;
    const char *titles[] = {"Site", "Len", "W", "X", "Y"};
    for (int c = 0; c < 5; ++c)
        writer.setText(1, c + 1, titles[c]);
    writer.setNumber(2, 1, 5);
    writer.setNumber(2, 2, 40);
    writer.setNumber(4, 1, 6);  // row 3 is empty and still imported
    writer.setNumber(5, 2, 99); // column 1 empty in the last row: not imported
    writer.save(park.file("sites.xls"));
    importFile(ImportTable::Sites, "sites.xls", {{"Number", "Site"}, {"Length", "Len"}});
    EXPECT_EQ(prompter.texts(), Texts{"3 of 3 Sites Successfully Imported"});
    EXPECT_EQ(rows("Sites", {"Number", "AliasNumber", "Length"}),
              (std::vector<Texts>{{"5", "005", "40"}, {"<Null>", "", "<Null>"}, {"6", "006", "<Null>"}}));
}

TEST_F(ImportTest, GuestWorkbookOfAnotherSheetAndMissingSheet) {
    park.write("three.xls", TempDir::readFile(std::string(TESTDATA_DIR) + "/xls/xf_class.xls"));
    window.ShtName = "nowhere";
    EXPECT_EQ(RunImport(session, window,
                        {"Guest", " Guests Successfully Imported", &window.guestSlots, [](RowContext &) {}},
                        [&] { return std::make_unique<SheetRowSource>(park.file("three.xls"), "nowhere", 150); }),
              ImportOutcome::Stopped);
    EXPECT_EQ(prompter.texts(), Texts{"The workbook " + park.file("three.xls") +
                                      " has no worksheet named nowhere, so nothing was imported."});
}

TEST_F(ImportTest, GuestsAndChargesFromWorkbooks) {
    WorkbookWriter guests("Former");
    guests.setText(1, 1, "Old");
    guests.addSheet("Current");
    const char *titles[] = {"First", "Last", "Arrive", "People", "Notes"};
    for (int c = 0; c < 5; ++c)
        guests.setText(1, c + 1, titles[c]);
    guests.setText(2, 1, "zoë");
    guests.setText(2, 2, "OCÉ");
    guests.setDate(2, 3, 46000);
    guests.setNumber(2, 4, 3);
    guests.setText(2, 5, std::string(300, 'n'));
    for (int r = 3; r <= 4; ++r) { // notes of 255 and 256 characters
        guests.setText(r, 1, "x");
        guests.setNumber(r, 4, 1);
        guests.setText(r, 5, std::string(252 + r, 'n'));
    }
    guests.save(park.file("guests.xls"));

    ScriptedPicker picker;
    picker.choice = "Current";
    prompter.answers = {Answer::No};
    GetFieldNames(session, "guests.xls", window.ShtName, picker);
    for (auto [caption, title] : std::vector<std::pair<std::string, std::string>>{{"FirstName", "First"},
                                                                                  {"LastName", "Last"},
                                                                                  {"Arrival", "Arrive"},
                                                                                  {"NoPeople", "People"},
                                                                                  {"Notes", "Notes"}})
        for (MappingSlot &slot : window.guestSlots)
            if (slot.caption == caption)
                slot.title = title;
    prompter.shown.clear();
    EXPECT_EQ(ImportGuestsExcel(session, window, "guests.xls"), ImportOutcome::Completed);
    EXPECT_EQ(prompter.texts(), Texts{"3 of 3 Guests Successfully Imported"}) << "a long note is cut silently";
    EXPECT_EQ(rows("Guest", {"Name", "Arrival", "NoPeople", "Notes"}),
              (std::vector<Texts>{{"Océ, Zoë", "12/9/2025", "3", std::string(255, 'n')},
                                  {", X", "<Null>", "1", std::string(255, 'n')},
                                  {", X", "<Null>", "1", std::string(255, 'n')}}));

    WorkbookWriter charges;
    charges.setText(1, 1, "Item");
    charges.setText(1, 2, "Price");
    charges.setText(1, 3, "Tax");
    charges.setText(2, 1, "bag of ice");
    charges.setNumber(2, 2, 2.5);
    charges.setText(2, 3, "yes");
    charges.setText(3, 1, "map");
    charges.setNumber(3, 2, 1.25);
    charges.setBoolean(3, 3, true); // not "YES": the box makes it False
    charges.save(park.file("pos.xls"));
    window.taxableYesNo = true;
    importFile(ImportTable::Charges, "pos.xls", {{"Name", "Item"}, {"Amount", "Price"}, {"Taxable", "Tax"}});
    EXPECT_EQ(prompter.texts(), Texts{"2 of 2 Other Charges Successfully Imported"});
    EXPECT_EQ(rows("OtherCharges", {"Name", "Amount", "Taxable"}),
              (std::vector<Texts>{{"Bag Of Ice", "2.5", "True"}, {"Map", "1.25", "False"}}));
}

} // namespace
} // namespace tarnwick
