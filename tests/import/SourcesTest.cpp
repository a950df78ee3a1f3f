// Reading sources: their lines in any ending and encoding, the titles of delimited and workbook
// sources, cutting data lines, and the quote repair. Matching titles to columns by themselves, and
// saved mappings: their file, their reuse, and the files that cannot be used.
#include "base/LineReader.h"
#include "import/DelimitedText.h"
#include "import/FieldNames.h"
#include "import/Mapping.h"
#include "import/QuoteRepair.h"
#include "support/CliPark.h"
#include "support/ParkFixture.h"
#include "support/WorkbookDumps.h"

#include <sys/stat.h>

namespace tarnwick {
namespace {

Texts readAll(const std::string &bytes) {
    TempDir dir;
    dir.write("f.txt", bytes);
    LineReader reader(FileHandle(std::fopen(dir.file("f.txt").c_str(), "rb")));
    Texts lines;
    while (auto line = reader.next())
        lines.push_back(*line);
    return lines;
}

// Line ends of every kind, also where one falls on the boundary of the 64 KiB read buffer, and the
// encodings a source may come in.
TEST(LineReaderTest, LineEndsAndEncodings) {
    const std::string full(65535, 'x');
    // clang-format off
    const std::pair<std::string, Texts> cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"a\r\n\r\nb\r\n", {"a", "", "b"}}, {"", {}},
        {full + "\r\nnext", {full, "next"}}, {full + "\rnext", {full, "next"}},
        {full + "\n\r\n" + full + "\r", {full, "", full}},
        {"\xEF\xBB\xBF\"Site\",\"Length\"\r\n", {"\"Site\",\"Length\""}},
        {"Oc\xE9\r\nOc\xC3\xA9\r\n\x80", {"Océ", "Océ", "€"}},
        {std::string("\xFF\xFE\x41\0\xE9\0\r\0\n\0\x42\0", 12), {"Aé", "B"}},
        {std::string("\xFE\xFF\0A\0\r\0B", 8), {"A", "B"}}};
    // clang-format on
    for (const auto &[bytes, lines] : cases)
        EXPECT_EQ(readAll(bytes), lines) << bytes.substr(0, 40);
}

