#pragma once
// What an import tells whoever listens about its rows: the rows refused and the values shortened.
// A listener that checks makes the import a trial: nothing is asked, nothing is kept.
#include "db/Value.h"

#include <string>
#include <vector>

namespace tarnwick {

class RowSource;

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
    // The run's end: the rows stored and the data rows read.
    virtual void finished(long stored, long total) = 0;
};

} // namespace tarnwick
