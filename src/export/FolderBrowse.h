#pragma once
// What the export window's folder and file lists show: the folders above and below a folder, and
// its Access databases.
#include "app/Session.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct FolderView {
    std::vector<std::string> ancestors; // from the root down to the folder itself
    std::vector<std::string> folders;   // the folder's subfolders, by name ignoring case
    std::vector<std::string> databases; // its *.mdb files (extension in any case), by name ignoring case
};

// The view of `folder`; a folder that cannot be read is said to be so, and lists nothing below it.
FolderView BrowseFolder(Session &session, const std::string &folder);

// Names sorted as the lists sort them: ignoring case, then by case.
void SortNames(std::vector<std::string> &names);

} // namespace tarnwick
