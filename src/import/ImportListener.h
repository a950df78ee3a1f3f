#pragma once
// What an import tells whoever listens about its rows: the rows refused and the values shortened.
// A listener that checks makes the import a trial: nothing is asked, nothing is kept.
#include "base/Value.h"

#include <string>
#include <vector>

namespace tarnwick {

class RowSource;

// A value a row stores: the column and the value as the column converted it.
struct StoredValue {
    std::string column;
    Value value;
};

class ImportListener {
public:
    virtual ~ImportListener() = default;
    // True for a check run: refused rows are passed over without a question, shortened values
    // without a notice, no summary is shown, and every row is taken back at the end.
    virtual bool checking() const { return false; }
    // A row the import refuses and passes over (the operator said Yes, or a check runs). `line` is
    // the line number as the import's messages give it; `row` the row's values from position 1;
    // `source` the source standing on that row.
    virtual void refused(long line, const std::string &field, const std::string &value, const std::string &reason,
                         const std::vector<Value> &row, const RowSource &source) = 0;
    virtual void shortened(long line, const std::string &field, const std::string &value, std::size_t by) = 0;
    // Before a row is stored: where it stands in the source (RowSource::line).
    virtual void rowStarting(long) {}
    // For a check run, after each row: the values it took from the source as the columns hold
    // them, up to the one refused when it was refused; then the column that refused it ("" for a
    // row stored, or refused as a whole). refused() follows for a refused row.
    virtual void rowWritten(const std::vector<StoredValue> &, const std::string &) {}
    // The run's end: the rows stored and the data rows read.
    virtual void finished(long stored, long total) = 0;
};

} // namespace tarnwick
