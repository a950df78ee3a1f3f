#pragma once
// The commands of the terminal program. Each returns the exit status: 0 when it ran to its end,
// 1 when it was stopped.
#include "app/Maintenance.h"
#include "cli/CliSession.h"
#include "import/Importers.h"

#include <optional>
#include <vector>

#include <string>

namespace tarnwick {

int RunStatus(CliSession &cli);
// Sets each box N=NAME gives as the main window saves a box it leaves (title case), then lists the
// ten boxes; 2 for an assignment that is not N=NAME with N from 1 to 10.
int RunSiteTypes(CliSession &cli, const std::vector<std::string> &assignments);

struct TitlesOptions {
    std::string file;
    std::string sheet;  // empty: ask, or take the first worksheet
    std::string repair; // "ok", "cancel" or empty: ask, or cancel
};
int RunTitles(CliSession &cli, const TitlesOptions &options);
int RunRepairQuotes(CliSession &cli, const std::string &file);
// Answers the sheet question and the picker from --sheet (Yes when it names the first worksheet).
void AnswerSheetQuestions(TerminalPrompter &prompter, const std::string &sheet);

struct ImportOptions {
    ImportTable table = ImportTable::Sites;
    std::vector<std::string> files;
    std::vector<std::string> maps;  // COLUMN=TITLE
    std::vector<std::string> yesNo; // columns whose YES/NO box is ticked
    std::string delimiter = "comma";
    std::string textCase = "title";
    std::string sheet;
    std::string backup;     // "yes", "no" or empty
    std::string onRowError; // "skip", "stop" or empty
    bool autoMatch = false;
    std::string mapping; // a mapping file, "auto", or empty
};
// Fills the window's slots and options from the command line; a message when they are not valid.
std::optional<std::string> BuildImportWindow(const ImportOptions &options, ImportWindowState &window);
int RunImportCommand(CliSession &cli, const ImportOptions &options, const ImportWindowState &window);
// A saved mapping, a matching of titles, or both, as the options ask; a status when the command ends.
std::optional<int> ChooseColumns(CliSession &cli, const ImportOptions &options, ImportWindowState &window,
                                 const std::vector<std::string> &titles);
// A mapping file named on the command line: a path, or a name in the database folder.
std::string MappingPath(CliSession &cli, const std::string &file);
// Reads the files' titles and settles the columns as the window would; a status when the command
// ends there.
// `titles`, when given, receives the titles read.
std::optional<int> PrepareImportWindow(CliSession &cli, const ImportOptions &options, ImportWindowState &window,
                                       std::vector<std::string> *titles = nullptr);
// check: the import run as a trial, its problems printed (and written to `report` when given),
// then its first `rows` rows as they would be stored.
int RunCheck(CliSession &cli, const ImportOptions &options, const ImportWindowState &window, const std::string &report,
             std::size_t rows);
// `replace`: an existing mapping of that name is replaced without the question.
int RunMappingSave(CliSession &cli, const std::string &file, const ImportOptions &options,
                   const ImportWindowState &window, bool replace);
int RunMappingShow(CliSession &cli, const std::string &file);

struct PurgeOptions {
    PurgeTable table = PurgeTable::Sites;
    bool yes = false;
    std::string backup;  // "yes", "no" or empty
    std::string compact; // "yes", "no" or empty
};
int RunPurge(CliSession &cli, const PurgeOptions &options);
int RunBackup(CliSession &cli, BackupReason reason);
int RunCompact(CliSession &cli);

struct AccessOptions {
    std::string file;
    std::vector<std::string> tables;
    std::string password; // answers the password box; empty: ask, or cancel
};
int RunTables(CliSession &cli, const AccessOptions &options);
int RunFields(CliSession &cli, const AccessOptions &options);
int RunExport(CliSession &cli, const AccessOptions &options);

// The backups of the park: their list, and putting one back.
int RunBackups(CliSession &cli);
int RunRestore(CliSession &cli, const std::string &file, bool yes);

// The site and guest editors.
int RunList(CliSession &cli, bool sites);
struct EditOptions {
    bool sites = true;
    long id = 0;
    std::vector<std::string> assignments; // COLUMN=VALUE
};
int RunEdit(CliSession &cli, const EditOptions &options);
int RunDelete(CliSession &cli, bool sites, long id);
struct CloneOptions {
    long id = 0;
    std::string count; // as typed into the count box
    std::vector<int> types;
};
int RunCloneSite(CliSession &cli, const CloneOptions &options);

} // namespace tarnwick
