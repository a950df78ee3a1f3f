// The check run against the real import: the same problems on the same lines, and the park file
// untouched; and the rows an import passes over, kept for a second try.
#include "import/ImportCheck.h"
#include "db/Recordset.h"
#include "import/FieldNames.h"
#include "import/ImportWindowActions.h"
#include "sheet/WorkbookWriter.h"
#include "support/CaseName.h"
#include "support/ParkFixture.h"
#include "support/WorkbookDumps.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

// Messages of the real import that name a refused or shortened field, as "Line N Field".
Texts problemsSaid(const ScriptedPrompter &prompter) {
    Texts out;
    for (const std::string &text : prompter.texts()) {
        const std::size_t line = text.find(" of Line ");
        if (text.rfind("The ", 0) == 0 && line != std::string::npos && text.find("shortened") != std::string::npos)
            out.push_back("Line " + text.substr(line + 9, text.find(' ', line + 9) - line - 9) + " " +
                          text.substr(4, line - 4) + " shortened");
        if (text.rfind("Error on Line ", 0) == 0) {
            const std::size_t field = text.find("Failure on Field: ") + 18;
            out.push_back("Line " + text.substr(14, text.find('.') - 14) + " " +
                          text.substr(field, text.find(" Data is:") - field) + " refused");
        }
    }
    return out;
}

Texts problemsChecked(const CheckReport &report) {
    Texts out;
    for (const ImportProblem &p : report.problems)
        out.push_back("Line " + std::to_string(p.line) + " " + p.field + (p.refused ? " refused" : " shortened"));
    return out;
}

struct CheckCase {
    const char *name;
    ImportTable table;
    std::string content;
    std::vector<std::pair<std::string, std::string>> map;
    bool semicolon;
};
void PrintTo(const CheckCase &c, std::ostream *os) {
    *os << c.name;
}

class CheckAgainstImport : public ParkFixture, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckAgainstImport, TheCheckNamesWhatTheImportThenRefusesAndShortens) {
    const CheckCase &c = GetParam();
    park.write("source.csv", c.content);
    ImportWindowState window;
    window.comma = !c.semicolon;
    auto &slots = window.slots(c.table);
    for (const auto &[caption, title] : c.map)
        for (MappingSlot &slot : slots)
            if (slot.caption == caption)
                slot.title = title;
    ScriptedPicker picker;
    GetFieldNames(session, "source.csv", window.ShtName, picker);
    session.ParkConnection->Close();
    const std::string before = park.read("Park.MDB");
    CreateRVCon(session);

    prompter.shown.clear();
    const CheckReport report = CheckFiles(session, window, c.table, {"source.csv"});
    EXPECT_TRUE(prompter.shown.empty()) << "a check asks nothing and shows nothing";
    session.ParkConnection->Close();
    EXPECT_EQ(park.read("Park.MDB"), before) << "the park file is unchanged by the check";
    CreateRVCon(session);

    prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
    ImportSelectedFiles(session, window, c.table, {"source.csv"});
    EXPECT_EQ(problemsChecked(report), problemsSaid(prompter));
    EXPECT_FALSE(report.problems.empty());
    Recordset rs;
    rs.Open(std::string("SELECT * FROM ") + ImportTableName(c.table), *session.ParkConnection, adOpenStatic,
            adLockReadOnly);
    EXPECT_EQ(rs.RecordCount(), report.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CheckAgainstImport,
    ::testing::Values(
        CheckCase{"site number not a number, amps, extra values",
                  ImportTable::Sites,
                  "\"Site\",\"Amps\",\"Water\"\r\n1,30,True\r\nten,50,False\r\n3,fifty,True\r\n4,30,maybe\r\n5,30,True,"
                  "x,y\r\n",
                  {{"Number", "Site"}, {"ElectricAmp", "Amps"}, {"Water", "Water"}},
                  false},
        CheckCase{"guests: long name, state cut, people, dates",
                  ImportTable::Guests,
                  "\"First\";\"Last\";\"State\";\"People\";\"Arrive\"\r\nann;smith;TX;2;6/1/2024\r\nbo;jones;Texas;3;"
                  "6/2/2024\r\n" +
                      std::string(30, 'x') + ";" + std::string(30, 'y') +
                      ";TX;1;6/3/2024\r\nli;ng;TX;two;6/4/2024\r\n"
                      "pat;o; TX;1;13/45/2004\r\n",
                  {{"FirstName", "First"},
                   {"LastName", "Last"},
                   {"State", "State"},
                   {"NoPeople", "People"},
                   {"Arrival", "Arrive"}},
                  true},
        CheckCase{"store items: price, taxable, name cut",
                  ImportTable::Charges,
                  "\"Item\",\"Price\",\"Tax\"\r\nice,2.50,True\r\n" + std::string(40, 'w') +
                      ",6,False\r\nrope,cheap,True\r\n"
                      "pin,1,sometimes\r\n",
                  {{"Name", "Item"}, {"Amount", "Price"}, {"Taxable", "Tax"}},
                  false}),
    [](const auto &info) { return CaseName(info.param.name); });

class RejectedRowsTest : public ParkFixture {};

TEST_F(RejectedRowsTest, TheRowsPassedOverAreKeptAndImportAfterFixing) {
    park.write("sites.csv", "\"Site\",\"Len\"\r\n1,40\r\nten,45\r\n3,fifty\r\n4,50\r\n");
    ImportWindowState window;
    window.siteSlots[0].title = "Site";
    window.siteSlots[2].title = "Len";
    ScriptedPicker picker;
    std::string sheet;
    ReadSelectedTitles(session, {"sites.csv"}, sheet, picker);
    prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
    ImportSelectedFiles(session, window, ImportTable::Sites, {"sites.csv"});
    EXPECT_EQ(prompter.texts().back(), "2 rows that were not imported are in " + park.file("sites rejected.csv") +
                                           ": fix them there, then import that file with the same mapping.");
    const std::string rejected = park.read("sites rejected.csv");
    EXPECT_EQ(rejected.substr(0, rejected.find("\r\n")), "\"Site\",\"Len\",\"Line\",\"Reason\"");
    EXPECT_NE(rejected.find("\r\nten,45,3,\"Number cannot take 'ten': it is not a number\""),
              std::string::npos)
        << rejected;
    EXPECT_NE(rejected.find("\r\n3,fifty,4,\"Length cannot take 'fifty'"), std::string::npos) << rejected;

    // Fixed by the operator, the same mapping stores them.
    std::string fixed = rejected;
    fixed.replace(fixed.find("ten,"), 3, "2");
    fixed.replace(fixed.find("fifty"), 5, "55");
    park.write("sites rejected.csv", fixed);
    prompter.shown.clear();
    ReadSelectedTitles(session, {"sites rejected.csv"}, sheet, picker);
    ImportSelectedFiles(session, window, ImportTable::Sites, {"sites rejected.csv"});
    EXPECT_EQ(prompter.texts().back(), "2 of 2 Sites Successfully Imported");
}

// Imports sources in one run, every refused row passed over, with the window's site columns.
struct RejectedRun {
    const char *name;
    std::vector<std::pair<std::string, std::string>> sources; // name, content
    std::vector<std::string> folders;                          // folders made first in the park
    std::vector<std::pair<std::string, std::string>> expected; // file written, its content
};
void PrintTo(const RejectedRun &run, std::ostream *os) {
    *os << run.name;
}

class RejectedNames : public ParkFixture, public ::testing::WithParamInterface<RejectedRun> {};

TEST_P(RejectedNames, ARejectedRowsFileNeverReplacesAFileOrASourceOfTheRun) {
    const RejectedRun &run = GetParam();
    std::vector<std::string> names;
    for (const auto &[name, content] : run.sources) {
        park.write(name, content);
        names.push_back(name);
    }
    for (const std::string &folder : run.folders)
        std::filesystem::create_directory(park.file(folder));
    ImportWindowState window;
    window.siteSlots[0].title = "Site";
    ScriptedPicker picker;
    std::string sheet;
    ReadSelectedTitles(session, names, sheet, picker);
    prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
    ImportSelectedFiles(session, window, ImportTable::Sites, names);
    for (const auto &[name, content] : run.sources)
        EXPECT_EQ(park.read(name), content) << name << " is a source and stays as it is";
    for (const auto &[file, content] : run.expected) {
        EXPECT_EQ(park.read(file), content) << file;
        const std::string said = "1 row that was not imported is in " + park.file(file) +
                                 ": fix it there, then import that file with the same mapping.";
        EXPECT_NE(std::find(prompter.texts().begin(), prompter.texts().end(), said), prompter.texts().end()) << said;
    }
}

const std::string kReason = "\"Number cannot take 'x': it is not a number\"";

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedNames,
    ::testing::Values(
        // Same name, two extensions: each keeps its own rows.
        RejectedRun{"two extensions",
                    {{"g.csv", "\"Site\"\r\nx\r\n"}, {"g.txt", "\"Site\"\r\n2\r\nx;y\r\n"}},
                    {},
                    {{"g rejected.csv", "\"Site\",\"Line\",\"Reason\"\r\nx,2," + kReason + "\r\n"},
                     {"g rejected (2).csv", "\"Site\",\"Line\",\"Reason\"\r\nx;y,3,\"Number cannot take 'x;y': it is not a "
                                            "number\"\r\n"}}},
        // The fixed rows of an earlier run, imported with their source, are not overwritten.
        RejectedRun{"fixed rows of an earlier run",
                    {{"r.csv", "\"Site\"\r\nx\r\n"}, {"r rejected.csv", "\"Site\",\"Reason\"\r\n5,\"fixed\"\r\n"}},
                    {},
                    {{"r rejected (2).csv", "\"Site\",\"Line\",\"Reason\"\r\nx,2," + kReason + "\r\n"}}},
        // A folder of that name is passed over; a line of more values than a row holds is kept whole,
        // its bytes as they are (Windows-1252 here).
        RejectedRun{"a folder of the name, a line too long",
                    {{"w.csv", "\"Site\",\"Len\"\r\n1" + std::string(85, ',') + "caf\xE9\r\n"}},
                    {"w rejected.csv"},
                    {{"w rejected (2).csv", "\"Site\",\"Len\",\"Line\",\"Reason\"\r\n1" + std::string(85, ',') +
                                                "caf\xE9,2,\"the line holds more values than a row can (most likely "
                                                "a ',' or ';' inside a value)\"\r\n"}}}),
    [](const auto &info) { return CaseName(info.param.name); });

