#pragma once
// Brings the operator's old files into the park's folder, the one folder the import window lists:
// a file dialog from the operator's home (or the folder files were last brought from), the chosen
// files copied in, a file already there replaced only when the operator says so.
#include "app/Session.h"

#include <string>
#include <vector>

namespace tarnwick {

// Copies `files` into the park's folder. A name the folder already holds is replaced only after
// a Yes; a file that cannot be copied is said in a sentence and leaves nothing behind. Returns the
// names now in the folder that were copied.
std::vector<std::string> CopyIntoPark(Session &session, const std::vector<std::string> &files);

// The "Add Files..." button: the dialog, then CopyIntoPark. `home` is where the first dialog opens.
std::vector<std::string> AddFilesToPark(Session &session, const std::string &home);

} // namespace tarnwick
