#pragma once
// Questions about paths asked before a file is opened.
#include <string>

namespace tarnwick {

// Whether `path` exists (as anything).
bool PathExists(const std::string &path);
// Whether `path` is an existing ordinary file.
bool IsRegularFile(const std::string &path);
// Whether `path` is an existing folder.
bool IsDirectory(const std::string &path);
// Whether this process may write to `path` (a file, or a folder to make files in).
bool IsWritable(const std::string &path);
// Whether a file can really be made in `folder`, tried with a file removed at once: a read-only
// mount, or a folder that refuses even root, shows only then.
bool FolderTakesFiles(const std::string &folder);
// The folder part of `path` ("." when it has none).
std::string ParentFolder(const std::string &path);
// The extension of `fileName` after its last dot, in capitals ("" when it has none).
std::string UpperExtension(const std::string &fileName);
// Whether `path` begins as an SQLite database file does.
bool HasDatabaseHeader(const std::string &path);

} // namespace tarnwick
