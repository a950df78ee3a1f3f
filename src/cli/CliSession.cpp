#include "cli/CliSession.h"

#include "app/Maintenance.h"
#include "app/Startup.h"
#include "base/PathCheck.h"
#include "import/InterruptedImport.h"

namespace tarnwick {
namespace {

// A folder as it can be pasted into a shell command.
std::string ShellWord(const std::string &text) {
    if (text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@") ==
        std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

void CliSession::openPark(const std::string &parkFolder) {
    session.AppFolder = SettingsFolder(ExecutableFolder(), UserConfigFolder());
    if (parkFolder.empty()) {
        try {
            StartUp(session);
        } catch (const EndProgram &) {
            // path.txt was read and names a folder without a park: say how to go on from here.
            if (!session.DbFolder.empty() && !IsRegularFile(session.DbFolder + "/Park.MDB"))
                session.prompter.notify("To make a new park in " + session.DbFolder + ", run: tarnwick-cli init " +
                                        ShellWord(session.DbFolder) + session.LineBreak +
                                        "To use a park elsewhere, name its folder on line 1 of " + session.AppFolder +
                                        "/path.txt, or give it with --park DIR.");
            throw;
        }
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
    CheckLeftCompaction(session);
}

} // namespace tarnwick
