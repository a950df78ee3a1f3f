#include "sheet/Workbook.h"

#include "base/VbDate.h"
#include "sheet/NumberFormat.h"
#include "sheet/SheetError.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace tarnwick {
namespace {

constexpr std::uint16_t kShrFmla = 0x04BC, kArray = 0x0221, kTable = 0x0236;

// Tells the operator what the file is when it is not a workbook we read.
// Tells a workbook's first bytes from those of other files, whose kind the message names.
void checkSignature(const unsigned char *head, std::size_t n, const std::string &path) {
    static const unsigned char ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (n == 8 && std::memcmp(head, ole, 8) == 0)
        return;
    if (n >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0)
        throw SheetError(sheeterr::NotAWorkbook, "'" + path +
                                                     "' is an Excel 2007 or later workbook (.xlsx). Save it in Excel "
                                                     "as \"Excel 97-2003 Workbook (*.xls)\" and try again.");
    unsigned type = n >= 2 ? head[0] | (head[1] << 8) : 0;
    if (type == 0x0009 || type == 0x0209 || type == 0x0409 || type == 0x0809)
        throw SheetError(sheeterr::OldFormat, "'" + path +
                                                  "' was written by Excel 4 or earlier. Save it in Excel as \"Excel "
                                                  "97-2003 Workbook (*.xls)\" and try again.");
    throw SheetError(sheeterr::NotAWorkbook, "'" + path + "' is not an Excel workbook.");
}

void checkSignature(const std::string &path) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw SheetError(sheeterr::CannotOpen, "'" + path + "' could not be opened.");
    unsigned char head[8] = {};
    std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    checkSignature(head, n, path);
}

double decodeRk(std::uint32_t rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, 8);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

const char *errorName(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    default:
        return "#ERROR!";
    }
}

} // namespace

Workbook::Workbook(const std::string &path) {
    checkSignature(path);
    EnsureGsf();
    GError *error = nullptr;
    file_.reset(gsf_input_stdio_new(path.c_str(), &error));
    if (!file_) {
        std::string message = error ? error->message : "unknown error";
        if (error)
            g_error_free(error);
        throw SheetError(sheeterr::CannotOpen, "'" + path + "' could not be opened: " + message);
    }
    openContainer(path);
}

Workbook::Workbook(const void *bytes, std::size_t size, const std::string &name) {
    checkSignature(static_cast<const unsigned char *>(bytes), std::min<std::size_t>(size, 8), name);
    EnsureGsf();
    file_.reset(gsf_input_memory_new(static_cast<const guint8 *>(bytes), static_cast<gsf_off_t>(size), FALSE));
    openContainer(name);
}

void Workbook::openContainer(const std::string &path) {
    GError *error = nullptr;
    container_.reset(gsf_infile_msole_new(file_.get(), &error));
    if (!container_) {
        if (error)
            g_error_free(error);
        throw SheetError(sheeterr::Damaged, "'" + path + "' is damaged: its compound-file structure cannot be read.");
    }
    stream_.reset(gsf_infile_child_by_name(container_.get(), "Workbook"));
    if (!stream_)
        stream_.reset(gsf_infile_child_by_name(container_.get(), "Book"));
    if (!stream_)
        throw SheetError(sheeterr::NotAWorkbook,
                         "'" + path + "' holds no workbook (it may be another Office document).");
    reader_ = RecordReader(stream_.get());
    try {
        readGlobals();
    } catch (const SheetError &e) {
        throw SheetError(e.number(), "'" + path + "': " + e.description());
    }
}

void Workbook::readGlobals() {
    Record r;
    if (!reader_.next(r) || r.type != biff::Bof)
        throw SheetError(sheeterr::OldFormat, "this is not an Excel 97-2003 or Excel 5/95 workbook.");
    version_ = r.u16(0);
    if (version_ != biff::Biff8 && version_ != biff::Biff5)
        throw SheetError(sheeterr::OldFormat, "this workbook was written by Excel 4 or earlier; only Excel 97-2003 "
                                              "and Excel 5/95 workbooks can be read.");
    codePage_ = version_ == biff::Biff8 ? 1200 : 1252;

    std::map<std::uint16_t, bool> customDateFormats;
    std::vector<std::uint16_t> xfFormats;
    // Records are read one by one: the shared strings pull their own continuations, and the few
    // other records that could run on are never long enough to.
    while (reader_.next(r, false) && r.type != biff::Eof) {
        StringDecoder strings(version_, codePage_);
        switch (r.type) {
        case biff::CodePage:
            codePage_ = r.u16(0);
            break;
        case biff::DateMode:
            dateMode1904_ = r.u16(0) != 0;
            break;
        case biff::Format: {
            std::size_t at = 2;
            customDateFormats[r.u16(0)] = IsDateFormatString(strings.read(r, at, version_ < biff::Biff8));
            break;
        }
        case biff::Xf:
            xfFormats.push_back(r.u16(2));
            break;
        case biff::BoundSheet: {
            std::size_t at = 6;
            std::string name = strings.read(r, at, true);
            if (r.data.size() > 5 && r.data[5] == 0) { // worksheets only, not charts or macro sheets
                sheetNames_.push_back(name);
                sheetOffsets_.push_back(r.u32(0));
            }
            break;
        }
        case biff::Sst:
            sst_.read(r, reader_);
            break;
        default:
            break;
        }
    }
    dateXf_.reserve(xfFormats.size());
    for (std::uint16_t format : xfFormats) {
        auto custom = customDateFormats.find(format);
        dateXf_.push_back(custom != customDateFormats.end() ? custom->second : IsBuiltInDateFormat(format));
    }
}

