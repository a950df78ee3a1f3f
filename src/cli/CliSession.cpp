#include "cli/CliSession.h"

#include "app/PathCheck.h"
#include "app/Startup.h"
#include "import/InterruptedImport.h"

namespace tarnwick {

void CliSession::openPark(const std::string &parkFolder) {
    session.AppFolder = SettingsFolder(ExecutableFolder(), UserConfigFolder());
    if (parkFolder.empty()) {
        StartUp(session);
    } else {
        session.DbFolder = parkFolder;
        // The start-up message would send the user to path.txt, which --park does not use.
        if (!IsRegularFile(parkFolder + "/Park.MDB")) {
            session.prompter.notify("There is no Park.MDB Database in " + parkFolder +
                                    ", the folder given with --park." + session.LineBreak +
                                    "Give the folder that holds the park's Park.MDB, or make a new park there "
                                    "with: tarnwick-cli init " +
                                    parkFolder);
            throw EndProgram{1};
        }
        CreateRVCon(session);
    }
    if (!session.ParkConnection->IsOpen())
        throw EndProgram{1};
    if (!restoreInterrupted.empty())
        prompter.answer(TerminalPrompter::startsWith("The import of "),
                        restoreInterrupted == "yes" ? Answer::Yes : Answer::No);
    prompter.fallback(TerminalPrompter::startsWith("The import of "), Answer::No);
    CheckInterruptedImport(session);
}

} // namespace tarnwick
