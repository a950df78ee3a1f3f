// tarnwick-cli: the system in a terminal, for scripted or interactive migrations.
#include "app/Session.h"
#include "app/Startup.h"
#include "cli/TerminalPrompter.h"
#include "db/DbError.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"

#include <CLI/CLI.hpp>
#include <iostream>

using namespace tarnwick;

namespace {

// Opens the park: the folder given with --park, or the start-up sequence of path.txt.
void openPark(Session &session, const std::string &parkFolder) {
    session.AppFolder = ExecutableFolder();
    if (parkFolder.empty()) {
        StartUp(session);
    } else {
        session.DbFolder = parkFolder;
        CreateRVCon(session);
    }
    if (!session.ParkConnection->IsOpen())
        throw EndProgram{1};
}

int runStatus(Session &session) {
    std::cout << session.DbFolder << std::endl;
    for (const TableDef &table : ParkTables()) {
        Recordset rs;
        session.SqlText = "SELECT * FROM " + table.name + " ";
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        std::cout << table.name << " " << rs.RecordCount() << std::endl;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    CLI::App app{"Tarnwick: moves a campground's old records into its new park database."};
    app.require_subcommand(1);
    std::string parkFolder;
    app.add_option("--park", parkFolder, "The database folder (instead of the one path.txt names)");

    std::string initFolder;
    CLI::App *init = app.add_subcommand("init", "Create DIR/Park.MDB with the park tables");
    init->add_option("DIR", initFolder)->required();
    CLI::App *status = app.add_subcommand("status", "Show the database folder and each table's row count");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    TerminalPrompter prompter;
    TerminalProgress progress;
    SystemClock clock;
    Session session(prompter, progress, clock);
    try {
        if (*init) {
            CreateParkDatabase(initFolder);
            std::cout << "Created " << initFolder << "/Park.MDB" << std::endl;
            return 0;
        }
        openPark(session, parkFolder);
        if (*status)
            return runStatus(session);
    } catch (const EndProgram &end) {
        return end.status;
    } catch (const NumberedError &error) {
        std::cout << error.number() << ": " << error.description() << std::endl;
        return 1;
    }
    return 0;
}
