// The importers end to end on sources in a temporary park. Each case is first checked, which must
// leave the park file as it was and name the problems and count the rows that the import then
// meets; then imported: its messages, and the stored rows as a connection of their own reads them.
#include "db/sqlite/Sqlite.h"
#include "import/FieldNames.h"
#include "import/ImportCheck.h"
#include "import/ImportWindowActions.h"
#include "import/Importers.h"
#include "support/CaseName.h"
#include "support/ParkFixture.h"
#include "support/ParkQuery.h"
#include "support/WorkbookDumps.h"

#include <filesystem>
#include <utility>

namespace tarnwick {
namespace {

std::string rowError(long line, const std::string &caption, const std::string &value) {
    return "Error on Line " + std::to_string(line) + ".  Failure on Field: " + caption + " Data is: " + value +
           "\r\nThis is most likely due to a ',' or ';' in a field confusing the Field Capture routine\r\n"
           "Continuing will NOT Save this line. Do you want to try to continue?";
}

std::string shortened(const std::string &caption, long line, int by) {
    return "The " + caption + " of Line " + std::to_string(line) + " was shortened to fit DB field length by " +
           std::to_string(by);
}

struct ImportCase {
    const char *name;
    ImportTable table;
    // A delimited file; or after "xls:" a workbook's grid (WriteGridWorkbook).
    std::string source;
    const char *map;     // "Caption=Title;..."
    const char *options; // words: caps, semicolon, amp, water, taxable, nosheet; no (answers No to a row error)
    Texts said;
    const char *columns;  // "Number,Length"
    std::string rows;     // the columns cut by '|', rows by new lines; <Null> for Null
    const char *sql = ""; // run on an SQLite park first; the case is left out on Jet
    friend std::ostream &operator<<(std::ostream &os, const ImportCase &c) { return os << c.name; }
};

class CheckAgainstImport : public ParkFixture, public ::testing::WithParamInterface<ImportCase> {
protected:
    std::string rows(const std::string &table, const std::string &columns) {
        std::string out;
        ChangePark(park.file("Park.MDB"), table, [&](Recordset &rs) {
            for (std::string cut; !rs.Eof(); rs.MoveNext(), cut = "\n")
                for (const std::string &column : SplitAt(columns, ',')) {
                    const Value v = rs.Fields(column).GetValue();
                    out += std::exchange(cut, "|") + (v.isNull() ? "<Null>" : v.toString());
                }
        });
        return out;
    }
};

TEST_P(CheckAgainstImport, TheCheckForeseesWhatTheImportSaysAndStores) {
    const ImportCase &c = GetParam();
    if (*c.sql) {
        if (ParkFormatUnderTest() == ParkFormat::Jet)
            GTEST_SKIP() << "another program's change to an SQLite park";
        Execute(sqliteHandle(), c.sql);
    }
    const bool workbook = c.source.rfind("xls:", 0) == 0;
    const std::string file = workbook ? "source.xls" : "source.csv";
    workbook ? WriteGridWorkbook(park.file(file), c.source.substr(4)) : park.write(file, c.source);
    ImportWindowState window;
    for (const std::string &pair : SplitAt(c.map, ';'))
        for (MappingSlot &slot : window.slots(c.table))
            if (slot.caption == pair.substr(0, pair.find('=')))
                slot.title = pair.substr(pair.find('=') + 1);
    ScriptedPicker picker;
    prompter.answers = {Answer::Yes}; // a workbook's sheet question
    GetFieldNames(session, file, window.ShtName, picker);
    const std::string options = std::string(" ") + c.options + " ";
    auto has = [&](const char *word) { return options.find(" " + std::string(word) + " ") != std::string::npos; };
    window.allCaps = has("caps");
    window.comma = !has("semicolon");
    window.ampYesNo = has("amp");
    window.waterYesNo = has("water");
    window.taxableYesNo = has("taxable");
    if (has("nosheet"))
        window.ShtName = "nowhere";

    // The summary is said when the run is complete, and only then.
    const bool completes = !c.said.empty() && c.said.back().find(" Successfully Imported") != std::string::npos;
    CheckReport report;
    if (!*c.sql) {
        session.ParkConnection->Close();
        const std::string before = park.read("Park.MDB");
        CreateRVCon(session);
        prompter.shown.clear();
        report = CheckFiles(session, window, c.table, {file});
        EXPECT_TRUE(!completes || prompter.shown.empty()) << "a check asks nothing and shows nothing";
        session.ParkConnection->Close();
        EXPECT_EQ(park.read("Park.MDB"), before) << "the check leaves the park file as it was";
        CreateRVCon(session);
    }

    prompter.expect({});
    prompter.standing = {{"Error on Line", has("no") ? Answer::No : Answer::Yes}};
    EXPECT_EQ(ImportFile(session, window, c.table, file),
              completes ? ImportOutcome::Completed : ImportOutcome::Stopped);
    Texts said = c.said;
    for (std::string &text : said)
        if (text.find("FOLDER") != std::string::npos)
            text.replace(text.find("FOLDER"), 6, park.path());
    EXPECT_EQ(prompter.texts(), said);
    EXPECT_EQ(rows(ImportTableName(c.table), c.columns), c.rows);
    if (completes && !*c.sql) { // what the check foresaw, as the import says it
        Texts foreseen;
        for (const ImportProblem &p : report.problems)
            foreseen.push_back(p.refused
                                   ? rowError(p.line, p.field, p.value)
                                   : shortened(p.field, p.line, std::stoi(p.reason.substr(p.reason.find(" by ") + 4))));
        foreseen.push_back(std::to_string(report.stored) + " of " + std::to_string(report.read) +
                           said.back().substr(said.back().find(' ', said.back().find(" of ") + 4)));
        EXPECT_EQ(foreseen, said);
    }
}

const std::string kSites = " Sites Successfully Imported", kGuests = " Guests Successfully Imported",
                  kCharges = " Other Charges Successfully Imported";
const char *const kGuestColumns = "Name,Address1,Address2,City,State,Email,Type,TypeOfStay";
const std::string kGuests1 = "\"First \",\"Last\",\"Addr\",\"Addr2\",\"Town\",\"St\",\"Mail\"\r\n"
                             "john,SMITH,12 MAIN ST,APT 4B,SÃO JOSÉ DO RIO,co,Joe@Example.COM\r\n";
const char *const kGuestMap =
    "FirstName=First;LastName=Last;Address1=Addr;Address2=Addr2;City=Town;State=St;Email=Mail";
const std::string kThirteens = "\"Len\",\"W\"\r\n10,1\r\n13,2\r\n20,3\r\n13,4\r\n30,5\r\n";
const char *const kTrigger = "CREATE TRIGGER unlucky BEFORE INSERT ON Sites WHEN NEW.Length = 13 BEGIN SELECT "
                             "RAISE(ABORT, 'thirteen'); END";
const std::string n255(255, 'n');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, CheckAgainstImport, ::testing::Values(
    ImportCase{"site aliases and yes no boxes", ImportTable::Sites,
               "\"A\",\"Amp\",\"W\"\r\n7,Yes,yes\r\nb12,YES,True\r\n1234,yes,\r\n,No,\r\n12.5,,\r\nx,0\r\nx,Y\r\n",
               "AliasNumber=A;ElectricAmp=Amp;Water=W", "amp water", {"7 of 7" + kSites},
               "AliasNumber,ElectricAmp,Water",
               "007|50|True\nB12|50|False\n1234|50|False\n<Null>|30|False\n013|30|False\nX|30|False\nX|30|False"},
    ImportCase{"no at the first refusal", ImportTable::Sites, "\"Len\"\r\n1\r\n2\r\n3\r\nbad\r\n5\r\n", "Length=Len", "no",
               {rowError(3, "Length", "bad")}, "Length", "1\n2\n3"},
    // 80 values fit the row buffer; the 81st does not. Yes passes over a refused row, and the site
    // numbers count the rows stored.
    ImportCase{"lines past the row buffer", ImportTable::Sites,
               "\"Len\"\r\n5\r\n1" + std::string(80, ',') + "extra\r\n7" + std::string(79, ',') + "\r\n6,,\r\n",
               "Length=Len", "", {rowError(1, "column 81", "extra"), "3 of 4" + kSites}, "Number,Length",
               "1|5\n2|7\n3|6"},
    // A title read from the source is composed: "Café" with its accent apart matches "Café".
    ImportCase{"accents apart in the source", ImportTable::Guests, "\"Nom\",\"Cafe\xCC\x81\"\r\nann,x\r\n",
               "FirstName=Nom;Address1=Caf\xC3\xA9", "", {"1 of 1" + kGuests}, "Name,Address1", "Ann|X"},
    ImportCase{"titles only", ImportTable::Sites, "\"Len\"\r\n", "Length=Len", "", {"0 of 0" + kSites}, "Length", ""},
    // A repeated title gives its last column; a title the source lacks leaves the table's default.
    ImportCase{"repeated and missing titles", ImportTable::Sites, "\"Len\",\"Len\"\r\n10,20\r\n",
               "Length=Len;Width=Nothing", "", {"1 of 1" + kSites}, "Length,Width", "20|0"},
    // Title case on the name, the two addresses and the city; State and Email as read.
    ImportCase{"guests in title case", ImportTable::Guests, kGuests1, kGuestMap, "", {"1 of 1" + kGuests},
               kGuestColumns, "Smith, John|12 Main St|Apt 4b|São José Do Rio|co|Joe@Example.COM|1|1"},
    ImportCase{"guests in capitals", ImportTable::Guests, kGuests1, kGuestMap, "caps", {"1 of 1" + kGuests},
               kGuestColumns, "SMITH, JOHN|12 MAIN ST|APT 4B|SÃO JOSÉ DO RIO|CO|JOE@EXAMPLE.COM|1|1"},
    // A title matches exactly: "First " is not "First".
    ImportCase{"guest of a last name only", ImportTable::Guests, kGuests1, "LastName=Last;Address1=First", "",
               {"1 of 1" + kGuests}, kGuestColumns, "Smith|<Null>|<Null>|<Null>|<Null>|<Null>|1|1"},
    // The joined name goes in whole, so one too long is refused; a State is cut to its two characters,
    // and said; a number of people or a date that is none refuses its row.
    ImportCase{"guests long name state people dates", ImportTable::Guests,
               "\"First\";\"Last\";\"State\";\"People\";\"Arrive\"\r\nann;smith;TX;2;6/1/2024\r\nbo;jones;Texas;3;6/2/2024\r\n"
               + std::string(30, 'x') + ";" + std::string(30, 'y') + ";TX;1;6/3/2024\r\nli;ng;TX;two;6/4/2024\r\n"
               "pat;o; TX;1;13/45/2004\r\n",
               "FirstName=First;LastName=Last;State=State;NoPeople=People;Arrival=Arrive", "semicolon",
               {shortened("State", 1, 3), rowError(2, "FirstName", std::string(30, 'x')), shortened("NoPeople", 2, 1),
                rowError(2, "NoPeople", "two"), shortened("State", 2, 1), rowError(2, "Arrival", "13/45/2004"),
                "2 of 5" + kGuests},
               "Name,State,NoPeople,Arrival", "Smith, Ann|TX|2|6/1/2024\nJones, Bo|Te|3|6/2/2024"},
    // Names of 30 characters and UPCs of 20 fit; a longer one is cut, and said.
    ImportCase{"charges shortened", ImportTable::Charges,
               "\"N\",\"U\"\r\nok,1\r\n" + std::string(40, 'a') + ", *ab12*\r\n" + std::string(30, 'b') + "," +
                   std::string(20, 'u') + "\r\n" + std::string(31, 'c') + "," + std::string(21, 'v') + "\r\n",
               "Name=N;UPC=U", "caps",
               {shortened("Name", 1, 10), shortened("UPC", 1, 1), shortened("Name", 3, 1), shortened("UPC", 3, 1),
                "4 of 4" + kCharges},
               "Name,UPC",
               "OK|1\n" + std::string(30, 'A') + "|*AB12*\n" + std::string(30, 'B') + "|" + std::string(20, 'U') + "\n" +
                   std::string(30, 'C') + "|" + std::string(20, 'V')},
    ImportCase{"charges price taxable", ImportTable::Charges,
               "\"Item\",\"Price\",\"Tax\"\r\nice,2.50,True\r\nrope,cheap,True\r\npin,1,sometimes\r\n",
               "Name=Item;Amount=Price;Taxable=Tax", "",
               {rowError(1, "Amount", "cheap"), rowError(1, "Taxable", "sometimes"), "1 of 3" + kCharges},
               "Name,Amount,Taxable", "Ice|2.5|True"},
    // A mapped number takes its alias from the row's first value; an unticked box takes the value as it is.
    ImportCase{"sites number amps extra values", ImportTable::Sites,
               "\"Code\",\"Site\",\"Amps\",\"Water\"\r\n21,1,50,True\r\n22,ten,50,False\r\n23,3,fifty,True\r\n"
               "24,4,30,maybe\r\n25,5,30,True,x,y\r\n",
               "Number=Site;ElectricAmp=Amps;Water=Water", "",
               {rowError(1, "Number", "ten"), rowError(1, "ElectricAmp", "fifty"), rowError(1, "Water", "maybe"),
                "2 of 5" + kSites},
               "Number,AliasNumber,ElectricAmp,Water", "1|021|50|True\n5|025|30|True"},
    // A workbook's rows end at the last one with a first cell; empty rows before it are imported.
    ImportCase{"workbook of sites", ImportTable::Sites, "xls:Site\tLen\tW\tX\tY\n#5\t#40\n\n#6\n\t#99",
               "Number=Site;Length=Len", "", {"3 of 3" + kSites}, "Number,AliasNumber,Length",
               "5|005|40\n<Null>||<Null>\n6|006|<Null>"},
    // Notes are cut to 255 characters silently.
    ImportCase{"workbook of guests", ImportTable::Guests,
               "xls:First\tLast\tArrive\tPeople\tNotes\nzoë\tOCÉ\t@46000\t#3\t" + std::string(300, 'n') + "\nx\t\t\t#1\t" +
                   n255 + "\nx\t\t\t#1\t" + n255 + "n",
               "FirstName=First;LastName=Last;Arrival=Arrive;NoPeople=People;Notes=Notes", "", {"3 of 3" + kGuests},
               "Name,Arrival,NoPeople,Notes",
               "Océ, Zoë|12/9/2025|3|" + n255 + "\n, X|<Null>|1|" + n255 + "\n, X|<Null>|1|" + n255},
    // The YES/NO box reads the text "YES"; a boolean cell is no such text.
    ImportCase{"workbook of charges", ImportTable::Charges, "xls:Item\tPrice\tTax\nbag of ice\t#2.5\tyes\nmap\t#1.25\t?1",
               "Name=Item;Amount=Price;Taxable=Tax", "taxable", {"2 of 2" + kCharges}, "Name,Amount,Taxable",
               "Bag Of Ice|2.5|True\nMap|1.25|False"},
    ImportCase{"workbook without the chosen sheet", ImportTable::Guests, "xls:First\nann", "FirstName=First", "nosheet",
               {"The workbook FOLDER/source.xls has no worksheet named nowhere, so nothing was imported."}, "Name", ""},
    // Another program's rule, met only when a row is written: the row is said and passed over, and
    // No there ends the run with what was stored before it in the file.
    ImportCase{"rows the database refuses at their commit", ImportTable::Sites, kThirteens, "Length=Len;Width=W", "",
               {rowError(1, "Width", "2"), rowError(2, "Width", "4"), "3 of 5" + kSites}, "Number,Length,Width",
               "1|10|1\n2|20|3\n3|30|5", kTrigger},
    ImportCase{"no at a refusal at the commit", ImportTable::Sites, kThirteens, "Length=Len;Width=W", "no",
               {rowError(1, "Width", "2")}, "Length", "10", kTrigger},
    // A column renamed by another program after start-up is the database's error, not a crash.
    ImportCase{"a column the table lacks", ImportTable::Sites, "\"N\",\"W\"\r\n1,20\r\n", "Number=N;Width=W", "no",
               {rowError(0, "Width", "")}, "Number", "", "ALTER TABLE Sites RENAME COLUMN Width TO Wide"}),
    [](const auto &info) { return CaseName(info.param.name); });
// clang-format on

// The rejected-rows file's note: where the rows are and how to bring them in.
std::string rejectedNote(int rows, const std::string &path) {
    return (rows == 1 ? "1 row that was not imported is in " + path + ": fix it there"
                      : std::to_string(rows) + " rows that were not imported are in " + path + ": fix them there") +
           ", then import that file with the same mapping.";
}

class RejectedRowsTest : public ParkFixture {};

// A run's refused rows are written beside its sources, never over a file or a source of the run,
// and said; fixed there, they import with the same mapping.
TEST_F(RejectedRowsTest, RejectedRowsGoToAFileOfTheirOwnAndImportOnceFixed) {
    // Sources imported in one run with every refused row passed over, into Number and Length.
    auto import = [&](const Texts &names) {
        ImportWindowState window;
        window.siteSlots[0].title = "Site";
        window.siteSlots[2].title = "Len";
        ScriptedPicker picker;
        prompter.expect({Answer::Yes}); // a workbook's sheet question
        ReadSelectedTitles(session, names, window.ShtName, picker);
        prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
        ImportSelectedFiles(session, window, ImportTable::Sites, names);
        return prompter.texts();
    };
    using Files = std::vector<std::pair<std::string, std::string>>; // name, content
    const std::string notANumber = "\"Number cannot take 'x': it is not a number\"";
    const std::string header = "\"Site\",\"Line\",\"Reason\"\r\n";
    // The sources, a folder made first when one is named, and the rejected-rows files written.
    // clang-format off
    const std::tuple<const char *, Files, const char *, Files> runs[] = {
        {"values of the wrong kind", {{"s.csv", "\"Site\",\"Len\"\r\n1,40\r\nten,45\r\n3,fifty\r\n4,50\r\n"}}, "",
         {{"s rejected.csv", "\"Site\",\"Len\",\"Line\",\"Reason\"\r\nten,45,3,\"Number cannot take 'ten': it is "
                             "not a number\"\r\n3,fifty,4,\"Length cannot take 'fifty': it is not a number\"\r\n"}}},
        // Same name, two extensions: each keeps its own rows.
        {"two extensions", {{"g.csv", "\"Site\"\r\nx\r\n"}, {"g.txt", "\"Site\"\r\n2\r\nx;y\r\n"}}, "",
         {{"g rejected.csv", header + "x,2," + notANumber + "\r\n"},
          {"g rejected (2).csv", header + "x;y,3,\"Number cannot take 'x;y': it is not a number\"\r\n"}}},
        // The fixed rows of an earlier run, imported with their source, are not overwritten.
        {"fixed rows of an earlier run",
         {{"r.csv", "\"Site\"\r\nx\r\n"}, {"r rejected.csv", "\"Site\",\"Reason\"\r\n5,\"fixed\"\r\n"}}, "",
         {{"r rejected (2).csv", header + "x,2," + notANumber + "\r\n"}}},
        // A folder of that name is passed over; a line of more values than a row holds is kept whole,
        // its bytes as they are (Windows-1252 here).
        {"a folder of the name, a line too long",
         {{"w.csv", "\"Site\",\"Len\"\r\n1" + std::string(85, ',') + "caf\xE9\r\n"}}, "w rejected.csv",
         {{"w rejected (2).csv", "\"Site\",\"Len\",\"Line\",\"Reason\"\r\n1" + std::string(85, ',') +
           "caf\xE9,2,\"the line holds more values than a row can (most likely a ',' or ';' inside a value)\"\r\n"}}}};
    // clang-format on
    for (const auto &[name, sources, folder, written] : runs) {
        SCOPED_TRACE(name);
        Texts names;
        for (const auto &[source, content] : sources) {
            park.write(source, content);
            names.push_back(source);
        }
        if (*folder)
            std::filesystem::create_directory(park.file(folder));
        const Texts texts = import(names);
        for (const auto &[source, content] : sources)
            EXPECT_EQ(park.read(source), content) << source << " is a source and stays as it is";
        for (const auto &[file, content] : written)
            EXPECT_EQ(park.read(file), content) << file;
        const auto &[last, rows] = written.back();
        const std::string said =
            rejectedNote(static_cast<int>(std::count(rows.begin(), rows.end(), '\n')) - 1, park.file(last));
        EXPECT_NE(std::find(texts.begin(), texts.end(), said), texts.end()) << said;
    }

    std::string fixed = park.read("s rejected.csv");
    fixed.replace(fixed.find("ten,"), 3, "2");
    park.write("s rejected.csv", fixed.replace(fixed.find("fifty"), 5, "50"));
    EXPECT_EQ(import({"s rejected.csv"}).back(), "2 of 2" + kSites);
    // A workbook's rows go to a workbook that reads back as its source did.
    WriteGridWorkbook(park.file("guests.xls"), "Site\tName\tNote\nx\tSmith, Jr.\tsaid \"hello\"\rthen left");
    EXPECT_EQ(import({"guests.xls"}).back(), rejectedNote(1, park.file("guests rejected.xls")));
    EXPECT_EQ(DumpWithXlrd(park.file("guests rejected.xls")),
              "sheet\tSheet1\t2\t5\n1\t1\ts:Site\n1\t2\ts:Name\n1\t3\ts:Note\n1\t4\ts:Line\n1\t5\ts:Reason\n"
              "2\t1\ts:x\n2\t2\ts:Smith, Jr.\n2\t3\ts:said \"hello\"\\rthen left\n2\t4\tn:2\n2\t5\ts:Number cannot "
              "take 'x': it is not a number\n");
}

} // namespace
} // namespace tarnwick
