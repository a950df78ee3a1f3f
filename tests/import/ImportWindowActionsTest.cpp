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

} // namespace
} // namespace tarnwick
