#include "import/AddFiles.h"

#include "base/NewFile.h"

#include <filesystem>
#include <system_error>

namespace tarnwick {
namespace fs = std::filesystem;

std::vector<std::string> CopyIntoPark(Session &session, const std::vector<std::string> &files) {
    std::vector<std::string> copied;
    for (const std::string &file : files) {
        const fs::path source(file);
        const std::string name = source.filename().string();
        const fs::path target = fs::path(session.DbFolder) / name;
        std::error_code same;
        if (fs::equivalent(source, target, same))
            continue;
        if (fs::exists(target) &&
            session.prompter.ask("The park's folder already holds a file named " + name + ". Replace it with the one from " +
                                     source.parent_path().string() + "?",
                                 Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
            continue;
        // Copied under a hidden temporary name, flushed, then renamed: the list never offers a
        // half-copied file, and a failed copy (or a power cut) leaves the file that was there.
        std::string partial;
        std::error_code error;
        try {
            partial = MakeTemporaryFile(session.DbFolder);
            fs::copy_file(source, partial, fs::copy_options::overwrite_existing, error);
        } catch (const std::system_error &failed) {
            error = failed.code();
        }
        if (!error && !FlushToDisk(partial))
            error = std::make_error_code(std::errc::io_error);
        if (!error)
            fs::rename(partial, target, error);
        if (error) {
            std::error_code ignored;
            if (!partial.empty())
                fs::remove(partial, ignored);
            session.prompter.notify(name + " could not be copied into the park's folder: " + error.message() + ".",
                                    Icon::Exclamation);
            continue;
        }
        FlushFolder(session.DbFolder);
        copied.push_back(name);
    }
    return copied;
}

std::vector<std::string> AddFilesToPark(Session &session, const std::string &home) {
    const std::string start = session.LastAddedFrom.empty() ? home : session.LastAddedFrom;
    const std::vector<std::string> chosen = session.prompter.chooseFiles(
        "Add Files to the Park's Folder", start, "Files to import (*.csv *.txt *.xls *.CSV *.TXT *.XLS);;All files (*)");
    if (chosen.empty())
        return {};
    session.LastAddedFrom = fs::path(chosen.front()).parent_path().string();
    return CopyIntoPark(session, chosen);
}

} // namespace tarnwick
