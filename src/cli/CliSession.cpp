#include "cli/CliSession.h"

#include "app/Startup.h"

namespace tarnwick {

void CliSession::openPark(const std::string &parkFolder) {
    session.AppFolder = ExecutableFolder();
    if (parkFolder.empty()) {
        StartUp(session);
    } else {
        session.DbFolder = parkFolder;
        CreateRVCon(session);
    }
    if (!session.ParkConnection->IsOpen())
        throw EndProgram{1};
}

} // namespace tarnwick
