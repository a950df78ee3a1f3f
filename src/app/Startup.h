#pragma once
#include "app/Session.h"

namespace tarnwick {

// Opens session.ParkConnection on DbFolder/Park.MDB with DbPassword. A missing file shows the
// message that asks to correct path.txt and ends the program (throws EndProgram); any other failure
// is shown with its number and description and leaves the connection closed.
void CreateRVCon(Session &session);

// The message that sends the operator to path.txt because its folder has no Park.MDB.
void ShowNoParkMessage(Session &session);

// What the start-up does when path.txt names a folder without a park.
enum class NoPark {
    End,   // the message that names path.txt, then the end of the program
    Choose // the operator chooses the park's folder, or has a park made there (ChoosePark)
};

// The start-up shared by both programs, from the clearing of the flags to the opened connection:
// reads the database folder from AppFolder/path.txt and calls CreateRVCon. With NoPark::End a
// missing path.txt is written with the default and the program ends; with NoPark::Choose the
// default is written and the run goes on to the choice of the park, which a Cancel ends.
// session.AppFolder must be set.
void StartUp(Session &session, NoPark whenNoPark = NoPark::End);

// The folder that holds the running executable.
std::string ExecutableFolder();

// Whether the program runs installed: from a system folder (/usr/bin, /usr/local/bin, /opt/...),
// or from the bin folder of an installation that has share/tarnwick beside it (a package unpacked
// under another root, a prefix of its own).
bool RunsInstalled(const std::string &programFolder);

// The folder that keeps path.txt: the program's own folder for a plain copy that can make files
// there (as the build folder), else `configFolder`, made when missing. An installed program never
// writes into its own folder, even when it may (root).
std::string SettingsFolder(const std::string &programFolder, const std::string &configFolder);
// The user's configuration folder for Tarnwick: $XDG_CONFIG_HOME/Tarnwick, else ~/.config/Tarnwick.
std::string UserConfigFolder();

} // namespace tarnwick
