#include "cli/Commands.h"
#include "export/Browser.h"
#include "export/TableExport.h"

#include <algorithm>
#include <iostream>

namespace tarnwick {
namespace {

// Lists the database as the export window does when it is double-clicked; nothing when stopped.
std::optional<std::vector<std::string>> listTables(CliSession &cli, Browser &browser, const AccessOptions &options) {
    if (!options.password.empty())
        cli.prompter.inputAnswer("Password Input", options.password);
    return browser.ListTables(options.file);
}

} // namespace

int RunTables(CliSession &cli, const AccessOptions &options) {
    Browser browser(cli.session);
    auto names = listTables(cli, browser, options);
    if (!names)
        return 1;
    for (const std::string &name : *names)
        std::cout << name << std::endl;
    return 0;
}

int RunFields(CliSession &cli, const AccessOptions &options) {
    Browser browser(cli.session);
    if (!listTables(cli, browser, options))
        return 1;
    const std::optional<Browser::FieldList> list = browser.Fields(options.tables.front());
    if (!list)
        return 1;
    for (const std::string &line : list->lines)
        std::cout << line << std::endl;
    std::cout << list->countLine << std::endl;
    return 0;
}

int RunExport(CliSession &cli, const AccessOptions &options) {
    Browser browser(cli.session);
    auto listed = listTables(cli, browser, options);
    if (!listed)
        return 1;
    // As in the window, only a listed table has a box that can be checked.
    std::vector<std::string> checked;
    for (const std::string &table : options.tables) {
        if (std::find(listed->begin(), listed->end(), table) != listed->end())
            checked.push_back(table);
        else
            std::cerr << table << " is not one of the tables listed for " << options.file << "; it was not exported."
                      << std::endl;
    }
    const bool allSaved = ExportCheckedTables(cli.session, browser.database(), checked);
    return allSaved && checked.size() == options.tables.size() ? 0 : 1;
}

} // namespace tarnwick
