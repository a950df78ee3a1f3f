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
                 const std::vector<Value> &) override {
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

// A value quoted for a delimited line; quotes inside it are dropped, as the reader drops them.
std::string quoted(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return "\"" + text + "\"";
}

std::string joined(const std::vector<std::string> &values, char delimiter) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i ? std::string(1, delimiter) : std::string()) + quoted(values[i]);
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

void RejectedRows::refused(long, const std::string &, const std::string &, const std::string &reason,
                           const std::vector<Value> &row) {
    std::vector<std::string> values;
    for (std::size_t m = 1; m < row.size(); ++m)
        values.push_back(row[m].toString());
    while (!values.empty() && values.back().empty())
        values.pop_back();
    values.push_back(reason);
    rows_.push_back(std::move(values));
}

void RejectedRows::write(Session &session, const std::string &source, char delimiter) const {
    if (rows_.empty())
        return;
    const std::string path = session.DbFolder + "/" + std::filesystem::path(source).stem().string() + " rejected.csv";
    std::vector<std::string> titles(session.FieldNames.begin() + 1,
                                    session.FieldNames.begin() + 1 + session.FieldNameCount());
    titles.push_back("Reason");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << joined(titles, delimiter) << "\r\n";
    for (const std::vector<std::string> &row : rows_) {
        // The reason goes in the last column, after as many values as there are titles.
        std::vector<std::string> cells(row.begin(), row.end() - 1);
        if (cells.size() < titles.size() - 1)
            cells.resize(titles.size() - 1);
        cells.push_back(row.back());
        out << joined(cells, delimiter) << "\r\n";
    }
    if (!out.flush()) {
        session.prompter.notify("The rows that were not imported could not be written to " + path +
                                    "; the import itself is kept.",
                                Icon::Exclamation);
        return;
    }
    session.prompter.notify(std::to_string(rows_.size()) + " rows that were not imported are in " + path +
                            ": fix them there, then import that file with the same mapping.");
}

} // namespace tarnwick
