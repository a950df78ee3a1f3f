// tarnwick-cli: the system in a terminal, for scripted or interactive migrations.
#include "app/HelpFile.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "cli/Commands.h"
#include "db/ParkSchema.h"
#include "import/ImportWindowState.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>

using namespace tarnwick;

namespace {

// The COLUMN names --map takes for each table: the captions of the import window's boxes.
std::string MapColumnsHelp() {
    std::string help = "The COLUMN of --map COLUMN=TITLE is the caption of the import window's box:";
    const std::pair<const char *, const std::vector<std::string> *> tables[] = {
        {"sites", &SiteCaptions()}, {"guests", &GuestCaptions()}, {"charges", &ChargeCaptions()}};
    for (const auto &[table, captions] : tables) {
        help += std::string("\n  ") + table + ":";
        for (const std::string &caption : *captions)
            help += " " + caption;
    }
    return help;
}

} // namespace

int main(int argc, char **argv) {
    CLI::App app{"Tarnwick: moves a campground's old records into its new park database."};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("tarnwick-cli ") + kVersion, "Print the version and exit");
    std::string parkFolder;
    app.add_option("--park", parkFolder, "The database folder (instead of the one path.txt names)")->option_text("DIR");
    std::string restoreInterrupted;
    app.add_option("--restore-interrupted", restoreInterrupted,
                   "Answer yes or no to the question about an interrupted import (yes puts its backup back)")
        ->check(CLI::IsMember({"yes", "no"}))
        ->option_text("yes|no");

    std::string initFolder;
    CLI::App *init = app.add_subcommand("init", "Create DIR/Park.MDB with the park tables");
    init->add_option("DIR", initFolder, "The folder of the new park")->required()->option_text(" ");
    std::string initFormat = "sqlite";
    init->add_option("--format", initFormat,
                     "jet: an Access 2000-2003 database, for a park the management software will use; "
                     "sqlite (the default): Tarnwick's own format, for trials")
        ->check(CLI::IsMember({"jet", "sqlite"}))
        ->option_text("jet|sqlite");
    CLI::App *status = app.add_subcommand("status", "Show the database folder and each table's row count");

    TitlesOptions titles;
    std::string delimiter = "comma";
    CLI::App *titlesCommand = app.add_subcommand("titles", "Read the titles of a source file of the database folder");
    titlesCommand->add_option("FILE", titles.file, "A file of the database folder, as the import window lists it")
        ->required()
        ->option_text(" ");
    titlesCommand->add_option("--delimiter", delimiter, "The delimiter of the data: comma (the default) or semicolon")
        ->check(CLI::IsMember({"comma", "semicolon"}))
        ->option_text("comma|semicolon");
    titlesCommand->add_option("--sheet", titles.sheet, "The worksheet to read (default: the first)")
        ->option_text("NAME");
    titlesCommand
        ->add_option("--repair", titles.repair,
                     "Answer ok or cancel (the default) to the offer to repair a title line without quotes")
        ->check(CLI::IsMember({"ok", "cancel"}))
        ->option_text("ok|cancel");

    std::string repairFile;
    CLI::App *repair = app.add_subcommand("repair-quotes", "Write a quoted copy of a delimited source");
    repair->add_option("FILE", repairFile, "A delimited file of the database folder")->required()->option_text(" ");

    const std::map<std::string, ImportTable> importTables = {
        {"sites", ImportTable::Sites}, {"guests", ImportTable::Guests}, {"charges", ImportTable::Charges}};
    const std::map<std::string, PurgeTable> purgeTables = {
        {"sites", PurgeTable::Sites}, {"guests", PurgeTable::Guests}, {"charges", PurgeTable::OtherCharges}};

    // The window's choices as options, shared by import and mapping save.
    auto windowOptions = [&](CLI::App *command, ImportOptions &options) {
        command->add_option("TABLE", options.table, "The table: sites, guests or charges (store items)")
            ->required()
            ->transform(CLI::CheckedTransformer(importTables))
            ->option_text(" ");
        command
            ->add_option("--map", options.maps,
                         "The source title for a column, as COLUMN=TITLE (Number=Site); "
                         "given once for each column")
            ->option_text("COLUMN=TITLE");
        command
            ->add_option("--delimiter", options.delimiter,
                         "The delimiter of the data: comma (the default) or "
                         "semicolon")
            ->check(CLI::IsMember({"comma", "semicolon"}))
            ->option_text("comma|semicolon");
        command
            ->add_option("--case", options.textCase,
                         "The text case of the values: caps (All Caps) or title "
                         "(Title Case, the default)")
            ->check(CLI::IsMember({"caps", "title"}))
            ->option_text("caps|title");
        command
            ->add_option("--yes-no", options.yesNo,
                         "Tick the YES/NO box of Water, Sewer, ElectricAmp or Taxable; "
                         "given once for each")
            ->option_text("COLUMN");
        command->add_option("--sheet", options.sheet, "The worksheet to read (default: the first)")
            ->option_text("NAME");
        command->add_flag("--auto-match", options.autoMatch, "Match the columns left open to the titles naming them");
    };
    ImportOptions import;
    CLI::App *importCommand = app.add_subcommand("import", "Import source files into a park table");
    windowOptions(importCommand, import);
    importCommand->footer(MapColumnsHelp());
    importCommand->add_option("FILE", import.files, "Files of the database folder, imported one after the other")
        ->required()
        ->option_text(" ");
    importCommand->add_option("--mapping", import.mapping, "A saved mapping file, or auto: the one for these titles")
        ->option_text("FILE|auto");
    importCommand->add_option("--backup", import.backup, "Answer yes (the default) or no to the backup offer")
        ->check(CLI::IsMember({"yes", "no"}))
        ->option_text("yes|no");
    importCommand
        ->add_option("--on-row-error", import.onRowError,
                     "A row that cannot be stored: skip it and go on, or stop the import (the default)")
        ->check(CLI::IsMember({"skip", "stop"}))
        ->option_text("skip|stop");

    ImportOptions check;
    std::string reportFile;
    CLI::App *checkCommand =
        app.add_subcommand("check", "Try an import without storing anything and list its problems");
    windowOptions(checkCommand, check);
    checkCommand->add_option("FILE", check.files, "Files of the database folder")->required()->option_text(" ");
    checkCommand->add_option("--mapping", check.mapping, "A saved mapping file, or auto: the one for these titles")
        ->option_text("FILE|auto");
    checkCommand->add_option("--report", reportFile, "Also write the problems to this CSV file")
        ->option_text("FILE.csv");
    std::size_t previewRows = 0;
    checkCommand
        ->add_option("--rows", previewRows, "Also print the first N rows as they would be stored, one value per column")
        ->option_text("N");

    CLI::App *mappingCommand = app.add_subcommand("mapping", "Save or show a mapping of titles to columns");
    mappingCommand->require_subcommand(1);
    ImportOptions mappingSave;
    std::string mappingFile;
    CLI::App *mappingSaveCommand = mappingCommand->add_subcommand("save", "Save the mapping of a source as given");
    mappingSaveCommand->add_option("FILE", mappingFile, "The mapping's file: a name without .json gets .mapping.json")
        ->required()
        ->option_text(" ");
    windowOptions(mappingSaveCommand, mappingSave);
    mappingSaveCommand->add_option("SOURCE", mappingSave.files, "The file whose titles the mapping is for")
        ->required()
        ->expected(1)
        ->option_text(" ");
    bool replaceMapping = false;
    mappingSaveCommand->add_flag("--force", replaceMapping, "Replace a mapping of that name without asking");
    CLI::App *mappingShowCommand = mappingCommand->add_subcommand("show", "Print a saved mapping");
    mappingShowCommand->add_option("FILE", mappingFile, "The mapping's file, with or without .mapping.json")
        ->required()
        ->option_text(" ");

    PurgeOptions purge;
    CLI::App *purgeCommand = app.add_subcommand("purge", "Remove every row of a park table");
    purgeCommand->add_option("TABLE", purge.table, "The table: sites, guests or charges (store items)")
        ->required()
        ->transform(CLI::CheckedTransformer(purgeTables))
        ->option_text(" ");
    purgeCommand->add_flag("--yes", purge.yes, "Confirm the purge (without it nothing is removed)");
    purgeCommand->add_option("--backup", purge.backup, "Answer yes (the default) or no to the backup offer")
        ->check(CLI::IsMember({"yes", "no"}))
        ->option_text("yes|no");
    purgeCommand->add_option("--compact", purge.compact, "Answer yes or no (the default) to the offer to compact")
        ->check(CLI::IsMember({"yes", "no"}))
        ->option_text("yes|no");

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
    backup
        ->add_option("REASON", reason,
                     "Initial (the default), DelSites, DelGuests, AddSites, AddGuests, DelOtherChgs or "
                     "AddOtherChgs, or its number 0 to 6")
        ->transform(CLI::CheckedTransformer(reasons))
        ->option_text(" ");
    CLI::App *compact = app.add_subcommand("compact", "Compact Park.MDB");

    AccessOptions access;
    CLI::App *tables = app.add_subcommand("tables", "List the tables of an Access database");
    tables->add_option("ACCESSFILE", access.file, "An Access database (.mdb or .accdb)")->required()->option_text(" ");
    CLI::App *fields = app.add_subcommand("fields", "List the fields of a table of an Access database");
    fields->add_option("ACCESSFILE", access.file, "An Access database (.mdb or .accdb)")->required()->option_text(" ");
    fields->add_option("TABLE", access.tables, "One of its tables")->required()->expected(1)->option_text(" ");
    CLI::App *exportCommand = app.add_subcommand("export", "Write tables of an Access database to workbooks");
    exportCommand->add_option("ACCESSFILE", access.file, "An Access database (.mdb or .accdb)")
        ->required()
        ->option_text(" ");
    exportCommand->add_option("TABLE", access.tables, "Its tables, each written to TABLE.xls in the database folder")
        ->required()
        ->option_text(" ");
    for (CLI::App *command : {tables, fields, exportCommand})
        command->add_option("--password", access.password, "The database password")->option_text("PASSWORD");

    const std::map<std::string, bool> editorTables = {{"site", true}, {"guest", false}};
    const std::map<std::string, bool> listTables = {{"sites", true}, {"guests", false}};
    bool listSites = true;
    CLI::App *list = app.add_subcommand("list", "Print the site or guest grid as its window shows it");
    list->add_option("TABLE", listSites, "sites or guests")
        ->required()
        ->transform(CLI::CheckedTransformer(listTables))
        ->option_text(" ");
    CloneOptions clone;
    CLI::App *cloneSite = app.add_subcommand("clone-site", "Copy a stored site COUNT times, numbered on");
    cloneSite->add_option("ID", clone.id, "The ID of the site to copy")->required()->option_text(" ");
    cloneSite->add_option("COUNT", clone.count, "How many copies")->required()->option_text(" ");
    cloneSite->add_option("--type", clone.types, "Tick site-type box N (1 to 10); given once for each")
        ->option_text("N");
    EditOptions editRow;
    CLI::App *editCommand = app.add_subcommand("edit", "Change columns of a site or guest as its editor saves them");
    editCommand->add_option("TABLE", editRow.sites, "site or guest")
        ->required()
        ->transform(CLI::CheckedTransformer(editorTables))
        ->option_text(" ");
    editCommand->add_option("ID", editRow.id, "The row's ID")->required()->option_text(" ");
    editCommand->add_option("COLUMN=VALUE", editRow.assignments, "The columns to change and their new values")
        ->required()
        ->option_text(" ");
    std::vector<std::string> siteTypeNames;
    CLI::App *siteTypesCommand =
        app.add_subcommand("site-types", "List the park's ten site types, or set boxes as the main window saves them");
    siteTypesCommand->add_option("N=NAME", siteTypeNames, "Box N (1 to 10) takes NAME, in title case; empty clears it")
        ->option_text(" ");
    bool deleteSites = true;
    long deleteId = 0;
    CLI::App *deleteCommand = app.add_subcommand("delete", "Delete a site or guest as its editor does");
    deleteCommand->add_option("TABLE", deleteSites, "site or guest")
        ->required()
        ->transform(CLI::CheckedTransformer(editorTables))
        ->option_text(" ");
    deleteCommand->add_option("ID", deleteId, "The row's ID")->required()->option_text(" ");

    CLI::App *backupsCommand = app.add_subcommand("backups", "List the park's backups, newest first");
    std::string restoreFile;
    bool restoreYes = false;
    CLI::App *restoreCommand = app.add_subcommand("restore", "Put a backup back in place of Park.MDB");
    restoreCommand->add_option("FILE", restoreFile, "A backup of the database folder, as backups lists it")
        ->required()
        ->option_text(" ");
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
            CreateParkDatabase(initFolder, initFormat == "jet" ? ParkFormat::Jet : ParkFormat::Sqlite);
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
        if (*siteTypesCommand)
            return RunSiteTypes(cli, siteTypeNames);
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
