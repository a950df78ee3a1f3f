// The import window's file list and its per-file import, without the window.
#include "import/ImportWindowActions.h"
#include "support/ParkFixture.h"

#include <filesystem>

namespace tarnwick {
namespace {

TEST(ListSourceFiles, OnlyOrdinarySourceFilesSortedIgnoringCase) {
    TempDir dir;
    for (const char *name : {"b.CSV", "A.txt", "c.xls", "d.xlsx", "e.dat", "f.csv.bak", "noext", "a.Xls"})
        dir.write(name, "");
    std::filesystem::create_directory(dir.file("folder.csv"));
    EXPECT_EQ(ListSourceFiles(dir.path()), (Texts{"A.txt", "a.Xls", "b.CSV", "c.xls"}));
    EXPECT_TRUE(ListSourceFiles(dir.file("missing")).empty());
}

// The status line names each file read, its worksheet and its titles, then the delimiter the titles
// look separated by when it is not the one chosen; a panel left empty names the files to click again.
TEST(ImportStatusLine, NamesTheFilesReadAndTheDelimiterToChoose) {
    const SourceRead comma{"s.csv", "", 3, ',', ','}, semi{"t.csv", "", 3, ';', ';'}, mixed{"m.csv", "", 3, ',', ';'};
    const std::string mixedSaid = "m.csv: 3 titles. The titles look separated by commas but the data by semicolons";
    // clang-format off
    const std::tuple<std::vector<SourceRead>, char, std::string> cases[] = {
        {{comma}, ',', "s.csv: 3 titles"},
        {{semi}, ',', "t.csv: 3 titles. The titles look separated by semicolons: choose Semicolon"},
        {{semi}, ';', "t.csv: 3 titles"},
        {{comma}, ';', "s.csv: 3 titles. The titles look separated by commas: choose Comma"},
        {{mixed}, ',', mixedSaid + ": choose Semicolon"},
        {{mixed}, ';', mixedSaid},
        {{{"g.xls", "Current Guests", 1, 0, 0}, {"e.csv", "", 0, ',', ','}, semi}, ',',
         "g.xls, sheet Current Guests: 1 title; e.csv: no titles read; t.csv: 3 titles. The titles look separated by "
         "semicolons: choose Semicolon"}};
    // clang-format on
    for (const auto &[reads, delimiter, said] : cases)
        EXPECT_EQ(TitlesReadStatus(reads, delimiter), said);
    EXPECT_EQ(ReadAgainStatus({"a.csv"}, "Guest Data"), "Click a.csv again to read its titles for Guest Data");
    EXPECT_EQ(ReadAgainStatus({"a.csv", "b.csv", "c.csv"}, "POS Items"),
              "Click a.csv, b.csv and c.csv again to read their titles for POS Items");
}

class ImportSelectedFilesTest : public ParkFixture {};

// Each file of a panel's run is offered its backup, named for the panel, and summed up in the
// panel's words; a park gone from its folder, or its folder gone, is said once and nothing is
// imported.
TEST_F(ImportSelectedFilesTest, EachPanelOffersItsBackupPerFileAndSumsUpInItsWords) {
    const std::tuple<ImportTable, std::string, std::string, std::string, std::string> panels[] = {
        {ImportTable::Sites, "Length", "AddSites", "Add Sites", " Sites Successfully Imported"},
        {ImportTable::Guests, "City", "AddGuests", "Add Guests", " Guests Successfully Imported"},
        {ImportTable::Charges, "Name", "AddOtherChgs", "Add OtherCharges", " Other Charges Successfully Imported"},
    };
    for (const auto &[table, title, reason, action, summary] : panels) {
        SCOPED_TRACE(reason);
        park.write("a.csv", "\"" + title + "\"\r\n1\r\n2\r\n");
        park.write("b.csv", "\"" + title + "\"\r\n3\r\n");
        ImportWindowState window;
        ScriptedPicker picker;
        ReadSelectedTitles(session, {"a.csv", "b.csv"}, window.ShtName, picker);
        for (MappingSlot &slot : window.slots(table))
            if (slot.caption == title)
                slot.title = title;
        prompter.expect({Answer::Yes, Answer::No});
        EXPECT_EQ(ImportSelectedFiles(session, window, table, {"a.csv", "b.csv"}).size(), 2u);
        const std::string question =
            "We are making a BackUp of the Halvane DataBase before you " + action + " 12-04-2026 09 05 ?";
        EXPECT_EQ(prompter.texts(),
                  (Texts{question,
                         "The Database has been BackedUp as " + park.file("Park_" + reason + "_12-04-2026 09 05.MDB"),
                         "2 of 2" + summary, question, "1 of 1" + summary}));
    }

    std::filesystem::rename(park.file("Park.MDB"), park.file("Moved.MDB"));
    for (const std::string gone : {"Park.MDB is no longer in the database folder " + park.path(),
                                   "The database folder " + park.path() + " no longer exists"}) {
        prompter.shown.clear();
        EXPECT_TRUE(ImportSelectedFiles(session, ImportWindowState(), ImportTable::Sites, {"a.csv"}).empty());
        EXPECT_EQ(prompter.texts(), Texts{gone + ", so nothing was changed."});
        std::filesystem::remove_all(park.path());
    }
}

} // namespace
} // namespace tarnwick
