#include "import/ImportCheck.h"

#include "base/TextUtil.h"
#include "import/DelimitedText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

class CheckListener : public ImportListener {
public:
    CheckListener(CheckReport &report, std::string file, std::size_t previewRows)
        : report_(report), file_(std::move(file)), previewRows_(previewRows) {}
    bool checking() const override { return true; }
    void rowStarting(long line) override { line_ = line; }
    void rowWritten(const std::vector<StoredValue> &values, const std::string &refusedColumn) override {
        refusedColumn_ = refusedColumn;
        previewing_ = report_.preview.size() < previewRows_;
        if (!previewing_)
            return;
        PreviewRow row;
        row.file = file_;
        row.sourceLine = line_;
        row.values.resize(report_.previewColumns.size());
        for (const StoredValue &value : values) {
            const std::size_t at = columnIndex(value.column);
            row.values.resize(report_.previewColumns.size());
            row.values[at] = value.value.toString();
        }
        report_.preview.push_back(std::move(row));
    }
    void refused(long line, const std::string &field, const std::string &value, const std::string &reason,
                 const std::vector<Value> &, const RowSource &) override {
        report_.problems.push_back({file_, line, field, value, reason, true, line_});
        if (!previewing_)
            return;
        PreviewRow &row = report_.preview.back();
        row.refused = true;
        row.refusedValue = value;
        row.reason = reason;
        if (!refusedColumn_.empty()) {
            row.refusedColumn = refusedColumn_;
            const std::size_t at = columnIndex(refusedColumn_);
            row.values.resize(report_.previewColumns.size());
            row.values[at] = value;
        }
    }
    void shortened(long line, const std::string &field, const std::string &value, std::size_t by) override {
        report_.problems.push_back({file_, line, field, value,
                                    "it would be shortened by " + std::to_string(by) + " to fit the column", false,
                                    line_});
    }
    void finished(long stored, long total) override {
        report_.stored += stored;
        report_.read += total;
    }

private:
    std::size_t columnIndex(const std::string &column) {
        std::vector<std::string> &columns = report_.previewColumns;
        const auto found = std::find(columns.begin(), columns.end(), column);
        if (found != columns.end())
            return static_cast<std::size_t>(found - columns.begin());
        columns.push_back(column);
        return columns.size() - 1;
    }

    CheckReport &report_;
    std::string file_;
    std::size_t previewRows_;
    long line_ = 0;
    std::string refusedColumn_; // of the row written last
    bool previewing_ = false;
};

std::string joined(const std::vector<std::string> &values, char delimiter) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i ? std::string(1, delimiter) : std::string()) + QuotedValue(values[i]);
    return line;
}

// Restores the listener a session had when the scope ends.
struct Listening {
    Session &session;
    ImportListener *before;
    Listening(Session &s, ImportListener *listener) : session(s), before(s.importListener) {
        s.importListener = listener;
    }
    ~Listening() { session.importListener = before; }
};

} // namespace

long CheckReport::refusedRows() const {
    return static_cast<long>(
        std::count_if(problems.begin(), problems.end(), [](const ImportProblem &p) { return p.refused; }));
}

CheckReport CheckFiles(Session &session, const ImportWindowState &window, ImportTable table,
                       const std::vector<std::string> &files, std::size_t previewRows) {
    CheckReport report;
    for (const std::string &file : files) {
        CheckListener listener(report, file, previewRows);
        Listening listening(session, &listener);
        ImportFile(session, window, table, file);
    }
    return report;
}

std::string ProblemLine(const ImportProblem &problem) {
    return problem.file + ": Line " + std::to_string(problem.sourceLine) + ", " + problem.field + " '" + problem.value +
           "': " + problem.reason + (problem.refused ? "; the row would not be stored." : ".");
}

std::string CheckTotals(const CheckReport &report) {
    const long refused = report.refusedRows();
    const long shortened = static_cast<long>(report.problems.size()) - refused;
    return CountOf(report.read, "data line", "data lines") + " read, " +
           CountOf(report.stored, "row would", "rows would") + " be stored, " + std::to_string(refused) + " refused, " +
           CountOf(shortened, "value", "values") + " shortened.";
}

std::vector<std::string> PreviewLines(const CheckReport &report) {
    std::vector<std::string> lines;
    std::string title = "File\tLine";
    for (const std::string &column : report.previewColumns)
        title += "\t" + column;
    lines.push_back(title + "\tRefused");
    for (const PreviewRow &row : report.preview) {
        std::string line = row.file + "\t" + std::to_string(row.sourceLine);
        for (std::size_t c = 0; c < report.previewColumns.size(); ++c) {
            const std::string value = c < row.values.size() ? row.values[c] : std::string();
            line += "\t" + (row.refused && report.previewColumns[c] == row.refusedColumn ? "[" + value + "]" : value);
        }
        lines.push_back(line + "\t" + row.reason);
    }
    return lines;
}

bool WriteReport(Session &session, const std::string &path, const CheckReport &report) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << joined({"File", "Line", "Field", "Value", "Reason"}, ',') << "\r\n";
    for (const ImportProblem &p : report.problems)
        out << joined({p.file, std::to_string(p.sourceLine), p.field, p.value, p.reason}, ',') << "\r\n";
    if (!out.flush()) {
        session.prompter.notify("The report could not be written to " + path + ".", Icon::Exclamation);
        return false;
    }
    return true;
}

} // namespace tarnwick
