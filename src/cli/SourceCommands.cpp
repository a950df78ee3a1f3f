#include "cli/Commands.h"
#include "cli/TerminalSheetPicker.h"
#include "import/FieldNames.h"
#include "import/QuoteRepair.h"

#include <iostream>

namespace tarnwick {

void AnswerSheetQuestions(TerminalPrompter &prompter, const std::string &sheet) {
    using TP = TerminalPrompter;
    if (!sheet.empty()) {
        const std::string tail = " sheets, we will be processing " + sheet;
        prompter.answer(
            [tail](const std::string &q) {
                return q.rfind("There are ", 0) == 0 && q.size() >= tail.size() &&
                       q.compare(q.size() - tail.size(), tail.size(), tail) == 0;
            },
            Answer::Yes);
        prompter.answer(TP::startsWith("There are "), Answer::No);
    }
    prompter.fallback(TP::startsWith("There are "), Answer::Yes);
}

int RunTitles(CliSession &cli, const TitlesOptions &options) {
    using TP = TerminalPrompter;
    AnswerSheetQuestions(cli.prompter, options.sheet);
    if (!options.repair.empty())
        cli.prompter.answer(TP::startsWith("Your File does NOT"), options.repair == "ok" ? Answer::OK : Answer::Cancel);

    TerminalSheetPicker picker(options.sheet);
    std::string shtName;
    FieldNamesResult result = GetFieldNames(cli.session, options.file, shtName, picker);
    if (result.titles.empty())
        return result.repairedFile ? 0 : 1;
    std::cout << cli.session.FieldNames[0] << std::endl;
    for (const std::string &title : result.titles)
        std::cout << title << std::endl;
    return 0;
}

int RunRepairQuotes(CliSession &cli, const std::string &file) {
    return RepairQuotes(cli.session, file) ? 0 : 1;
}

} // namespace tarnwick
