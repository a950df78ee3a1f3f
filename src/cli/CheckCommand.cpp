// check: the files of an import tried against the park without storing anything.
#include "cli/Commands.h"
#include "import/ImportCheck.h"

#include <iostream>

namespace tarnwick {

int RunCheck(CliSession &cli, const ImportOptions &options, const ImportWindowState &prepared,
             const std::string &report) {
    ImportWindowState window = prepared;
    if (std::optional<int> stopped = PrepareImportWindow(cli, options, window))
        return *stopped;
    const CheckReport checked = CheckFiles(cli.session, window, options.table, options.files);
    for (const ImportProblem &problem : checked.problems)
        std::cout << ProblemLine(problem) << std::endl;
    const long shortened = static_cast<long>(checked.problems.size()) - checked.refusedRows();
    std::cout << checked.read << " data lines read, " << checked.stored << " rows would be stored, "
              << checked.refusedRows() << " refused, " << shortened << " values shortened." << std::endl;
    // A bare name is a file of the database folder, as the sources are.
    const std::string path = report.find('/') == std::string::npos ? cli.session.DbFolder + "/" + report : report;
    if (!report.empty() && !WriteReport(cli.session, path, checked))
        return 1;
    return checked.refusedRows() == 0 && checked.stored == checked.read ? 0 : 1;
}

} // namespace tarnwick
