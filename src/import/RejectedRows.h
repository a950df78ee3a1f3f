#pragma once
// The rows an import passes over, kept beside its source as they come, so that they can be fixed
// and imported again: a text source's lines byte for byte as they stand in the file (after its own
// title line) with two last columns "Line" (where the row stands in the source) and "Reason"; a
// workbook's rows in a workbook of its titles, "Line" and "Reason". The file is written under a temporary name and
// named at the end: "<source> rejected.csv" (or .xls), " rejected (2)" ... when that name is taken, never a file that
// exists or a source of the running import.
#include "app/Session.h"
#include "base/LineReader.h"
#include "import/ImportListener.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

class WorkbookWriter;

class RejectedRows : public ImportListener {
public:
    // `source` is a file of the database folder; `sources` every source of the running import.
    RejectedRows(Session &session, std::string source, char delimiter, const std::vector<std::string> &sources);
    ~RejectedRows() override;

    void refused(long line, const std::string &field, const std::string &value, const std::string &reason,
                 const std::vector<Value> &row, const RowSource &source) override;
    void shortened(long, const std::string &, const std::string &, std::size_t) override {}
    void finished(long, long) override {}

    // Names the file and says where the rows are. False, with a sentence saying how many rows are in
    // no file, when they could not be written.
    bool finish();

private:
    void start(const RowSource &source);
    void writeText(const std::string &bytes);

    Session &session_;
    std::string source_;
    char delimiter_;
    std::vector<std::string> avoid_;
    std::string temporary_, extension_;
    FileHandle text_;
    std::unique_ptr<WorkbookWriter> sheet_;
    int titleCount_ = 0;
    long rows_ = 0;
    std::string failure_; // why the rows could not be written; empty while all is well
};

} // namespace tarnwick
