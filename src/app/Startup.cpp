#include "app/Startup.h"

#include "app/FileOpener.h"
#include "app/ParkChoice.h"
#include "base/PathCheck.h"
#include "db/DbError.h"
#include "db/ParkFileLock.h"
#include "db/ParkSchema.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tarnwick {

void ShowNoParkMessage(Session &session) {
    session.prompter.notify("You have set the Database Path to a location where there is no Park.MDB Database!!!" +
                            session.LineBreak + session.LineBreak + "You need to manually edit the file: " +
                            session.AppFolder + "/path.txt  to correct the error." + session.LineBreak +
                            "You can also delete the file, and the application will recreate it, but the PARK.MDB "
                            "must be in the application directory.");
}

void CreateRVCon(Session &session) {
    const std::string park = session.DbFolder + "/Park.MDB";
    if (const std::optional<std::string> aside = RecoverParkJournal(park))
        session.prompter.notify("The journal beside Park.MDB belongs to another file (or to Park.MDB before it was "
                                    "replaced), so it was not put back into the park. It was set aside as " +
                                    *aside + ".",
                                Icon::Exclamation);
    session.ParkConnection = std::make_unique<Connection>();
    Connection &connection = *session.ParkConnection;
    try {
        connection.Provider = "Microsoft.Jet.OLEDB.4.0";
        connection.SetProperty("Data Source", session.DbFolder + "/Park.MDB");
        connection.SetProperty("User ID", "Admin");
        connection.SetProperty("Password", session.DbPassword);
        connection.Open();
        RequireParkTables(connection);
    } catch (const DbError &error) {
        // Jet gave the same number for a missing file and for other failures: look at the file.
        if (!IsRegularFile(session.DbFolder + "/Park.MDB")) {
            ShowNoParkMessage(session);
            throw EndProgram{1};
        }
        connection.Close();
        session.prompter.notify("CreateRVCon: The Database has an Error!" + session.LineBreak +
                                std::to_string(error.number()) + ": " + error.description());
    }
}

void StartUp(Session &session, NoPark whenNoPark) {
    session.Navigating = 0;
    session.BrowseOpen = 0;
    const std::string settings = session.AppFolder + "/path.txt";
    short number = FileOpener(session, settings, ModeInput, 80);
    // The default file just written is read as any other, and its folder found without a park.
    if (number <= 0 && whenNoPark == NoPark::Choose && IsRegularFile(settings))
        number = FileOpener(session, settings, ModeInput, 80);
    if (number <= 0) {
        session.prompter.notify("A default DataBase Path has been created, Please restart the application.");
        if (IsRegularFile(settings))
            session.prompter.notify("The file written is " + settings +
                                    "; its first line names the folder of "
                                    "Park.MDB.");
        throw EndProgram{1};
    }
    // A path.txt of fewer lines than two is read as far as it goes: a missing line is empty.
    session.DbFolder = session.files.Eof(number) ? std::string() : session.files.LineInput(number);
    session.files.Close(number);
    if (whenNoPark == NoPark::Choose && !IsRegularFile(session.DbFolder + "/Park.MDB")) {
        if (!ChoosePark(session, ParkChoice::Open)) {
            ShowNoParkMessage(session);
            throw EndProgram{1};
        }
        return;
    }
    CreateRVCon(session);
    // A Park.MDB that cannot be opened was reported; the operator may choose another park, or go
    // on without one as the start-up always has.
    if (whenNoPark == NoPark::Choose && !session.ParkConnection->IsOpen())
        ChoosePark(session, ParkChoice::Open);
}

bool RunsInstalled(const std::string &programFolder) {
    static const char *const kSystemFolders[] = {"/bin",       "/sbin",          "/usr/bin",        "/usr/sbin",
                                                 "/usr/games", "/usr/local/bin", "/usr/local/sbin", "/usr/local/games"};
    for (const char *folder : kSystemFolders)
        if (programFolder == folder)
            return true;
    for (const char *tree : {"/opt/", "/snap/"})
        if (programFolder.rfind(tree, 0) == 0)
            return true;
    const std::filesystem::path bin(programFolder);
    return bin.filename() == "bin" && IsDirectory((bin.parent_path() / "share" / "tarnwick").string());
}

std::string SettingsFolder(const std::string &programFolder, const std::string &configFolder) {
    if (!RunsInstalled(programFolder) && FolderTakesFiles(programFolder))
        return programFolder;
    std::error_code error;
    std::filesystem::create_directories(configFolder, error);
    return configFolder;
}

std::string UserConfigFolder() {
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config)
        return std::string(config) + "/Tarnwick";
    const char *home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/Tarnwick";
}

std::string ExecutableFolder() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    return ParentFolder(std::string(buffer, static_cast<std::size_t>(n)));
}

} // namespace tarnwick
