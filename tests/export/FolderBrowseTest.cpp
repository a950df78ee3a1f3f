// The export window's folder and file lists without the window.
#include "export/FolderBrowse.h"
#include "support/ParkFixture.h"

#include <filesystem>

namespace tarnwick {
namespace {

class FolderBrowseTest : public ParkFixture {};

TEST_F(FolderBrowseTest, AncestorsSubfoldersAndDatabasesOrASentence) {
    for (const std::string name : {"b old/inner/", "A new/", "folder.mdb/", "z.MDB", "a.mdb", "c.accdb", "notes.txt"})
        name.back() == '/' ? void(std::filesystem::create_directories(park.file(name))) : park.write(name, "");
    FolderView view = BrowseFolder(session, park.path() + "/./");
    EXPECT_EQ((Texts{view.ancestors.front(), view.ancestors.back()}), (Texts{"/", park.path()}));
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