TEST(DelimitedTextTest, TitlesSplitOnQuotedDelimitersAndDataLinesAtEveryOne) {
    // clang-format off
    const std::pair<std::string, Texts> headers[] = {
        {R"("Site","Length","Width")", {"Site", "Length", "Width"}}, {R"("A","","C")", {"A", "", "C"}},
        {R"("First Name", "Last")", {"First Name\", \"Last"}}, // a blank after the comma is no separator
        {R"("a;b","c")", {"a;b", "c"}}};
    const std::tuple<std::string, char, Texts> lines[] = {
        {R"("Smith","John, Jr","12 Main St")", ',', {"Smith", "John", " Jr", "12 Main St"}},
        {"one,,three,", ',', {"one", "", "three", ""}}, {R"("a","b","c")", ';', {"a,b,c"}}, {"", ',', {""}}};
    // clang-format on
    for (const auto &[header, titles] : headers)
        EXPECT_EQ(SplitTitles(header), titles) << header;
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
    const std::string many = "There were 151 titles in {park}/many.csv and only 150 can be processed. Please remove "
                             "unwanted Columns and run again.";
    // clang-format off
    const std::tuple<std::string, std::string, Texts, std::string> cases[] = {
        {"bom.csv", "\xEF\xBB\xBF\"A\";\"B\";\"C\"\r\n1;2;3\r\n", {"A", "B", "C"}, ""},
        {"most.csv", titled(150, ",", "\"") + "\r\n", {"T1", "150 titles", "T150"}, ""},
        {"many.csv", titled(151, ",", "\"") + "\r\n", {}, many},
        {"quote.csv", "\"\r\n", {}, "The first line of {park}/quote.csv holds no titles."},
        {"trailing.csv", "\"A\",\"B\",\"\"\r\n", {},
         "The last title in the first line of {park}/trailing.csv is empty. Please give every column a title and run "
         "again."},
        {"missing.csv", "", {}, "The file {park}/missing.csv could not be found."},
        {"gap.xls", "A\tB\tC\tD\t\tF\n#1", {"A", "B", "C", "D"}, workbookSaid + "6 Columns."},
        {"most.xls", titled(150, "\t", "") + "\n#1", {"T1", "150 titles", "T150"}, workbookSaid + "150 Columns."},
        {"many.xls", titled(151, "\t", "") + "\n#1", {"T1", "150 titles", "T150"},
         workbookSaid + "151 Columns.\nThere were 151 Columns in this Spreadsheet and only 150 can be processed. "
                        "Please remove unwanted Columns if needed and run again."},
    };
    // clang-format on
    for (const auto &[file, content, titles, said] : cases) {
        SCOPED_TRACE(file);
        if (file.find(".xls") != std::string::npos)
            WriteGridWorkbook(park.file(file), content);
        else if (file != "missing.csv")
            park.write(file, content);
        prompter.expect({Answer::Yes});
        Texts read = GetFieldNames(session, file, sheet, picker).titles;
        if (read.size() > 10)
            read = {read.front(), std::to_string(read.size()) + " titles", read.back()};
        EXPECT_EQ(read, titles);
        std::string texts;
        for (const std::string &text : prompter.texts())
            texts += (texts.empty() ? "" : "\n") + Masked(text, park.path());
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
    for (const auto &[reply, choice, titles, said] : cases) {
        prompter.expect({reply});
        picker.choice = choice;
        EXPECT_EQ(GetFieldNames(session, "three.xls", sheet, picker).titles, titles);
        EXPECT_EQ(sheet, choice.value_or("table1"));
        EXPECT_EQ(prompter.texts(), said);
    }
    EXPECT_EQ(picker.offered, (Texts{"table1", "table2", "table3"}));
}

TEST_F(SourcesTest, UnquotedTitlesAreOfferedTheRepairThatQuotesEveryValue) {
    park.write("guests.csv", "Site,Length\r\n1,40\r\n2,35\r\n");
    for (const Answer reply : {Answer::Cancel, Answer::OK}) {
        prompter.expect({reply});
        const FieldNamesResult result = GetFieldNames(session, "guests.csv", sheet, picker);
        EXPECT_TRUE(result.titles.empty());
        EXPECT_EQ(result.repairedFile,
                  reply == Answer::OK ? std::optional<std::string>("guests New.CSV") : std::nullopt);
        EXPECT_EQ(park.exists("guests New.CSV"), reply == Answer::OK);
    }
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

// Titles matched to columns by themselves: only plain matches, and where two titles fit one column
// or one title two, none, for the operator to decide.
TEST(AutoMatch, PicksThePlainMatchesNeverAWrongOneAndKeepsAChoiceMadeAlready) {
    // clang-format off
    const std::tuple<const char *, ImportTable, const char *, const char *> cases[] = {
        {"demo guests.xls", ImportTable::Guests,
         "First,Last,Street,Unit,Town,State,Zip,Phone,Mobile,Email,Arrive,Depart,Vehicle,Plate,DL,People,Pets,Notes",
         "FirstName=First,LastName=Last,Address1=Street,Address2=Unit,City=Town,State=State,Zip=Zip,Phone=Phone,"
         "Cell=Mobile,Email=Email,Arrival=Arrive,Departure=Depart,Vehicle=Vehicle,LicensePlate=Plate,DLNumber=DL,"
         "NoPeople=People,Pets=Pets,Notes=Notes"},
        {"demo pos.txt", ImportTable::Charges, "Item,Price,OnHand,Reorder,Taxable,UPC",
         "Name=Item,Amount=Price,QuaOnHand=OnHand,ReorderPoint=Reorder,Taxable=Taxable,UPC=UPC"},
        {"spelling", ImportTable::Sites, "site_no,E-MAIL,Alias #,elec.amps,Length,Sewer,Daily",
         "Number=site_no,AliasNumber=Alias #,Length=Length,Sewer=Sewer,ElectricAmp=elec.amps,Daily=Daily"},
        {"ambiguous", ImportTable::Guests, "Phone,Telephone,Notes,Comments,City", "City=City"},
        {"profiles.xls", ImportTable::Sites, "PROFIL,a,b,c,d,e,f,g,h,i", ""},
        {"Formate.xls", ImportTable::Guests, "Huber,7/3/1907", ""}};
    // clang-format on
    for (const auto &[source, table, titleList, expected] : cases) {
        SCOPED_TRACE(source);
        ImportWindowState window;
        std::vector<MappingSlot> &slots = window.slots(table);
        const Texts titles = SplitAt(titleList, ',');
        const MatchResult result = AutoMatch(slots, table, titles);
        Texts chosen;
        for (const MappingSlot &slot : slots)
            if (!slot.title.empty())
                chosen.push_back(slot.caption + "=" + slot.title);
        EXPECT_EQ(chosen, *expected ? SplitAt(expected, ',') : Texts{});
        EXPECT_EQ(result.matched.size(), chosen.size());
        EXPECT_EQ(result.leftover.size(), titles.size() - chosen.size());
    }
    ImportWindowState window;
    window.siteSlots[0].title = "Length"; // the operator's own choice for Number
    AutoMatch(window.siteSlots, ImportTable::Sites, {"Length", "Site"});
    EXPECT_EQ(window.siteSlots[0].title, "Length");
    EXPECT_EQ(window.siteSlots[2].title, "") << "Length is taken already";
}

class MappingFiles : public ParkFixture {};

TEST_F(MappingFiles, RoundTripOfferForTheSameTitlesOnlyAndSaving) {
    ImportWindowState window;
    window.comma = false;
    window.allCaps = window.taxableYesNo = true;
    window.chargeSlots[0].title = "Item";
    window.chargeSlots[1].title = "Price";
    const Texts titles = {"Item", "Price", "Tax"};
    const SavedMapping saved = CaptureMapping(window, ImportTable::Charges, titles);
    ASSERT_TRUE(SaveMappingFile(session, park.file("store.mapping.json"), saved));
    EXPECT_EQ(MappingToJson(LoadMappingFile(session, park.file("store.mapping.json")).value()), MappingToJson(saved));
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Charges, {"Item", "Price"}));
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Guests, titles));
    // Titles match whether their accents are composed or not ("Café" with the accent apart here).
    park.write("cafe.mapping.json", "{\"table\": \"guests\", \"slots\": {\"Address1\": \"Cafe\xCC\x81\"}, "
                                    "\"titles\": [\"Nom\", \"Cafe\xCC\x81\"]}");
    EXPECT_EQ(FindMappingFor(park.path(), ImportTable::Guests, {"Nom", "Caf\xC3\xA9"}), park.file("cafe.mapping.json"));
    EXPECT_EQ(LoadMappingFile(session, park.file("cafe.mapping.json"))->slots.at(0).second, "Caf\xC3\xA9");

    ImportWindowState fresh;
    prompter.answers = {Answer::Yes};
    EXPECT_TRUE(OfferSavedMapping(session, fresh, ImportTable::Charges, "store.csv", titles));
    EXPECT_EQ(prompter.texts(), Texts{"The titles of store.csv are those of the saved mapping store.mapping.json. Do "
                                      "you want to use it?"});
    EXPECT_EQ(MappingToJson(CaptureMapping(fresh, ImportTable::Charges, titles)), MappingToJson(saved));

    // Titles gone from the file are named; the rest is used.
    ImportWindowState partly;
    prompter.shown.clear();
    UseMapping(session, saved, partly, {"Item", "Cost"}, "new.csv");
    EXPECT_EQ(partly.chargeSlots[0].title, "Item");
    EXPECT_EQ(partly.chargeSlots[1].title, "");
    EXPECT_EQ(prompter.texts(), Texts{"The mapping names titles that new.csv does not have: Price. Their columns are "
                                      "left empty; the rest of the mapping is used."});

    // Saving refuses a nameless mapping and asks before replacing one.
    for (const char *name : {"", "   ", "north/"}) {
        prompter.inputs = {std::string(name)};
        EXPECT_FALSE(OfferSaveMapping(session, saved));
        EXPECT_EQ(prompter.texts().back(), "A mapping needs a name.");
    }
    park.write("north.mapping.json", "kept");
    for (const Answer reply : {Answer::No, Answer::Yes}) {
        prompter.expect({reply});
        prompter.inputs = {std::string("north")};
        EXPECT_EQ(OfferSaveMapping(session, saved), reply == Answer::Yes);
        EXPECT_EQ(prompter.texts().at(1),
                  "There is a mapping " + park.file("north.mapping.json") + " already. Do you want to replace it?");
        EXPECT_EQ(park.read("north.mapping.json") == "kept", reply == Answer::No);
    }
}