TEST_F(RejectedRowsTest, AWorkbooksRowsGoToAWorkbookThatReadsBackTheSame) {
    WorkbookWriter source;
    const Texts titles = {"Site", "Name", "Note"};
    const Texts refused = {"x", "Smith, Jr.", "said \"hello\"\nthen left"};
    for (int c = 1; c <= 3; ++c)
        source.setText(1, c, titles[c - 1]);
    source.setNumber(2, 1, 1);
    for (int c = 1; c <= 3; ++c)
        source.setText(3, c, refused[c - 1]);
    source.save(park.file("guests.xls"));
    ImportWindowState window;
    window.siteSlots[0].title = "Site";
    ScriptedPicker picker;
    std::string sheet;
    prompter.answers = {Answer::Yes}; // the sheet question
    ReadSelectedTitles(session, {"guests.xls"}, sheet, picker);
    window.ShtName = sheet;
    prompter.standing = {{"Error on Line", Answer::Yes}, {"We are making", Answer::No}};
    ImportSelectedFiles(session, window, ImportTable::Sites, {"guests.xls"});
    EXPECT_EQ(prompter.texts().back(), "1 row that was not imported is in " + park.file("guests rejected.xls") +
                                           ": fix it there, then import that file with the same mapping.");
    EXPECT_EQ(DumpWithXlrd(park.file("guests rejected.xls")),
              "sheet\tSheet1\t2\t5\n1\t1\ts:Site\n1\t2\ts:Name\n1\t3\ts:Note\n1\t4\ts:Line\n1\t5\ts:Reason\n"
              "2\t1\ts:x\n2\t2\ts:Smith, Jr.\n2\t3\ts:said \"hello\"\\nthen left\n2\t4\tn:3\n2\t5\ts:Number cannot "
              "take 'x': it is not a number\n");
}

} // namespace
} // namespace tarnwick
