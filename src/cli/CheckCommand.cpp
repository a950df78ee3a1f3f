// check: the files of an import tried against the park without storing anything.
#include "cli/Commands.h"
#include "import/ImportCheck.h"

#include <iostream>

namespace tarnwick {

int RunCheck(CliSession &cli, const ImportOptions &options, const ImportWindowState &prepared,
             const std::string &report, std::size_t rows) {
    ImportWindowState window = prepared;
    if (std::optional<int> stopped = PrepareImportWindow(cli, options, window))
        return *stopped;
    const CheckReport checked = CheckFiles(cli.session, window, options.table, options.files, rows);
    for (const ImportProblem &problem : checked.problems)
        std::cout << ProblemLine(problem) << std::endl;
    std::cout << CheckTotals(checked) << std::endl;
    if (rows > 0)
        for (const std::string &line : PreviewLines(checked))
            std::cout << line << std::endl;
    // A bare name is a file of the database folder, as the sources are.
    const std::string path = report.find('/') == std::string::npos ? cli.session.DbFolder + "/" + report : report;
    if (!report.empty() && !WriteReport(cli.session, path, checked))
        return 1;
    return checked.refusedRows() == 0 && checked.stored == checked.read ? 0 : 1;
}

} // namespace tarnwick
