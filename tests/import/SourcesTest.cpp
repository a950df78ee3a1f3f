// Reading the titles of delimited and workbook sources, cutting data lines, and the quote repair.
#include "import/DelimitedText.h"
#include "import/FieldNames.h"
#include "import/QuoteRepair.h"
#include "sheet/WorkbookWriter.h"
#include "support/ParkFixture.h"

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

Texts texts(const std::vector<Value> &values) {
    Texts out;
    for (const Value &v : values)
        out.push_back(v.text());
    return out;
}

TEST(DelimitedTextTest, HeaderSplitsOnQuotedCommaOrSemicolon) {
    const std::pair<std::string, Texts> cases[] = {
        {R"("Site","Length","Width")", {"Site", "Length", "Width"}},
        {R"("Site";"Length";"Width")", {"Site", "Length", "Width"}},
        {R"("A","","C")", {"A", "", "C"}},
        {R"("Only")", {"Only"}},
        {R"("First Name", "Last")", {"First Name\", \"Last"}}, // a blank after the comma is no separator
        {R"("a;b","c")", {"a;b", "c"}},
    };
    for (const auto &[header, titles] : cases)
        EXPECT_EQ(SplitTitles(header), titles) << header;
}

TEST(DelimitedTextTest, DataLinesCutAtEveryDelimiterAndQuotesDropped) {
    const std::tuple<std::string, char, Texts> cases[] = {
        {R"("Smith","John","12 Main St")", ',', {"Smith", "John", "12 Main St"}},
        {R"("Smith","John, Jr","12 Main St")", ',', {"Smith", "John", " Jr", "12 Main St"}},
        {"one,,three,", ',', {"one", "", "three", ""}},
        {R"("a","b","c")", ';', {"a,b,c"}},
        {"", ',', {""}},
    };
    for (const auto &[line, delimiter, values] : cases)
        EXPECT_EQ(texts(CutLine(line, delimiter)), values) << line;
}

class SourcesTest : public ParkFixture {
protected:
    FieldNamesResult titlesOf(const std::string &file) { return GetFieldNames(session, file, shtName, picker); }

    void writeWorkbook(const std::string &name, const std::vector<std::vector<std::string>> &sheetRows) {
        WorkbookWriter writer;
        for (std::size_t r = 0; r < sheetRows.size(); ++r)
            for (std::size_t c = 0; c < sheetRows[r].size(); ++c)
                if (!sheetRows[r][c].empty())
                    writer.setText(static_cast<int>(r + 1), static_cast<int>(c + 1), sheetRows[r][c]);
        writer.save(park.file(name));
    }

    std::string shtName;
    ScriptedPicker picker;
};

TEST_F(SourcesTest, TextTitlesFillFieldNamesAndLaterSlotsSurvive) {
    park.write("four.csv", "\xEF\xBB\xBF\"A\";\"B\";\"C\";\"D\"\r\n1;2;3;4\r\n");
    park.write("two.txt", "\"X\",\"Y\"\n");
    EXPECT_EQ(titlesOf("four.csv").titles, (Texts{"A", "B", "C", "D"}));
    EXPECT_EQ(titlesOf("two.txt").titles, (Texts{"X", "Y"}));
    EXPECT_EQ(Texts(session.FieldNames.begin(), session.FieldNames.begin() + 5), (Texts{"2", "X", "Y", "C", "D"}));
    std::string most = "\"T1\"";
    for (int i = 2; i <= 150; ++i)
        most += ",\"T" + std::to_string(i) + "\"";
    park.write("most.csv", most + "\r\n");
    const Texts titles = titlesOf("most.csv").titles;
    EXPECT_EQ(titles.size(), 150u) << "150 titles are taken";
    EXPECT_EQ(titles.empty() ? "" : titles.back(), "T150");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SourcesTest, UnreadableTitleLinesAreRefusedWithAMessage) {
    std::string many = "\"T1\"";
    for (int i = 2; i <= 151; ++i)
        many += ",\"T" + std::to_string(i) + "\"";
    park.write("many.csv", many + "\r\n");
    park.write("quote.csv", "\"\r\n");
    park.write("trailing.csv", "\"A\",\"B\",\"\"\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {"many.csv", "There were 151 titles in " + park.file("many.csv") +
                         " and only 150 can be processed. Please remove unwanted Columns and run again."},
        {"quote.csv", "The first line of " + park.file("quote.csv") + " holds no titles."},
        {"trailing.csv", "The last title in the first line of " + park.file("trailing.csv") +
                             " is empty. Please give every column a title and run again."},
        {"missing.csv", "The file " + park.file("missing.csv") + " could not be found."},
    };
    for (const auto &[file, message] : cases) {
        prompter.shown.clear();
        EXPECT_TRUE(titlesOf(file).titles.empty()) << file;
        EXPECT_EQ(prompter.texts(), Texts{message});
    }
    EXPECT_FALSE(park.exists("missing.csv")) << "a missing source is never created";
}

