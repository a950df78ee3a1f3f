#include "app/ParkChoice.h"

#include "app/FileOpener.h"
#include "app/Startup.h"
#include "base/PathCheck.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace tarnwick {

const char *const kChooseParkTitle = "Choose the folder of your park's Park.MDB";
const char *const kNewParkTitle = "Choose a folder for the new park";
const char *const kParkFormatQuestion =
    "Make the new park an Access 2000-2003 database, the format the management software opens?";
const char *const kParkFormatNo = "Choose No for Tarnwick's own format, for trial runs.";

namespace {

// An absolute path without a trailing slash, as path.txt keeps it.
std::string plainFolder(const std::string &chosen) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(chosen, error).lexically_normal();
    std::string text = error ? chosen : path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// Where the dialog opens: the park's folder when there is one, else the user's home.
std::string startFolder(const Session &session) {
    if (!session.DbFolder.empty() && session.DbFolder != session.AppFolder && IsDirectory(session.DbFolder))
        return session.DbFolder;
    const char *home = std::getenv("HOME");
    return home && *home ? home : "/";
}

// Whether the folder's Park.MDB opens as a park, tried on a connection of its own so that the
// session's park stays open meanwhile.
bool HoldsPark(const std::string &folder) {
    try {
        Connection trial;
        trial.SetProperty("Data Source", folder + "/Park.MDB");
        trial.SetProperty("Mode", "Read");
        trial.Open();
        RequireParkTables(trial);
        return true;
    } catch (const DbError &) {
        return false;
    }
}

// The park the chosen folder holds, or the one made in it; nothing (after one sentence) when the
// folder cannot serve.
std::optional<std::string> checkedFolder(Session &session, ParkChoice choice, const std::string &folder) {
    Prompter &prompter = session.prompter;
    if (!IsDirectory(folder)) {
        prompter.notify("There is no folder " + folder + ".", Icon::Exclamation);
        return std::nullopt;
    }
    // Backups and compaction write beside Park.MDB: a park needs a folder that takes files.
    if (!FolderTakesFiles(folder)) {
        prompter.notify("Tarnwick cannot make files in " + folder + ", so it cannot keep a park there.",
                        Icon::Exclamation);
        return std::nullopt;
    }
    const std::string park = folder + "/Park.MDB";
    if (PathExists(park)) {
        if (choice == ParkChoice::New) {
            prompter.notify("There is a Park.MDB in " + folder + " already; a new park needs a folder without one.",
                            Icon::Exclamation);
            return std::nullopt;
        }
        if (!HoldsPark(folder)) {
            prompter.notify("The Park.MDB in " + folder + " is not a park database, so Tarnwick cannot use it.",
                            Icon::Exclamation);
            return std::nullopt;
        }
        return folder;
    }
    if (prompter.ask("There is no Park.MDB in " + folder + "." + session.LineBreak +
                         "Do you want to create an empty park there?",
                     Buttons::YesNo, Icon::Information) != Answer::Yes)
        return std::nullopt;
    const ParkFormat format = prompter.ask(std::string(kParkFormatQuestion) + session.LineBreak + kParkFormatNo,
                                           Buttons::YesNo, Icon::Information) == Answer::Yes
                                  ? ParkFormat::Jet
                                  : ParkFormat::Sqlite;
    // The folder may have gone while the questions waited; it is not made again.
    if (!IsDirectory(folder)) {
        prompter.notify("The folder " + folder + " is no longer there, so no park was made in it.", Icon::Exclamation);
        return std::nullopt;
    }
    try {
        CreateParkDatabase(folder, format);
    } catch (const DbError &error) {
        prompter.notify("No park could be made in " + folder + ": " + error.description(), Icon::Exclamation);
        return std::nullopt;
    }
    return folder;
}

void writeParkPath(Session &session) {
    short number = FileOpener(session, session.AppFolder + "/path.txt", ModeOutput, 0);
    if (number <= 0)
        return;
    try {
        session.files.Print(number, session.DbFolder);
        session.files.Print(number, session.DbFolder);
    } catch (const FileError &error) {
        session.prompter.notify("FileOpener: Error: " + std::to_string(error.number()));
    }
    session.files.Close(number);
}

} // namespace

bool ChoosePark(Session &session, ParkChoice choice) {
    const std::string title = choice == ParkChoice::Open ? kChooseParkTitle : kNewParkTitle;
    for (;;) {
        std::optional<std::string> chosen = session.prompter.chooseFolder(title, startFolder(session));
        if (!chosen)
            return false;
        std::optional<std::string> folder = checkedFolder(session, choice, plainFolder(*chosen));
        if (!folder)
            continue;
        session.DbFolder = *folder;
        CreateRVCon(session);
        writeParkPath(session);
        return true;
    }
}

} // namespace tarnwick
