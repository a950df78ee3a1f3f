#pragma once
// Files that are written whole under a temporary name and then given a name that nothing else in
// their folder has, so that a file the program writes never replaces another and is never seen
// half-written.
#include <string>
#include <vector>

namespace tarnwick {

// A new, empty temporary file in `folder` (hidden, unique); its path. Throws std::system_error.
std::string MakeTemporaryFile(const std::string &folder);

// Gives the written file `temporary` the first name of `folder` that no file or folder has and that
// `avoid` does not list: `stem` + `extension`, then `stem` + " (2)" + `extension`, " (3)" ... The
// temporary name is gone afterwards. The new name; throws std::system_error.
std::string NameWithoutReplacing(const std::string &temporary, const std::string &folder, const std::string &stem,
                                 const std::string &extension, const std::vector<std::string> &avoid = {});

// Writes a file's bytes, and then its folder's entry, to the disk. False when the disk refuses.
bool FlushToDisk(const std::string &path);
void FlushFolder(const std::string &folder);

} // namespace tarnwick
