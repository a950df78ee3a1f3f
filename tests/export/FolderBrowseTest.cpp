// The export window's folder and file lists without the window.
#include "export/FolderBrowse.h"
#include "support/ParkFixture.h"

#include <filesystem>

namespace tarnwick {
namespace {

using Texts = std::vector<std::string>;

class FolderBrowseTest : public ParkFixture {};

TEST_F(FolderBrowseTest, AncestorsSubfoldersAndDatabasesOrASentence) {
    std::filesystem::create_directories(park.file("b old/inner"));
    std::filesystem::create_directories(park.file("A new"));
    std::filesystem::create_directories(park.file("folder.mdb"));
    for (const char *name : {"z.MDB", "a.mdb", "c.accdb", "notes.txt"})
        park.write(name, "");
    FolderView view = BrowseFolder(session, park.path() + "/./");
    EXPECT_EQ(view.ancestors.front(), "/");
    EXPECT_EQ(view.ancestors.back(), park.path());
    EXPECT_EQ(view.folders, (Texts{"A new", "b old", "folder.mdb"}));
    EXPECT_EQ(view.databases, (Texts{"a.mdb", "Park.MDB", "z.MDB"}));
    EXPECT_TRUE(prompter.shown.empty());

    view = BrowseFolder(session, park.file("gone"));
    EXPECT_TRUE(view.folders.empty() && view.databases.empty());
    EXPECT_EQ(prompter.texts(),
              Texts{"The folder " + park.file("gone") + " cannot be read: No such file or directory."});
}

} // namespace
} // namespace tarnwick
