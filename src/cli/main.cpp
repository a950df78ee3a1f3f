// tarnwick-cli: the system in a terminal, for scripted or interactive migrations.
#include "app/HelpFile.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "cli/Commands.h"
#include "db/ParkSchema.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>

using namespace tarnwick;

int main(int argc, char **argv) {
    CLI::App app{"Tarnwick: moves a campground's old records into its new park database."};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("tarnwick-cli ") + kVersion, "Print the version and exit");
    std::string parkFolder;
    app.add_option("--park", parkFolder, "The database folder (instead of the one path.txt names)");
    std::string restoreInterrupted;
    app.add_option("--restore-interrupted", restoreInterrupted,
                   "Answer to the question about an interrupted import (put its backup back)")
        ->check(CLI::IsMember({"yes", "no"}));

    std::string initFolder;
    CLI::App *init = app.add_subcommand("init", "Create DIR/Park.MDB with the park tables");
    init->add_option("DIR", initFolder)->required();
    CLI::App *status = app.add_subcommand("status", "Show the database folder and each table's row count");

    TitlesOptions titles;
    std::string delimiter = "comma";
    CLI::App *titlesCommand = app.add_subcommand("titles", "Read the titles of a source file of the database folder");
    titlesCommand->add_option("FILE", titles.file)->required();
    titlesCommand->add_option("--delimiter", delimiter)->check(CLI::IsMember({"comma", "semicolon"}));
    titlesCommand->add_option("--sheet", titles.sheet, "The worksheet to read (default: the first)");
    titlesCommand->add_option("--repair", titles.repair, "Answer to the quote repair question")
        ->check(CLI::IsMember({"ok", "cancel"}));

    std::string repairFile;
    CLI::App *repair = app.add_subcommand("repair-quotes", "Write a quoted copy of a delimited source");
    repair->add_option("FILE", repairFile)->required();

    const std::map<std::string, ImportTable> importTables = {
        {"sites", ImportTable::Sites}, {"guests", ImportTable::Guests}, {"charges", ImportTable::Charges}};
    const std::map<std::string, PurgeTable> purgeTables = {
        {"sites", PurgeTable::Sites}, {"guests", PurgeTable::Guests}, {"charges", PurgeTable::OtherCharges}};

    // The window's choices as options, shared by import and mapping save.
    auto windowOptions = [&](CLI::App *command, ImportOptions &options) {
        command->add_option("TABLE", options.table)->required()->transform(CLI::CheckedTransformer(importTables));
        command->add_option("--map", options.maps, "COLUMN=TITLE: the source title for a column");
        command->add_option("--delimiter", options.delimiter)->check(CLI::IsMember({"comma", "semicolon"}));
        command->add_option("--case", options.textCase)->check(CLI::IsMember({"caps", "title"}));
        command->add_option("--yes-no", options.yesNo, "Tick the YES/NO box of a column");
        command->add_option("--sheet", options.sheet, "The worksheet to read (default: the first)");
        command->add_flag("--auto-match", options.autoMatch, "Match the columns left open to the titles naming them");
    };
    ImportOptions import;
    CLI::App *importCommand = app.add_subcommand("import", "Import source files into a park table");
    windowOptions(importCommand, import);
    importCommand->add_option("FILE", import.files)->required();
    importCommand->add_option("--mapping", import.mapping, "A saved mapping file, or auto: the one for these titles");
    importCommand->add_option("--backup", import.backup)->check(CLI::IsMember({"yes", "no"}));
    importCommand->add_option("--on-row-error", import.onRowError)->check(CLI::IsMember({"skip", "stop"}));

    ImportOptions check;
    std::string reportFile;
    CLI::App *checkCommand =
        app.add_subcommand("check", "Try an import without storing anything and list its problems");
    windowOptions(checkCommand, check);
    checkCommand->add_option("FILE", check.files)->required();
    checkCommand->add_option("--mapping", check.mapping, "A saved mapping file, or auto: the one for these titles");
    checkCommand->add_option("--report", reportFile, "Also write the problems to this CSV file");
    std::size_t previewRows = 0;
    checkCommand->add_option("--rows", previewRows,
                             "Also print the first N rows as they would be stored, one value per column");

    CLI::App *mappingCommand = app.add_subcommand("mapping", "Save or show a mapping of titles to columns");
    mappingCommand->require_subcommand(1);
    ImportOptions mappingSave;
    std::string mappingFile;
    CLI::App *mappingSaveCommand = mappingCommand->add_subcommand("save", "Save the mapping of a source as given");
    mappingSaveCommand->add_option("FILE", mappingFile)->required();
    windowOptions(mappingSaveCommand, mappingSave);
    mappingSaveCommand->add_option("SOURCE", mappingSave.files)->required()->expected(1);
    bool replaceMapping = false;
    mappingSaveCommand->add_flag("--force", replaceMapping, "Replace a mapping of that name without asking");
    CLI::App *mappingShowCommand = mappingCommand->add_subcommand("show", "Print a saved mapping");
    mappingShowCommand->add_option("FILE", mappingFile)->required();

    PurgeOptions purge;
    CLI::App *purgeCommand = app.add_subcommand("purge", "Remove every row of a park table");
    purgeCommand->add_option("TABLE", purge.table)->required()->transform(CLI::CheckedTransformer(purgeTables));
    purgeCommand->add_flag("--yes", purge.yes, "Confirm the purge");
    purgeCommand->add_option("--backup", purge.backup)->check(CLI::IsMember({"yes", "no"}));
    purgeCommand->add_option("--compact", purge.compact)->check(CLI::IsMember({"yes", "no"}));

    const std::map<std::string, BackupReason> reasons = {{"Initial", BackupReason::Initial},
                                                         {"DelSites", BackupReason::DelSites},
                                                         {"DelGuests", BackupReason::DelGuests},
                                                         {"AddSites", BackupReason::AddSites},
                                                         {"AddGuests", BackupReason::AddGuests},
                                                         {"DelOtherChgs", BackupReason::DelOtherChgs},
                                                         {"AddOtherChgs", BackupReason::AddOtherChgs},
                                                         {"0", BackupReason::Initial},
                                                         {"1", BackupReason::DelSites},
                                                         {"2", BackupReason::DelGuests},
                                                         {"3", BackupReason::AddSites},
                                                         {"4", BackupReason::AddGuests},
                                                         {"5", BackupReason::DelOtherChgs},
                                                         {"6", BackupReason::AddOtherChgs}};
    BackupReason reason = BackupReason::Initial;
    CLI::App *backup = app.add_subcommand("backup", "Copy Park.MDB to a dated backup beside it");
    backup->add_option("REASON", reason, "Initial, DelSites, ... or 0 to 6")
        ->transform(CLI::CheckedTransformer(reasons));
    CLI::App *compact = app.add_subcommand("compact", "Compact Park.MDB");

    AccessOptions access;
    CLI::App *tables = app.add_subcommand("tables", "List the tables of an Access database");
    tables->add_option("ACCESSFILE", access.file)->required();
    CLI::App *fields = app.add_subcommand("fields", "List the fields of a table of an Access database");
    fields->add_option("ACCESSFILE", access.file)->required();
    fields->add_option("TABLE", access.tables)->required()->expected(1);
    CLI::App *exportCommand = app.add_subcommand("export", "Write tables of an Access database to workbooks");
    exportCommand->add_option("ACCESSFILE", access.file)->required();
    exportCommand->add_option("TABLE", access.tables)->required();
    for (CLI::App *command : {tables, fields, exportCommand})
        command->add_option("--password", access.password, "The database password");

    const std::map<std::string, bool> editorTables = {{"site", true}, {"guest", false}};
    const std::map<std::string, bool> listTables = {{"sites", true}, {"guests", false}};
    bool listSites = true;
    CLI::App *list = app.add_subcommand("list", "Print the site or guest grid as its window shows it");
    list->add_option("TABLE", listSites)->required()->transform(CLI::CheckedTransformer(listTables));
    CloneOptions clone;
    CLI::App *cloneSite = app.add_subcommand("clone-site", "Copy a stored site COUNT times, numbered on");
    cloneSite->add_option("ID", clone.id)->required();
    cloneSite->add_option("COUNT", clone.count)->required();
    cloneSite->add_option("--type", clone.types, "Tick site-type box N (1 to 10)");
    EditOptions editRow;
    CLI::App *editCommand = app.add_subcommand("edit", "Change columns of a site or guest as its editor saves them");
    editCommand->add_option("TABLE", editRow.sites)->required()->transform(CLI::CheckedTransformer(editorTables));
    editCommand->add_option("ID", editRow.id)->required();
    editCommand->add_option("COLUMN=VALUE", editRow.assignments)->required();
    bool deleteSites = true;
    long deleteId = 0;
    CLI::App *deleteCommand = app.add_subcommand("delete", "Delete a site or guest as its editor does");
    deleteCommand->add_option("TABLE", deleteSites)->required()->transform(CLI::CheckedTransformer(editorTables));
    deleteCommand->add_option("ID", deleteId)->required();

    CLI::App *backupsCommand = app.add_subcommand("backups", "List the park's backups, newest first");
    std::string restoreFile;
    bool restoreYes = false;
    CLI::App *restoreCommand = app.add_subcommand("restore", "Put a backup back in place of Park.MDB");
    restoreCommand->add_option("FILE", restoreFile)->required();
    restoreCommand->add_flag("--yes", restoreYes, "Confirm the restore");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    ImportWindowState window;
    if (*importCommand || *mappingSaveCommand || *checkCommand) {
        if (auto problem = BuildImportWindow(*importCommand ? import : *checkCommand ? check : mappingSave, window)) {
            std::cerr << *problem << std::endl;
            return 2;
        }
    }

    CliSession cli;
    // The transcript of questions and notices goes to standard output; a sentence that ends a
    // command with a failure status goes to standard error.
    try {
        if (*init) {
            CreateParkDatabase(initFolder);
            std::cout << "Created " << initFolder << "/Park.MDB" << std::endl;
            if (InstallHelpFile(ExecutableFolder(), initFolder))
                std::cout << "Created " << initFolder << "/Tarnwick.chm" << std::endl;
            return 0;
        }
        cli.restoreInterrupted = restoreInterrupted;
        cli.openPark(parkFolder);
        if (*status)
            return RunStatus(cli);
        if (*titlesCommand)
            return RunTitles(cli, titles);
        if (*repair)
            return RunRepairQuotes(cli, repairFile);
        if (*importCommand)
            return RunImportCommand(cli, import, window);
        if (*purgeCommand)
            return RunPurge(cli, purge);
        if (*backup)
            return RunBackup(cli, reason);
        if (*compact)
            return RunCompact(cli);
        if (*tables)
            return RunTables(cli, access);
        if (*fields)
            return RunFields(cli, access);
        if (*exportCommand)
            return RunExport(cli, access);
        if (*checkCommand)
            return RunCheck(cli, check, window, reportFile, previewRows);
        if (*mappingSaveCommand)
            return RunMappingSave(cli, mappingFile, mappingSave, window, replaceMapping);
        if (*mappingShowCommand)
            return RunMappingShow(cli, mappingFile);
        if (*backupsCommand)
            return RunBackups(cli);
        if (*restoreCommand)
            return RunRestore(cli, restoreFile, restoreYes);
        if (*list)
            return RunList(cli, listSites);
        if (*cloneSite)
            return RunCloneSite(cli, clone);
        if (*editCommand)
            return RunEdit(cli, editRow);
        if (*deleteCommand)
            return RunDelete(cli, deleteSites, deleteId);
    } catch (const EndProgram &end) {
        return end.status;
    } catch (const NumberedError &error) {
        std::cerr << error.number() << ": " << error.description() << std::endl;
        return 1;
    } catch (const std::bad_alloc &) {
        std::cerr << "tarnwick-cli stopped: there was not enough memory for this work." << std::endl;
        return 1;
    } catch (const std::exception &error) {
        std::cerr << "tarnwick-cli stopped on an unexpected error: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
