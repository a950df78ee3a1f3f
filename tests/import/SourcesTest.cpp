// Reading the titles of delimited and workbook sources, cutting data lines, and the quote repair.
#include "import/DelimitedText.h"
#include "import/FieldNames.h"
#include "import/QuoteRepair.h"
#include "support/ParkFixture.h"
#include "support/WorkbookDumps.h"

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

TEST(DelimitedTextTest, TitlesSplitOnQuotedDelimitersAndDataLinesAtEveryOne) {
    const std::pair<std::string, Texts> headers[] = {
        {R"("Site","Length","Width")", {"Site", "Length", "Width"}},
        {R"("A","","C")", {"A", "", "C"}},
        {R"("First Name", "Last")", {"First Name\", \"Last"}}, // a blank after the comma is no separator
        {R"("a;b","c")", {"a;b", "c"}},
    };
    for (const auto &[header, titles] : headers)
        EXPECT_EQ(SplitTitles(header), titles) << header;
    const std::tuple<std::string, char, Texts> lines[] = {
        {R"("Smith","John, Jr","12 Main St")", ',', {"Smith", "John", " Jr", "12 Main St"}},
        {"one,,three,", ',', {"one", "", "three", ""}},
        {R"("a","b","c")", ';', {"a,b,c"}},
        {"", ',', {""}},
    };
    for (const auto &[line, delimiter, values] : lines) {
        Texts cut;
        for (const Value &v : CutLine(line, delimiter))
            cut.push_back(v.text());
        EXPECT_EQ(cut, values) << line;
    }
}

class SourcesTest : public ParkFixture {
protected:
    std::string sheet;
    ScriptedPicker picker;
};

std::string titled(int count, const char *separator, const char *quote) {
    std::string line;
    for (int i = 1; i <= count; ++i)
        line += (i > 1 ? separator : "") + std::string(quote) + "T" + std::to_string(i) + quote;
    return line;
}

// Up to 150 titles are taken; the first empty cell of a worksheet's first row ends them.
TEST_F(SourcesTest, TitlesAreReadOrRefusedWithAMessage) {
    const std::string workbookSaid = "There are 1 sheets, we will be processing Sheet1\nThere are 2 Rows.\nThere are ";
    const std::string many = "There were 151 titles in FILE and only 150 can be processed. Please remove unwanted "
                             "Columns and run again.";
    // clang-format off
    const std::tuple<std::string, std::string, Texts, std::string> cases[] = {
        {"bom.csv", "\xEF\xBB\xBF\"A\";\"B\";\"C\"\r\n1;2;3\r\n", {"A", "B", "C"}, ""},
        {"lf.txt", "\"X\",\"Y\"\n", {"X", "Y"}, ""},
        {"most.csv", titled(150, ",", "\"") + "\r\n", {"T1", "150 titles", "T150"}, ""},
        {"many.csv", titled(151, ",", "\"") + "\r\n", {}, many},
        {"quote.csv", "\"\r\n", {}, "The first line of FILE holds no titles."},
        {"trailing.csv", "\"A\",\"B\",\"\"\r\n", {},
         "The last title in the first line of FILE is empty. Please give every column a title and run again."},
        {"missing.csv", "", {}, "The file FILE could not be found."},
        {"gap.xls", "A\tB\tC\tD\t\tF\n#1", {"A", "B", "C", "D"}, workbookSaid + "6 Columns."},
        {"most.xls", titled(150, "\t", "") + "\n#1", {"T1", "150 titles", "T150"}, workbookSaid + "150 Columns."},
        {"many.xls", titled(151, "\t", "") + "\n#1", {"T1", "150 titles", "T150"},
         workbookSaid + "151 Columns.\nThere were 151 Columns in this Spreadsheet and only 150 can be processed. "
                        "Please remove unwanted Columns if needed and run again."},
    };
    // clang-format on
    for (auto [file, content, titles, said] : cases) {
        SCOPED_TRACE(file);
        if (file.find(".xls") != std::string::npos)
            WriteGridWorkbook(park.file(file), content);
        else if (file != "missing.csv")
            park.write(file, content);
        prompter.shown.clear();
        prompter.answers = {Answer::Yes};
        Texts read = GetFieldNames(session, file, sheet, picker).titles;
        if (read.size() > 10)
            read = {read.front(), std::to_string(read.size()) + " titles", read.back()};
        EXPECT_EQ(read, titles);
        std::string texts;
        for (const std::string &text : prompter.texts())
            texts += (texts.empty() ? "" : "\n") + text;
        if (said.find("FILE") != std::string::npos)
            said.replace(said.find("FILE"), 4, park.file(file));
        EXPECT_EQ(texts, said);
    }
    EXPECT_FALSE(park.exists("missing.csv")) << "a missing source is never created";
}

