// backups and restore: the park's backups from the terminal.
#include "app/Backups.h"
#include "cli/Commands.h"

#include <iostream>

namespace tarnwick {

int RunBackups(CliSession &cli) {
    for (const BackupInfo &info : ListBackups(cli.session.DbFolder))
        std::cout << BackupLine(info) << std::endl;
    return 0;
}

int RunRestore(CliSession &cli, const std::string &file, bool yes) {
    // A bare name is a file of the database folder, as the backups list names them.
    const std::string path = file.find('/') == std::string::npos ? cli.session.DbFolder + "/" + file : file;
    cli.prompter.answer(TerminalPrompter::startsWith(RestoreQuestion(path)), yes ? Answer::Yes : Answer::No);
    return OfferRestore(cli.session, path) ? 0 : 1;
}

} // namespace tarnwick
