#include "import/RejectedRows.h"

#include "base/NewFile.h"
#include "base/TextUtil.h"
#include "import/DelimitedText.h"
#include "import/RowSource.h"
#include "sheet/SheetError.h"
#include "sheet/WorkbookWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace tarnwick {
namespace {

std::string rowsText(long rows) {
    return rows == 1 ? "1 row that was not imported" : std::to_string(rows) + " rows that were not imported";
}

} // namespace

RejectedRows::RejectedRows(Session &session, std::string source, char delimiter,
                           const std::vector<std::string> &sources)
    : session_(session), source_(std::move(source)), delimiter_(delimiter) {
    for (const std::string &file : sources)
        avoid_.push_back(SourcePath(session, file));
}

RejectedRows::~RejectedRows() {
    text_.reset();
    sheet_.reset();
    if (!temporary_.empty())
        std::remove(temporary_.c_str());
}

void RejectedRows::start(const RowSource &source) {
    temporary_ = MakeTemporaryFile(session_.DbFolder);
    if (const std::string *titles = source.rawTitleLine()) {
        text_.reset(std::fopen(temporary_.c_str(), "wb"));
        if (!text_)
            throw std::system_error(errno, std::generic_category());
        extension_ = ".csv";
        titleCount_ = CutLine(DecodeLine(*titles), delimiter_, [](int, std::string) {});
        writeText(*titles + delimiter_ + QuotedValue("Line") + delimiter_ + QuotedValue("Reason") + "\r\n");
        return;
    }
    extension_ = ".xls";
    sheet_ = std::make_unique<WorkbookWriter>();
    titleCount_ = session_.FieldNameCount();
    for (int c = 1; c <= titleCount_; ++c)
        sheet_->setText(1, c, session_.FieldNames[c]);
    sheet_->setText(1, titleCount_ + 1, "Line");
    sheet_->setText(1, titleCount_ + 2, "Reason");
}

void RejectedRows::writeText(const std::string &bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), text_.get()) != bytes.size())
        throw std::system_error(errno, std::generic_category());
}

void RejectedRows::refused(long, const std::string &, const std::string &, const std::string &reason,
                           const std::vector<Value> &row, const RowSource &source) {
    ++rows_;
    if (!failure_.empty())
        return;
    try {
        if (rows_ == 1)
            start(source);
        if (text_) {
            // The line as it stands, then as many delimiters as reach the last title, then the reason.
            const int padding = std::max(0, titleCount_ - std::max(1, source.valueCount()));
            writeText(*source.rawLine() + std::string(static_cast<std::size_t>(padding), delimiter_) + delimiter_ +
                      std::to_string(source.line()) + delimiter_ + QuotedValue(reason) + "\r\n");
            return;
        }
        const int sheetRow = static_cast<int>(rows_) + 1;
        for (int c = 1; c <= titleCount_ && c < static_cast<int>(row.size()); ++c)
            sheet_->setValue(sheetRow, c, row[c]);
        sheet_->setNumber(sheetRow, titleCount_ + 1, static_cast<double>(source.line()));
        sheet_->setText(sheetRow, titleCount_ + 2, reason);
    } catch (const std::system_error &error) {
        failure_ = std::strerror(error.code().value());
    } catch (const SheetError &error) {
        failure_ = error.description();
    }
}

bool RejectedRows::finish() {
    if (rows_ == 0)
        return true;
    const std::filesystem::path source(source_);
    std::string path;
    if (failure_.empty())
        try {
            if (text_) {
                if (std::fflush(text_.get()) != 0 || ::fsync(::fileno(text_.get())) != 0)
                    throw std::system_error(errno, std::generic_category());
                text_.reset();
            } else {
                sheet_->save(temporary_);
                sheet_.reset();
                if (!FlushToDisk(temporary_))
                    throw std::system_error(EIO, std::generic_category());
            }
            path = NameWithoutReplacing(temporary_, session_.DbFolder, source.stem().string() + " rejected", extension_,
                                        avoid_);
            temporary_.clear();
            FlushFolder(session_.DbFolder);
        } catch (const std::system_error &error) {
            failure_ = std::strerror(error.code().value());
        } catch (const SheetError &error) {
            failure_ = error.description();
        }
    if (!failure_.empty()) {
        session_.prompter.notify(rowsText(rows_) + (rows_ == 1 ? " is" : " are") +
                                     " in no file: " + (rows_ == 1 ? "it" : "they") + " could not be written beside " +
                                     source_ + " (" + failure_ + "). The import itself is kept.",
                                 Icon::Exclamation);
        return false;
    }
    session_.prompter.notify(rowsText(rows_) + (rows_ == 1 ? " is" : " are") + " in " + path + ": fix " +
                             (rows_ == 1 ? "it" : "them") + " there, then import that file with the same mapping.");
    return true;
}

} // namespace tarnwick
