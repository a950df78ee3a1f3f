// tarnwick-cli: the system in a terminal, for scripted or interactive migrations.
#include "cli/Commands.h"
#include "db/ParkSchema.h"

#include <CLI/CLI.hpp>
#include <iostream>

using namespace tarnwick;

int main(int argc, char **argv) {
    CLI::App app{"Tarnwick: moves a campground's old records into its new park database."};
    app.require_subcommand(1);
    std::string parkFolder;
    app.add_option("--park", parkFolder, "The database folder (instead of the one path.txt names)");

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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    CliSession cli;
    try {
        if (*init) {
            CreateParkDatabase(initFolder);
            std::cout << "Created " << initFolder << "/Park.MDB" << std::endl;
            return 0;
        }
        cli.openPark(parkFolder);
        if (*status)
            return RunStatus(cli);
        if (*titlesCommand)
            return RunTitles(cli, titles);
        if (*repair)
            return RunRepairQuotes(cli, repairFile);
    } catch (const EndProgram &end) {
        return end.status;
    } catch (const NumberedError &error) {
        std::cout << error.number() << ": " << error.description() << std::endl;
        return 1;
    }
    return 0;
}
