#pragma once
// The data rows of a source, one at a time, each as a row buffer: positions 1 to the buffer's size
// (position 0 unused), every position Empty before the row's values are put in.
#include "app/Session.h"
#include "base/Value.h"
#include "sheet/Workbook.h"

#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

// A row with more values than the buffer holds; `position` is the first one past it.
struct RowOverflow {
    int position;
    Value value;
};

// A source that cannot be read at all; `message` is what the operator is told.
struct SourceRefused {
    std::string message;
};

class RowSource {
public:
    virtual ~RowSource() = default;
    // The number of data rows (Total).
    long total() const { return total_; }
    // The next row into `buffer` (resized to capacity + 1); false after the last. Throws
    // RowOverflow for a row that does not fit, after which the next call moves on.
    virtual bool next(std::vector<Value> &buffer) = 0;
    // For a text file, the title line and the row read last as their bytes stand in the file, and
    // how many values that row holds (past the buffer too); null for a workbook.
    virtual const std::string *rawTitleLine() const { return nullptr; }
    virtual const std::string *rawLine() const { return nullptr; }
    virtual int valueCount() const { return 0; }
    // Where the row read last stands in the file: a text file's line number, its title line being
    // line 1, or a worksheet's row number.
    long line() const { return line_; }

protected:
    long total_ = 0;
    long line_ = 1;
};

// The data lines of a delimited text file, cut at the delimiter. Throws SourceRefused when the
// file cannot be read.
class TextRowSource : public RowSource {
public:
    TextRowSource(Session &session, const std::string &path, char delimiter, int capacity);
    ~TextRowSource() override;
    bool next(std::vector<Value> &buffer) override;
    const std::string *rawTitleLine() const override { return &rawTitles_; }
    const std::string *rawLine() const override { return &rawLine_; }
    int valueCount() const override { return valueCount_; }

private:
    Session &session_;
    char delimiter_;
    int capacity_;
    int filled_ = 0;
    int valueCount_ = 0;
    short file_ = 0;
    std::string rawTitles_, rawLine_;
};

// Rows 2 to the last data row of a worksheet: the last data row is the last filled cell of column
// 1 and the width the last filled cell of row 1. Empty rows in between come as empty rows. Throws
// SourceRefused for a workbook or worksheet that cannot be read, or one wider than the buffer.
class SheetRowSource : public RowSource {
public:
    SheetRowSource(const std::string &path, const std::string &sheetName, int capacity);
    bool next(std::vector<Value> &buffer) override;

private:
    std::unique_ptr<Workbook> book_;
    std::unique_ptr<Workbook::RowCursor> rows_;
    int capacity_;
    int lastRow_ = 1, lastColumn_ = 0;
    int nextRow_ = 2;
    bool haveCursorRow_ = false;
};

} // namespace tarnwick