// The first sheet is offered; No opens the picker, and closing the picker keeps the first sheet.
TEST_F(SourcesTest, WorkbookSheetQuestionAndPicker) {
    WriteGridWorkbook(park.file("three.xls"), "[table1]\nRED\tRED\n#1\n#2\n[table2]\nX\n[table3]\nY");
    const std::string question = "There are 3 sheets, we will be processing table1";
    const std::tuple<Answer, std::optional<std::string>, Texts, Texts> cases[] = {
        {Answer::Yes, std::nullopt, {"RED", "RED"}, {question, "There are 3 Rows.", "There are 2 Columns."}},
        {Answer::No, "table3", {"Y"}, {question, "There are 1 Rows.", "There are 1 Columns."}},
        {Answer::No, std::nullopt, {"RED", "RED"}, {question, "There are 3 Rows.", "There are 2 Columns."}}};
    for (const auto &[answer, choice, titles, said] : cases) {
        prompter.shown.clear();
        prompter.answers = {answer};
        picker.choice = choice;
        EXPECT_EQ(GetFieldNames(session, "three.xls", sheet, picker).titles, titles);
        EXPECT_EQ(sheet, choice.value_or("table1"));
        EXPECT_EQ(prompter.texts(), said);
    }
    EXPECT_EQ(picker.offered, (Texts{"table1", "table2", "table3"}));
}

TEST_F(SourcesTest, UnquotedTitlesAreOfferedTheRepairThatQuotesEveryValue) {
    park.write("guests.csv", "Site,Length\r\n1,40\r\n2,35\r\n");
    prompter.answers = {Answer::Cancel};
    EXPECT_EQ(GetFieldNames(session, "guests.csv", sheet, picker).repairedFile, std::nullopt);
    EXPECT_FALSE(park.exists("guests New.CSV"));

    prompter.shown.clear();
    prompter.answers = {Answer::OK};
    const FieldNamesResult result = GetFieldNames(session, "guests.csv", sheet, picker);
    EXPECT_TRUE(result.titles.empty());
    EXPECT_EQ(result.repairedFile, std::optional<std::string>("guests New.CSV"));
    EXPECT_EQ(park.read("guests New.CSV"), "\"Site\",\"Length\"\r\n\"1\",\"40\"\r\n\"2\",\"35\"\r\n");
    EXPECT_EQ(prompter.texts(),
              (Texts{"Your File does NOT have quotes around the Fields!\r\nSelect OK to create a New file with quotes.",
                     "New file has been saved.\r\nPlease use a text editor to verify the extra Quotes were properly "
                     "addded.\r\nNew File: " +
                         park.file("guests New.CSV") + "\r\n2 Lines Processed."}));
    EXPECT_EQ(prompter.shown[1].icon, Icon::Information);

    // The name keeps every dot but the last; a second repair replaces the first; quotes are doubled.
    park.write("park.data.txt", "a;b\r\n\"q\",1\r\n");
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(RepairQuotes(session, "park.data.txt"), std::optional<std::string>("park.data New.TXT"));
        EXPECT_EQ(park.read("park.data New.TXT"), "\"a;b\"\r\n\"\"q\"\",\"1\"\r\n");
    }
    park.write("empty.csv", "");
    RepairQuotes(session, "empty.csv");
    EXPECT_EQ(park.read("empty New.CSV"), "");
    EXPECT_EQ(prompter.shown.back().text.substr(prompter.shown.back().text.rfind('\n') + 1), "-1 Lines Processed.");
}

TEST_F(SourcesTest, DataLinesCountBlankLinesAndNotTheTitles) {
    const std::pair<const char *, long> cases[] = {
        {"\"H\"\r\n1\r\n2\r\n3\r\n\r\n", 4}, {"\"H\"\n1\n2\n3\n\n\n", 5}, {"", -1}};
    for (const auto &[content, lines] : cases) {
        park.write("a.csv", content);
        EXPECT_EQ(CountDataLines(session, park.file("a.csv")), lines) << content;
    }
}

} // namespace
} // namespace tarnwick