TEST_F(SourcesTest, UnquotedHeaderIsOfferedTheRepair) {
    park.write("guests.csv", "Site,Length\r\n1,40\r\n2,35\r\n");
    prompter.answers = {Answer::Cancel};
    EXPECT_EQ(titlesOf("guests.csv").repairedFile, std::nullopt);
    EXPECT_FALSE(park.exists("guests New.CSV"));

    prompter.shown.clear();
    prompter.answers = {Answer::OK};
    FieldNamesResult result = titlesOf("guests.csv");
    EXPECT_TRUE(result.titles.empty());
    EXPECT_EQ(result.repairedFile, std::optional<std::string>("guests New.CSV"));
    EXPECT_EQ(park.read("guests New.CSV"), "\"Site\",\"Length\"\r\n\"1\",\"40\"\r\n\"2\",\"35\"\r\n");
    EXPECT_EQ(prompter.texts(),
              (Texts{"Your File does NOT have quotes around the Fields!\r\nSelect OK to create a New file with quotes.",
                     "New file has been saved.\r\nPlease use a text editor to verify the extra Quotes were properly "
                     "addded.\r\nNew File: " +
                         park.file("guests New.CSV") + "\r\n2 Lines Processed."}));
    EXPECT_EQ(prompter.shown[1].icon, Icon::Information);
}

TEST_F(SourcesTest, QuoteRepairNamesCountsAndReplaces) {
    park.write("park.data.txt", "a;b\r\n\"q\",1\r\n");
    park.write("empty.csv", "");
    EXPECT_EQ(RepairQuotes(session, "park.data.txt"), std::optional<std::string>("park.data New.TXT"));
    EXPECT_EQ(park.read("park.data New.TXT"), "\"a;b\"\r\n\"\"q\"\",\"1\"\r\n");
    EXPECT_EQ(RepairQuotes(session, "park.data.txt"), std::optional<std::string>("park.data New.TXT"));
    EXPECT_EQ(park.read("park.data New.TXT"), "\"a;b\"\r\n\"\"q\"\",\"1\"\r\n");
    RepairQuotes(session, "empty.csv");
    EXPECT_EQ(park.read("empty New.CSV"), "");
    EXPECT_EQ(prompter.shown.back().text.substr(prompter.shown.back().text.rfind('\n') + 1), "-1 Lines Processed.");
}

TEST(DataLineCountTest, BlankLinesCountAndHeaderDoesNot) {
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session(prompter, progress, clock);
    TempDir dir;
    dir.write("a.csv", "\"H\"\r\n1\r\n2\r\n3\r\n\r\n");
    dir.write("b.csv", "\"H\"\n1\n2\n3\n\n\n");
    dir.write("c.csv", "");
    EXPECT_EQ(CountDataLines(session, dir.file("a.csv")), 4);
    EXPECT_EQ(CountDataLines(session, dir.file("b.csv")), 5);
    EXPECT_EQ(CountDataLines(session, dir.file("c.csv")), -1);
}

TEST_F(SourcesTest, WorkbookSheetQuestionAndPicker) {
    // Our writer makes one sheet; a three-sheet workbook comes from the test data.
    park.write("three.xls", TempDir::readFile(std::string(TESTDATA_DIR) + "/xls/xf_class.xls"));

    prompter.answers = {Answer::Yes};
    EXPECT_EQ(titlesOf("three.xls").titles, (Texts{"RED", "RED"}));
    EXPECT_EQ(shtName, "table1");
    EXPECT_EQ(prompter.shown[0].text, "There are 3 sheets, we will be processing table1");

    prompter.shown.clear();
    prompter.answers = {Answer::No};
    picker.choice = "table3";
    titlesOf("three.xls");
    EXPECT_EQ(picker.offered, (Texts{"table1", "table2", "table3"}));
    EXPECT_EQ(shtName, "table3");
    EXPECT_EQ(prompter.texts(),
              (Texts{"There are 3 sheets, we will be processing table1", "There are 3 Rows.", "There are 2 Columns."}));

    prompter.answers = {Answer::No};
    picker.choice.reset();
    titlesOf("three.xls");
    EXPECT_EQ(shtName, "table1") << "closing the picker keeps the first sheet";
}

TEST_F(SourcesTest, WorkbookTitlesEndAtFirstEmptyCellAndStopAt150) {
    writeWorkbook("gap.xls", {{"A", "B", "C", "D", "", "F"}});
    prompter.answers = {Answer::Yes};
    EXPECT_EQ(titlesOf("gap.xls").titles, (Texts{"A", "B", "C", "D"}));
    EXPECT_EQ(prompter.texts(),
              (Texts{"There are 1 sheets, we will be processing Sheet1", "There are 1 Rows.", "There are 6 Columns."}));

    for (int width : {150, 151, 200}) {
        SCOPED_TRACE(width);
        std::vector<std::string> wide;
        for (int i = 1; i <= width; ++i)
            wide.push_back("T" + std::to_string(i));
        writeWorkbook("wide.xls", {wide, {"1"}, {"2"}});
        prompter.shown.clear();
        prompter.answers = {Answer::Yes};
        Texts titles = titlesOf("wide.xls").titles;
        EXPECT_EQ(titles.size(), 150u);
        EXPECT_EQ(titles.back(), "T150");
        Texts said{"There are 1 sheets, we will be processing Sheet1", "There are 3 Rows.",
                   "There are " + std::to_string(width) + " Columns."};
        if (width > 150)
            said.push_back("There were " + std::to_string(width) +
                           " Columns in this Spreadsheet and only 150 can be processed. Please remove unwanted "
                           "Columns if needed and run again.");
        EXPECT_EQ(prompter.texts(), said);
    }
}

} // namespace
} // namespace tarnwick
