#include "import/ImportCheck.h"

#include "import/DelimitedText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarnwick {
namespace {

class CheckListener : public ImportListener {
public:
    CheckListener(CheckReport &report, std::string file) : report_(report), file_(std::move(file)) {}
    bool checking() const override { return true; }
    void refused(long line, const std::string &field, const std::string &value, const std::string &reason,
                 const std::vector<Value> &, const RowSource &) override {
        report_.problems.push_back({file_, line, field, value, reason, true});
    }
    void shortened(long line, const std::string &field, const std::string &value, std::size_t by) override {
        report_.problems.push_back({file_, line, field, value,
                                    "it would be shortened by " + std::to_string(by) + " to fit the column", false});
    }
    void finished(long stored, long total) override {
        report_.stored += stored;
        report_.read += total;
    }

private:
    CheckReport &report_;
    std::string file_;
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
                       const std::vector<std::string> &files) {
    CheckReport report;
    for (const std::string &file : files) {
        CheckListener listener(report, file);
        Listening listening(session, &listener);
        ImportFile(session, window, table, file);
    }
    return report;
}

std::string ProblemLine(const ImportProblem &problem) {
    return problem.file + ": Line " + std::to_string(problem.line) + ", " + problem.field + " '" + problem.value +
           "': " + problem.reason + (problem.refused ? "; the row would not be stored." : ".");
}

bool WriteReport(Session &session, const std::string &path, const CheckReport &report) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << joined({"File", "Line", "Field", "Value", "Reason"}, ',') << "\r\n";
    for (const ImportProblem &p : report.problems)
        out << joined({p.file, std::to_string(p.line), p.field, p.value, p.reason}, ',') << "\r\n";
    if (!out.flush()) {
        session.prompter.notify("The report could not be written to " + path + ".", Icon::Exclamation);
        return false;
    }
    return true;
}

} // namespace tarnwick
