#include "import/RowSource.h"

#include "app/FileOpener.h"
#include "base/PathCheck.h"
#include "import/DelimitedText.h"
#include "sheet/SheetError.h"
#include "sheet/SheetOutline.h"

namespace tarnwick {

TextRowSource::TextRowSource(Session &session, const std::string &path, char delimiter, int capacity)
    : session_(session), delimiter_(delimiter), capacity_(capacity) {
    // The opener would write a default settings file in place of a missing source; refuse first.
    if (!IsRegularFile(path))
        throw SourceRefused{"The file " + path + " could not be found, so nothing was imported."};
    auto count = CountDataLines(session, path);
    file_ = count ? FileOpener(session, path, ModeInput, 80) : 0;
    if (file_ <= 0)
        throw SourceRefused{"The file " + path + " could not be read, so nothing was imported."};
    total_ = *count;
    if (!session_.files.Eof(file_))
        session_.files.LineInput(file_, &rawTitles_);
}

TextRowSource::~TextRowSource() {
    session_.files.Close(file_);
}

bool TextRowSource::next(std::vector<Value> &buffer) {
    if (session_.files.Eof(file_))
        return false;
    // Every row starts from an empty buffer; only the positions the last row filled need clearing.
    buffer.resize(capacity_ + 1);
    for (int i = 1; i <= filled_; ++i)
        buffer[i] = Value();
    std::optional<RowOverflow> overflow;
    ++line_;
    valueCount_ = CutLine(session_.files.LineInput(file_, &rawLine_), delimiter_, [&](int position, std::string value) {
        if (position <= capacity_)
            buffer[position] = Value(std::move(value));
        else if (!overflow)
            overflow = RowOverflow{position, Value(std::move(value))};
    });
    filled_ = std::min(capacity_, valueCount_);
    if (overflow)
        throw *overflow;
    return true;
}

SheetRowSource::SheetRowSource(const std::string &path, const std::string &sheetName, int capacity)
    : capacity_(capacity) {
    try {
        book_ = std::make_unique<Workbook>(path);
        int sheet = book_->sheetIndex(sheetName);
        if (sheet < 0)
            throw SourceRefused{"The workbook " + path + " has no worksheet named " + sheetName +
                                ", so nothing was imported."};
        SheetOutline outline = OutlineSheet(*book_, sheet);
        // The whole sheet is searched, so no row below any fixed limit is left out.
        lastRow_ = LastFilled(outline.column1Filled, Workbook::kRows);
        lastColumn_ = LastFilled(outline.row1Filled, Workbook::kColumns);
        if (lastColumn_ > capacity_)
            throw SourceRefused{"The worksheet " + sheetName + " has " + std::to_string(lastColumn_) +
                                " Columns and only " + std::to_string(capacity_) +
                                " can be imported. Please remove unwanted Columns and run again."};
        total_ = lastRow_ - 1;
        rows_ = std::make_unique<Workbook::RowCursor>(book_->rows(sheet));
    } catch (const SheetError &error) {
        throw SourceRefused{error.description()};
    }
}

bool SheetRowSource::next(std::vector<Value> &buffer) {
    if (nextRow_ > lastRow_)
        return false;
    buffer.assign(capacity_ + 1, Value());
    try {
        while (!haveCursorRow_ || rows_->row() < nextRow_) {
            if (!rows_->next()) {
                nextRow_ = lastRow_ + 1; // the file ended early: no more rows hold anything
                return false;
            }
            haveCursorRow_ = true;
        }
    } catch (const SheetError &error) {
        throw SourceRefused{error.description()};
    }
    if (rows_->row() == nextRow_)
        for (int c = 1; c <= lastColumn_; ++c)
            buffer[c] = rows_->cell(c).toValue();
    line_ = nextRow_++;
    return true;
}

} // namespace tarnwick
