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

} // namespace tarnwick
