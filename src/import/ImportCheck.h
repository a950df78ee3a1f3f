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
    long sourceLine = 0; // where the row stands in the file (RowSource::line)
};

// A row as the import would store it: one value per column of the preview ("" for a column the
// row does not set). A refused row holds the values set before the refusal; `refusedColumn` names
// the column that refused the source's `refusedValue` ("" when the row as a whole was refused).
struct PreviewRow {
    std::string file;
    long sourceLine = 0;
    std::vector<std::string> values;
    bool refused = false;
    std::string refusedColumn, refusedValue, reason;
};

struct CheckReport {
    long read = 0;   // data lines read
    long stored = 0; // rows that would be stored
    std::vector<ImportProblem> problems;
    // The first rows of the files, and the columns they set in the order first set.
    std::vector<std::string> previewColumns;
    std::vector<PreviewRow> preview;
    long refusedRows() const;
};

// Runs the importers of `files` as trials: every rule of the real import, against the real
// table, and nothing kept, nothing asked, no backup. The problems come in the order the import
// would meet them; the first `previewRows` rows are kept as they would be stored.
CheckReport CheckFiles(Session &session, const ImportWindowState &window, ImportTable table,
                       const std::vector<std::string> &files, std::size_t previewRows = 50);

// One problem as a line of the report, naming the line of the file.
std::string ProblemLine(const ImportProblem &problem);
// "3 data lines read, 2 rows would be stored, 1 refused, 0 values shortened."
std::string CheckTotals(const CheckReport &report);
// The preview as lines of tab-separated values under a title line: file, line, the columns, and
// for a refused row the reason; the refused value stands in brackets.
std::vector<std::string> PreviewLines(const CheckReport &report);
// The report as a CSV file (File, Line, Field, Value, Reason); a message when it cannot be written.
bool WriteReport(Session &session, const std::string &path, const CheckReport &report);

} // namespace tarnwick