// Only small regular files are read, and a folder's search passes over the rest: a FIFO would
// block a reader for ever, /dev/zero never ends, a large file costs its size.
TEST_F(MappingFiles, FilesThatAreNoMappingAreNamedWithTheirProblem) {
    ASSERT_EQ(mkfifo(park.file("fifo.mapping.json").c_str(), 0600), 0);
    const std::string good = "{\"table\": \"sites\", \"slots\": {\"Number\": \"N\"}, \"titles\": [\"N\"]";
    park.write("big.mapping.json", good + ", \"padding\": \"" + std::string(1 << 20, ' ') + "\"}");
    EXPECT_FALSE(FindMappingFor(park.path(), ImportTable::Sites, {"N"})) << "no small regular mapping has these titles";
    park.write("small.mapping.json", good + "}");
    EXPECT_EQ(FindMappingFor(park.path(), ImportTable::Sites, {"N"}), park.file("small.mapping.json"));

    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"{\"table\": \"sites\", \"slots\": {\"Number\": ", "it is not valid JSON"}, {"[1, 2]", "it is not a mapping"},
        {"{\"table\": \"boats\", \"slots\": {}}", "its table 'boats' is none of sites, guests and charges"},
        {"{\"table\": \"sites\", \"slots\": {\"Colour\": \"C\"}}", "'Colour' is not a column of the sites import"},
        {"{\"table\": \"guests\", \"slots\": {}, \"yesNo\": [\"Water\"]}", "'Water' has no YES/NO box"},
        {"{\"table\": \"sites\", \"delimiter\": \"tab\", \"slots\": {}}",
         "its delimiter 'tab' is neither comma nor semicolon"},
        {"{\"table\": \"sites\", \"case\": \"CAPS\", \"slots\": {}}", "its case 'CAPS' is neither caps nor title"},
        {park.file("fifo.mapping.json"), "it is not a regular file."}, {"/dev/zero", "it is not a regular file."},
        {park.file("big.mapping.json"), "it is larger than 1 MB."},
        {park.file("none.mapping.json"), "it could not be read."}};
    // clang-format on
    for (const auto &[content, problem] : cases) {
        SCOPED_TRACE(content);
        prompter.shown.clear();
        const std::string path = content[0] == '/' ? content : park.file("bad.mapping.json");
        if (path != content)
            park.write("bad.mapping.json", content);
        EXPECT_FALSE(LoadMappingFile(session, path));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.texts()[0].substr(0, prompter.texts()[0].find(problem) + problem.size()),
                  "The mapping " + path + " cannot be used: " + problem);
    }
}

