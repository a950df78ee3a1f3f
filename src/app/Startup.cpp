#include "app/Startup.h"

#include "app/FileOpener.h"
#include "app/PathCheck.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tarnwick {

void CreateRVCon(Session &session) {
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
            session.prompter.notify(
                "You have set the Database Path to a location where there is no Park.MDB Database!!!" +
                session.LineBreak + session.LineBreak + "You need to manually edit the file: " + session.AppFolder +
                "/path.txt  to correct the error." + session.LineBreak +
                "You can also delete the file, and the application will recreate it, but the PARK.MDB must be in "
                "the application directory.");
            throw EndProgram{1};
        }
        connection.Close();
        session.prompter.notify("CreateRVCon: The Database has an Error!" + session.LineBreak +
                                std::to_string(error.number()) + ": " + error.description());
    }
}

void StartUp(Session &session) {
    session.Navigating = 0;
    session.BrowseOpen = 0;
    const std::string settings = session.AppFolder + "/path.txt";
    short number = FileOpener(session, settings, ModeInput, 80);
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
    CreateRVCon(session);
}

std::string SettingsFolder(const std::string &programFolder, const std::string &configFolder) {
    // Tried for real: a read-only mount or missing rights show only when a file is made.
    const std::string probe = programFolder + "/.tarnwick-write-test";
    if (FILE *file = std::fopen(probe.c_str(), "wb")) {
        std::fclose(file);
        std::remove(probe.c_str());
        return programFolder;
    }
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
