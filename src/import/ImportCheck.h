#pragma once
// Checking files before importing them, and keeping the rows an import passed over.
#include "import/ImportListener.h"
#include "import/Importers.h"

#include <string>
#include <vector>

namespace tarnwick {

struct ImportProblem {
    std::string file;
    long line = 0; // as the import's messages number lines
    std::string field, value, reason;
    bool refused = true; // false: the value is stored shortened
};

struct CheckReport {
    long read = 0;   // data lines read
    long stored = 0; // rows that would be stored
    std::vector<ImportProblem> problems;
    long refusedRows() const;
};

// Runs the importers of `files` as trials: every rule of the real import, against the real
// table, and nothing kept, nothing asked, no backup. The problems come in the order the import
// would meet them.
CheckReport CheckFiles(Session &session, const ImportWindowState &window, ImportTable table,
                       const std::vector<std::string> &files);

// One problem as a line of the report.
std::string ProblemLine(const ImportProblem &problem);
// The report as a CSV file (File, Line, Field, Value, Reason); a message when it cannot be written.
bool WriteReport(Session &session, const std::string &path, const CheckReport &report);

} // namespace tarnwick
