#include "app/Maintenance.h"
#include "base/PathCheck.h"
#include "base/TextUtil.h"
#include "cli/Commands.h"
#include "cli/TerminalSheetPicker.h"
#include "import/DelimitedText.h"
#include "import/ImportWindowActions.h"
#include "import/Mapping.h"

#include <algorithm>
#include <iostream>
#include <map>

namespace tarnwick {
namespace {

using TP = TerminalPrompter;

void answerBackups(TerminalPrompter &prompter, const std::string &backup) {
    if (!backup.empty())
        prompter.answer(TP::startsWith("We are making"), backup == "yes" ? Answer::Yes : Answer::No);
    prompter.fallback(TP::startsWith("We are making"), Answer::Yes);
}

// The refusal of a column given a title the file does not have.
std::string notATitle(const std::string &caption, const std::string &title, const std::vector<std::string> &titles) {
    std::string list;
    for (const std::string &t : titles)
        list += (list.empty() ? "" : ", ") + t;
    return caption + "=" + title + ": '" + title + "' is not a title of the file. Its titles are: " + list;
}

} // namespace

std::optional<std::string> BuildImportWindow(const ImportOptions &options, ImportWindowState &window) {
    std::vector<MappingSlot> &slots = window.slots(options.table);
    for (const std::string &map : options.maps) {
        std::size_t eq = map.find('=');
        if (eq == std::string::npos)
            return "--map takes COLUMN=TITLE, not '" + map + "'";
        std::string caption = map.substr(0, eq);
        bool found = false;
        for (MappingSlot &slot : slots)
            if (slot.caption == caption) {
                slot.title = ComposedText(map.substr(eq + 1));
                found = true;
            }
        if (!found)
            return "'" + caption + "' is not a column of this import";
    }
    const std::vector<YesNoBox> &boxes = YesNoBoxes(options.table);
    for (const std::string &column : options.yesNo) {
        auto box = std::find_if(boxes.begin(), boxes.end(), [&](const YesNoBox &b) { return column == b.caption; });
        if (box == boxes.end())
            return "'" + column + "' has no YES/NO box in this import";
        window.*(box->ticked) = true;
    }
    window.comma = options.delimiter != "semicolon";
    window.allCaps = options.textCase == "caps";
    return std::nullopt;
}

std::optional<int> ChooseColumns(CliSession &cli, const ImportOptions &options, ImportWindowState &window,
                                 const std::vector<std::string> &titles) {
    std::string source;
    for (const std::string &file : options.files)
        source += (source.empty() ? "" : ", ") + file;
    if (!options.mapping.empty()) {
        std::optional<std::string> path = options.mapping == "auto"
                                              ? FindMappingFor(cli.session.DbFolder, options.table, titles)
                                              : std::optional<std::string>(MappingPath(cli, options.mapping));
        if (!path) {
            std::cerr << "No saved mapping in " << cli.session.DbFolder << " has the titles of " << source << "."
                      << std::endl;
            return 1;
        }
        std::optional<SavedMapping> mapping = LoadMappingFile(cli.session, *path);
        if (!mapping)
            return 1;
        if (mapping->table != options.table) {
            std::cerr << "--mapping " << options.mapping << ": the mapping is for another table" << std::endl;
            return 2;
        }
        for (const auto &[caption, title] : mapping->slots)
            if (std::find(titles.begin(), titles.end(), title) == titles.end()) {
                std::cerr << "--mapping " << options.mapping << ": " << notATitle(caption, title, titles) << std::endl;
                return 2;
            }
        UseMapping(cli.session, *mapping, window, titles, source);
    }
    if (options.autoMatch) {
        MatchResult match = AutoMatch(window.slots(options.table), options.table, titles);
        std::string matched;
        for (const MappingSlot &slot : window.slots(options.table))
            if (std::find(match.matched.begin(), match.matched.end(), slot.caption) != match.matched.end())
                matched += (matched.empty() ? "" : ", ") + slot.caption + "=" + slot.title;
        std::string left;
        for (const std::string &title : match.leftover)
            left += (left.empty() ? "" : ", ") + title;
        std::cout << "Matched: " << (matched.empty() ? "none" : matched) << std::endl
                  << "Titles left: " << (left.empty() ? "none" : left) << std::endl;
    }
    return std::nullopt;
}

std::string MappingPath(CliSession &cli, const std::string &file) {
    if (file.find('/') != std::string::npos)
        return file;
    const std::string inFolder = cli.session.DbFolder + "/" + file;
    return IsRegularFile(inFolder) ? inFolder : cli.session.DbFolder + "/" + MappingFileName(file);
}

std::optional<int> PrepareImportWindow(CliSession &cli, const ImportOptions &options, ImportWindowState &window,
                                       std::vector<std::string> *titles) {
    // A source that is not there stops the command before anything is read, in a sentence on stderr.
    for (const std::string &file : options.files)
        if (!IsRegularFile(SourcePath(cli.session, file))) {
            if (file.find('/') == std::string::npos)
                std::cerr << "The file " << SourcePath(cli.session, file) << " could not be found." << std::endl;
            else
                std::cerr << "The file " << file << " is not in the park's folder, " << cli.session.DbFolder
                          << ": files are imported from there. Copy the file there and give its name." << std::endl;
            return 1;
        }
    AnswerSheetQuestions(cli.prompter, options.sheet);
    // As in the import window: a click on the files reads their titles.
    TerminalSheetPicker picker(options.sheet);
    const SelectedTitles read = ReadSelectedTitles(cli.session, options.files, window.ShtName, picker);
    // A mapping cannot name the titles of a file whose titles were refused.
    if (read.someUnread)
        return 1;
    if (titles)
        *titles = read.titles;
    if (std::optional<int> stopped = ChooseColumns(cli, options, window, read.titles))
        return stopped;
    // In the window a drop-down offers only the titles read.
    for (const MappingSlot &slot : window.slots(options.table)) {
        if (slot.title.empty() || std::find(read.titles.begin(), read.titles.end(), slot.title) != read.titles.end())
            continue;
        std::cerr << "--map " << notATitle(slot.caption, slot.title, read.titles) << std::endl;
        return 2;
    }
    return std::nullopt;
}

int RunImportCommand(CliSession &cli, const ImportOptions &options, const ImportWindowState &prepared) {
    ImportWindowState window = prepared;
    answerBackups(cli.prompter, options.backup);
    if (!options.onRowError.empty())
        cli.prompter.answer(TP::startsWith("Error on Line "), options.onRowError == "skip" ? Answer::Yes : Answer::No);
    cli.prompter.fallback(TP::startsWith("Error on Line "), Answer::No);
    if (std::optional<int> stopped = PrepareImportWindow(cli, options, window))
        return *stopped;
    // Import takes each file in turn, every one preceded by its backup question.
    std::vector<std::optional<ImportOutcome>> outcomes =
        ImportSelectedFiles(cli.session, window, options.table, options.files);
    // A commit the park refused (a full disk), or a row the operator would not pass over, stopped the
    // import: stderr says it too.
    if (!cli.session.LastRefusal.empty())
        std::cerr << cli.session.LastRefusal << std::endl;
    if (!cli.session.ImportStopNote.empty())
        std::cerr << cli.session.ImportStopNote << std::endl;
    int status = outcomes.size() < options.files.size() ? 1 : 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (!outcomes[i]) {
            std::cerr << options.files[i] << " is not a .csv, .txt or .xls file; nothing was imported from it."
                      << std::endl;
            status = 1;
        } else if (*outcomes[i] == ImportOutcome::Stopped) {
            status = 1;
        }
    }
    return status;
}

int RunPurge(CliSession &cli, const PurgeOptions &options) {
    cli.prompter.answer(TP::startsWith("Doing this will totally Remove"), options.yes ? Answer::Yes : Answer::No);
    answerBackups(cli.prompter, options.backup);
    if (!options.compact.empty())
        cli.prompter.answer(TP::startsWith("Do you want to Compress"),
                            options.compact == "yes" ? Answer::Yes : Answer::No);
    return ConfirmAndPurge(cli.session, options.table) ? 0 : 1;
}

int RunBackup(CliSession &cli, BackupReason reason) {
    // Asking for a backup is the answer to its question.
    cli.prompter.answer(TP::startsWith("We are making"), Answer::Yes);
    return BackUpDB(cli.session, reason) ? 0 : 1;
}

int RunCompact(CliSession &cli) {
    // Asking for compaction is the answer to its question.
    cli.prompter.answer(TP::startsWith("Do you want to Compress"), Answer::Yes);
    return CompressDB(cli.session) ? 0 : 1;
}

} // namespace tarnwick