int Workbook::sheetIndex(const std::string &name) const {
    for (std::size_t i = 0; i < sheetNames_.size(); ++i)
        if (sheetNames_[i] == name)
            return static_cast<int>(i);
    return -1;
}

Workbook::RowCursor Workbook::rows(int sheet) {
    if (sheet < 0 || sheet >= static_cast<int>(sheetOffsets_.size()))
        throw SheetError(sheeterr::NoSuchSheet, "Subscript out of range");
    reader_.seek(sheetOffsets_[sheet]);
    Record bof;
    if (!reader_.next(bof) || bof.type != biff::Bof)
        throw SheetError(sheeterr::Damaged, "the worksheet '" + sheetNames_[sheet] + "' cannot be found in the file.");
    return RowCursor(*this);
}

const Cell &Workbook::RowCursor::cell(int column) const {
    return column >= 1 && column <= static_cast<int>(cells_.size()) ? cells_[column - 1] : empty_;
}

bool Workbook::RowCursor::next() {
    cells_.clear();
    row_ = 0;
    while (!done_) {
        if (!haveDecoded_) {
            // A MULRK in progress (multiIndex_ > 0) still has cells to give before reading on.
            if (multiIndex_ == 0 && (!book_->reader_.next(record_) || record_.type == biff::Eof)) {
                done_ = true;
                break;
            }
            if (!decode(record_))
                continue;
        }
        haveDecoded_ = false;
        if (row_ != 0 && decodedRow_ != row_) {
            haveDecoded_ = true; // the decoded cell starts the next row
            return true;
        }
        row_ = decodedRow_;
        if (decodedColumn_ > static_cast<int>(cells_.size()))
            cells_.resize(decodedColumn_);
        cells_[decodedColumn_ - 1] = std::move(decoded_);
    }
    return row_ != 0;
}

bool Workbook::RowCursor::decode(const Record &r) {
    const Workbook &book = *book_;
    auto numberCell = [&](double value, std::uint16_t xf) {
        decoded_ = Cell();
        const double serial = book.dateMode1904_ ? value + 1462 : value;
        // A number past the dates a worksheet can show stays a number, as Excel shows it.
        if (book.isDateXf(xf) && IsDateSerial(serial)) {
            decoded_.type = Cell::Type::Date;
            decoded_.number = serial;
        } else {
            decoded_.type = Cell::Type::Number;
            decoded_.number = value;
        }
    };
    auto textCell = [&](std::string text) {
        decoded_ = Cell();
        decoded_.type = Cell::Type::Text;
        decoded_.text = std::move(text);
    };

    switch (r.type) {
    case biff::Number:
    case biff::Rk:
    case biff::LabelSst:
    case biff::Label:
    case biff::Rstring:
    case biff::BoolErr:
    case biff::Formula:
    case biff::MulRk:
        break;
    default:
        return false;
    }
    decodedRow_ = r.u16(0) + 1;
    decodedColumn_ = r.u16(2) + 1;
    StringDecoder strings(book.version_, book.codePage_);
    switch (r.type) {
    case biff::Number:
        numberCell(r.f64(6), r.u16(4));
        break;
    case biff::Rk:
        numberCell(decodeRk(r.u32(6)), r.u16(4));
        break;
    case biff::MulRk: {
        std::size_t count = (r.data.size() - 6) / 6;
        std::size_t at = 4 + multiIndex_ * 6;
        decodedColumn_ += static_cast<int>(multiIndex_);
        numberCell(decodeRk(r.u32(at + 2)), r.u16(at));
        multiIndex_ = multiIndex_ + 1 < count ? multiIndex_ + 1 : 0;
        break;
    }
    case biff::LabelSst:
        textCell(std::string(book.sst_.get(r.u32(6))));
        break;
    case biff::Label:
    case biff::Rstring: {
        std::size_t at = 6;
        textCell(strings.read(r, at));
        break;
    }
    case biff::BoolErr:
        decoded_ = Cell();
        if (r.data.size() >= 8 && r.data[7]) {
            decoded_.type = Cell::Type::Error;
            decoded_.text = errorName(r.data[6]);
        } else {
            decoded_.type = Cell::Type::Boolean;
            decoded_.number = r.data.size() >= 7 && r.data[6] ? 1 : 0;
        }
        break;
    case biff::Formula: {
        if (r.data.size() < 14)
            return false;
        if (r.u16(12) != 0xFFFF) {
            numberCell(r.f64(6), r.u16(4));
            break;
        }
        std::uint8_t kind = r.data[6];
        decoded_ = Cell();
        if (kind == 1) {
            decoded_.type = Cell::Type::Boolean;
            decoded_.number = r.data[8] ? 1 : 0;
        } else if (kind == 2) {
            decoded_.type = Cell::Type::Error;
            decoded_.text = errorName(r.data[8]);
        } else if (kind == 3) {
            decoded_.type = Cell::Type::Text; // an empty string
        } else {
            // The cached text follows in a STRING record, perhaps after shared-formula records.
            int row = decodedRow_, column = decodedColumn_;
            Record next;
            while (book_->reader_.next(next) && (next.type == kShrFmla || next.type == kArray || next.type == kTable)) {
            }
            decodedRow_ = row;
            decodedColumn_ = column;
            std::size_t at = 0;
            textCell(next.type == biff::String ? strings.read(next, at) : std::string());
        }
        break;
    }
    }
    return decodedColumn_ >= 1 && decodedColumn_ <= Workbook::kColumns;
}

} // namespace tarnwick
