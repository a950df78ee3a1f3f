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
    EXPECT_EQ(ListSourceFiles(dir.path()), (std::vector<std::string>{"A.txt", "a.Xls", "b.CSV", "c.xls"}));
    EXPECT_TRUE(ListSourceFiles(dir.file("missing")).empty());
}

class ImportSelectedFilesTest : public ParkFixture {};

TEST_F(ImportSelectedFilesTest, AParkThatIsGoneIsReportedOnceAndNothingIsImported) {
    park.write("a.csv", "\"Site\"\r\n1\r\n");
    park.write("b.csv", "\"Site\"\r\n2\r\n");
    std::filesystem::rename(park.file("Park.MDB"), park.file("Moved.MDB"));
    ImportWindowState window;
    auto outcomes = ImportSelectedFiles(session, window, ImportTable::Sites, {"a.csv", "b.csv"});
    EXPECT_TRUE(outcomes.empty());
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"Park.MDB is no longer in the database folder " +
                                                          park.path() + ", so nothing was changed."}));
}

TEST_F(ImportSelectedFilesTest, EachPanelOffersItsBackupPerFileAndSumsUpInItsWords) {
    struct Case {
        ImportTable table;
        std::string title, reason, question, summary;
    };
    const Case cases[] = {
        {ImportTable::Sites, "Length", "AddSites", "Add Sites", " Sites Successfully Imported"},
        {ImportTable::Guests, "City", "AddGuests", "Add Guests", " Guests Successfully Imported"},
        {ImportTable::Charges, "Name", "AddOtherChgs", "Add OtherCharges", " Other Charges Successfully Imported"},
    };
    const std::string stamp = "12-04-2026 09 05";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reason);
        park.write("a.csv", "\"" + c.title + "\"\r\n1\r\n2\r\n");
        park.write("b.csv", "\"" + c.title + "\"\r\n3\r\n");
        ImportWindowState window;
        ScriptedPicker picker;
        ReadSelectedTitles(session, {"a.csv", "b.csv"}, window.ShtName, picker);
        for (MappingSlot &slot : window.slots(c.table))
            if (slot.caption == c.title)
                slot.title = c.title;
        prompter.shown.clear();
        prompter.answers = {Answer::Yes, Answer::No};
        const auto outcomes = ImportSelectedFiles(session, window, c.table, {"a.csv", "b.csv"});
        EXPECT_EQ(outcomes.size(), 2u);
        const std::string question =
            "We are making a BackUp of the Halvane DataBase before you " + c.question + " " + stamp + " ?";
        EXPECT_EQ(prompter.texts(), (std::vector<std::string>{question,
                                                              "The Database has been BackedUp as " +
                                                                  park.file("Park_" + c.reason + "_" + stamp + ".MDB"),
                                                              "2 of 2" + c.summary, question, "1 of 1" + c.summary}));
    }
}

} // namespace
} // namespace tarnwick
