// The check run against the real import: the same problems on the same lines, and the park file
// untouched; and the rows an import passes over, kept for a second try.
#include "import/ImportCheck.h"
#include "db/Recordset.h"
#include "import/FieldNames.h"
#include "import/ImportWindowActions.h"
#include "support/ParkFixture.h"

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
    [](const auto &info) { return "Case" + std::to_string(info.index); });

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
    EXPECT_NE(rejected.find("\r\nten,45,3,\"Number cannot take 'ten': it is not a value of the column's kind"),
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

} // namespace
} // namespace tarnwick
