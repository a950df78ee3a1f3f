#pragma once
#include "app/Session.h"

namespace tarnwick {

// Opens session.ParkConnection on DbFolder/Park.MDB with DbPassword. A missing file shows the
// message that asks to correct path.txt and ends the program (throws EndProgram); any other failure
// is shown with its number and description and leaves the connection closed.
void CreateRVCon(Session &session);

// The start-up shared by both programs, from the clearing of the flags to the opened connection:
// reads the database folder from AppFolder/path.txt (writing the default file and ending the program
// when it is missing) and calls CreateRVCon. session.AppFolder must be set.
void StartUp(Session &session);

// The folder that holds the running executable.
std::string ExecutableFolder();

// The folder that keeps path.txt: the program's own folder when files can be made there (as in
// the build folder), else `configFolder`, made when missing (an installed program's folder is
// read-only).
std::string SettingsFolder(const std::string &programFolder, const std::string &configFolder);
// The user's configuration folder for Tarnwick: $XDG_CONFIG_HOME/Tarnwick, else ~/.config/Tarnwick.
std::string UserConfigFolder();

} // namespace tarnwick