class MappingCli : public CliPark {};

// A mapping's titles are checked as the command line's are, and nothing is imported with half a
// mapping; saving refuses a nameless mapping and replaces one only when forced.
TEST_F(MappingCli, AMappingIsCheckedWholeAndReplacedOnlyWhenForced) {
    park.write("pos.csv", "\"Item\",\"Price\",\"Tax\"\r\nice,2.5,yes\r\n");
    park.write("nope.mapping.json", "{\"table\": \"charges\", \"slots\": {\"Name\": \"Nope\"}}");
    park.write("broken.mapping.json", "{\"table\": \"charges\", \"slots\": {\"Colour\": \"C\"}}");
    const CliResult byMapping = run("import charges pos.csv --mapping nope --backup no");
    EXPECT_EQ(byMapping.status, 2);
    EXPECT_EQ(byMapping.out, "--mapping nope: Name=Nope: 'Nope' is not a title of the file. Its titles are: Item, "
                             "Price, Tax\n");
    const CliResult broken = run("import charges pos.csv --mapping broken --backup yes");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out.find("We are making"), std::string::npos);
    EXPECT_EQ(run("import charges pos.csv --mapping auto").status, 1) << "no saved mapping has these titles";
    EXPECT_EQ(sql("SELECT count(*) FROM OtherCharges"), "0\n");

    EXPECT_EQ(run("mapping save 'sub/' charges pos.csv --map Name=Item").out,
              "mapping save: A mapping needs a name.\n");
    const std::string save = "mapping save store charges pos.csv --map Name=Item --map Amount=Price --map Taxable=Tax "
                             "--yes-no Taxable --case caps";
    ASSERT_EQ(run("mapping save store charges pos.csv --map Name=Price").status, 0);
    EXPECT_EQ(run(save).status, 1) << "not replaced without --force";
    ASSERT_EQ(run(save + " --force").status, 0);
    EXPECT_EQ(run("mapping show store").out, park.read("store.mapping.json"));
    ASSERT_EQ(run("import charges pos.csv --mapping auto --backup no").status, 0);
    EXPECT_EQ(sql("SELECT Name, Amount, Taxable FROM OtherCharges"), "ICE|2.5|1\n");
}

} // namespace
} // namespace tarnwick
