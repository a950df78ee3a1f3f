#include "sheet/WorkbookWriter.h"

#include "sheet/BiffRecords.h"
#include "sheet/Gsf.h"
#include "sheet/SheetError.h"
#include "sheet/Workbook.h"

#include <cmath>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::size_t kMaxRecordData = 8224;
constexpr std::uint16_t kXfGeneral = 15, kXfDate = 16, kXfDateTime = 17;
constexpr std::uint16_t kDateTimeFormat = 164;

// Little-endian record builder.
struct Bytes {
    std::vector<std::uint8_t> v;
    void u8(unsigned x) { v.push_back(static_cast<std::uint8_t>(x)); }
    void u16(unsigned x) {
        u8(x & 0xFF);
        u8((x >> 8) & 0xFF);
    }
    void u32(std::uint32_t x) {
        u16(x & 0xFFFF);
        u16(x >> 16);
    }
    void f64(double x) {
        std::uint8_t b[8];
        std::memcpy(b, &x, 8);
        v.insert(v.end(), b, b + 8);
    }
    void record(std::uint16_t type, const std::vector<std::uint8_t> &data) {
        u16(type);
        u16(static_cast<unsigned>(data.size()));
        v.insert(v.end(), data.begin(), data.end());
    }
};

// A stream of records: fields go into `r`, and emit() closes the record of that type.
struct Records {
    Bytes out, r;
    void emit(std::uint16_t type) {
        out.record(type, r.v);
        r.v.clear();
    }
    // BOF of the workbook globals (0x0005) or of a worksheet (0x0010), as Excel 97 writes it.
    void bof(unsigned substream) {
        r.u16(biff::Biff8), r.u16(substream), r.u16(0x0DBB), r.u16(0x07CC), r.u32(0x000100C1), r.u32(0x00000006);
        emit(biff::Bof);
    }
};

std::u16string toUtf16(const std::string &s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else {
            cp = c & 0x07;
            extra = 3;
        }
        for (int k = 1; k <= extra && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

bool fitsOneByte(const std::u16string &s) {
    for (char16_t c : s)
        if (c > 0xFF)
            return false;
    return true;
}

// A string with a 16-bit count (or 8-bit for `shortLength`) in one record, for short texts.
void unicodeString(Bytes &b, const std::string &text, bool shortLength = false) {
    std::u16string s = toUtf16(text);
    shortLength ? b.u8(static_cast<unsigned>(s.size())) : b.u16(static_cast<unsigned>(s.size()));
    bool compressed = fitsOneByte(s);
    b.u8(compressed ? 0 : 1);
    for (char16_t c : s)
        compressed ? b.u8(c) : b.u16(c);
}

// The shared string table, split into SST and CONTINUE records of at most 8224 bytes. A string's
// count and option byte never split; its characters may, each CONTINUE then repeating the option.
void sharedStrings(Bytes &out, const std::vector<const std::string *> &strings, std::uint32_t uses) {
    Bytes part;
    part.u32(uses);
    part.u32(static_cast<std::uint32_t>(strings.size()));
    std::uint16_t type = biff::Sst;
    auto emit = [&] {
        out.record(type, part.v);
        part.v.clear();
        type = biff::Continue;
    };
    for (const std::string *text : strings) {
        std::u16string s = toUtf16(*text);
        bool compressed = fitsOneByte(s);
        std::size_t width = compressed ? 1 : 2;
        if (part.v.size() + 3 + width > kMaxRecordData)
            emit();
        part.u16(static_cast<unsigned>(s.size()));
        part.u8(compressed ? 0 : 1);
        for (char16_t c : s) {
            if (part.v.size() + width > kMaxRecordData) {
                emit();
                part.u8(compressed ? 0 : 1);
            }
            compressed ? part.u8(c) : part.u16(c);
        }
    }
    emit();
}

[[noreturn]] void refuseCell(const std::string &why) {
    throw SheetError(sheeterr::TooLarge, why);
}

} // namespace

WorkbookWriter::WorkbookWriter(std::string sheetName) {
    addSheet(std::move(sheetName));
}

void WorkbookWriter::addSheet(std::string name) {
    sheets_.push_back(std::make_unique<Sheet>());
    sheets_.back()->name = std::move(name);
}

void WorkbookWriter::cellHeader(std::uint16_t type, std::uint16_t length, int row, int column, std::uint16_t xf) {
    if (row < 1 || row > Workbook::kRows || column < 1 || column > Workbook::kColumns)
        refuseCell("The cell at row " + std::to_string(row) + ", column " + std::to_string(column) +
                   " lies outside a worksheet of 65,536 rows and 256 columns.");
    Sheet &sheet = current();
    if (row < sheet.lastRow)
        throw SheetError(sheeterr::TooLarge, "Cells must be written row by row.");
    sheet.lastRow = row;
    sheet.maxRow = std::max(sheet.maxRow, row);
    sheet.maxColumn = std::max(sheet.maxColumn, column);
    sheet.anyCell = true;
    std::uint8_t header[10] = {
        static_cast<std::uint8_t>(type & 0xFF),         static_cast<std::uint8_t>(type >> 8),
        static_cast<std::uint8_t>(length & 0xFF),       static_cast<std::uint8_t>(length >> 8),
        static_cast<std::uint8_t>((row - 1) & 0xFF),    static_cast<std::uint8_t>((row - 1) >> 8),
        static_cast<std::uint8_t>((column - 1) & 0xFF), static_cast<std::uint8_t>((column - 1) >> 8),
        static_cast<std::uint8_t>(xf & 0xFF),           static_cast<std::uint8_t>(xf >> 8)};
    current().cells.append(header, sizeof header);
}

void WorkbookWriter::setText(int row, int column, const std::string &text) {
    auto found = stringIndex_.find(text);
    if (found == stringIndex_.end()) {
        if (toUtf16(text).size() > kMaxTextLength)
            refuseCell("A text of more than 32,767 characters does not fit in a worksheet cell.");
        found = stringIndex_.emplace(text, static_cast<std::uint32_t>(strings_.size())).first;
        strings_.push_back(&found->first);
    }
    cellHeader(biff::LabelSst, 10, row, column, kXfGeneral);
    std::uint32_t index = found->second;
    std::uint8_t body[4] = {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
                            static_cast<std::uint8_t>(index >> 16), static_cast<std::uint8_t>(index >> 24)};
    current().cells.append(body, 4);
    ++stringUses_;
}

void WorkbookWriter::setNumber(int row, int column, double number) {
    cellHeader(biff::Number, 14, row, column, kXfGeneral);
    current().cells.append(reinterpret_cast<const std::uint8_t *>(&number), 8);
}

void WorkbookWriter::setDate(int row, int column, double serial) {
    bool hasTime = serial != std::trunc(serial);
    cellHeader(biff::Number, 14, row, column, hasTime ? kXfDateTime : kXfDate);
    current().cells.append(reinterpret_cast<const std::uint8_t *>(&serial), 8);
}

void WorkbookWriter::setBoolean(int row, int column, bool value) {
    cellHeader(biff::BoolErr, 8, row, column, kXfGeneral);
    std::uint8_t body[2] = {static_cast<std::uint8_t>(value ? 1 : 0), 0};
    current().cells.append(body, 2);
}

void WorkbookWriter::setValue(int row, int column, const Value &value) {
    switch (value.kind()) {
    case Value::Kind::Empty:
    case Value::Kind::Null:
        return;
    case Value::Kind::Text:
        setText(row, column, value.text());
        return;
    case Value::Kind::Number:
    case Value::Kind::Currency:
        setNumber(row, column, value.asDouble());
        return;
    case Value::Kind::Boolean:
        setBoolean(row, column, value.boolean());
        return;
    case Value::Kind::Date:
        setDate(row, column, value.dateSerial());
        return;
    }
}

std::vector<std::uint8_t> WorkbookWriter::globals(const std::vector<std::uint32_t> &sheetOffsets) const {
    Records records;
    Bytes &out = records.out, &r = records.r;
    auto emit = [&](std::uint16_t type) { records.emit(type); };
    records.bof(0x0005);
    r.u16(1200);
    emit(biff::CodePage);
    r.u16(0), r.u16(0), r.u16(0x3000), r.u16(0x2000), r.u16(0x0038), r.u16(0), r.u16(0), r.u16(1), r.u16(0x0258);
    emit(0x003D); // WINDOW1
    r.u16(0);
    emit(biff::DateMode);
    for (int i = 0; i < 5; ++i) { // Excel expects at least five fonts (index 4 is never used)
        r.u16(200), r.u16(0), r.u16(0x7FFF), r.u16(400), r.u16(0), r.u8(0), r.u8(0), r.u8(0), r.u8(0);
        unicodeString(r, "Arial", true);
        emit(0x0031);
    }
    r.u16(kDateTimeFormat);
    unicodeString(r, "m/d/yyyy h:mm:ss");
    emit(biff::Format);
    auto xf = [&](std::uint16_t format, std::uint16_t protection, std::uint8_t used) {
        r.u16(0), r.u16(format), r.u16(protection), r.u8(0x20), r.u8(0), r.u8(0), r.u8(used);
        r.u32(0), r.u32(0), r.u16(0x20C0);
        emit(biff::Xf);
    };
    for (int i = 0; i < 15; ++i)
        xf(0, 0xFFF5, 0xF4);           // style XFs
    xf(0, 0x0001, 0x00);               // 15: cells, General
    xf(14, 0x0001, 0x04);              // 16: dates
    xf(kDateTimeFormat, 0x0001, 0x04); // 17: dates with a time
    r.u16(0x8000), r.u8(0), r.u8(0xFF);
    emit(0x0293); // STYLE: Normal
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        r.u32(sheetOffsets[i]), r.u8(0), r.u8(0);
        unicodeString(r, sheets_[i]->name, true);
        emit(biff::BoundSheet);
    }
    sharedStrings(out, strings_, stringUses_);
    emit(biff::Eof);
    return out.v;
}

std::vector<std::uint8_t> WorkbookWriter::sheetHeader(const Sheet &sheet) {
    Records records;
    Bytes &out = records.out, &r = records.r;
    auto emit = [&](std::uint16_t type) { records.emit(type); };
    records.bof(0x0010);
    r.u32(0), r.u32(sheet.anyCell ? sheet.maxRow : 0), r.u16(0), r.u16(sheet.anyCell ? sheet.maxColumn : 0), r.u16(0);
    emit(0x0200); // DIMENSIONS: first row, last row + 1, first column, last column + 1
    r.u16(0x06B6), r.u16(0), r.u16(0), r.u32(64), r.u16(0), r.u16(0), r.u32(0);
    emit(0x023E); // WINDOW2
    return out.v;
}

std::uint64_t WorkbookWriter::Sheet::streamSize() const {
    return sheetHeader(*this).size() + cells.size() + 4;
}

void WorkbookWriter::save(const std::string &path) {
    EnsureGsf();
    // The globals' size does not depend on the offsets they carry, so measure once and rebuild.
    std::vector<std::uint32_t> offsets(sheets_.size(), 0);
    std::uint64_t at = globals(offsets).size();
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        offsets[i] = static_cast<std::uint32_t>(at);
        at += sheets_[i]->streamSize();
    }
    if (at > 0xFFFFFFFFu)
        throw SheetError(sheeterr::TooLarge, "The workbook would be larger than an Excel 97-2003 file can be.");
    std::vector<std::uint8_t> head = globals(offsets);
    static const std::uint8_t eof[4] = {0x0A, 0x00, 0x00, 0x00};

    GError *error = nullptr;
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), &error));
    if (!file) {
        std::string message = error ? error->message : "unknown error";
        if (error)
            g_error_free(error);
        throw SheetError(sheeterr::CannotOpen, "'" + path + "' could not be written: " + message);
    }
    GsfPtr<GsfOutfile> container(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), "Workbook", FALSE));
    bool ok = gsf_output_write(stream.get(), head.size(), head.data());
    for (auto &sheet : sheets_) {
        std::vector<std::uint8_t> header = sheetHeader(*sheet);
        ok = ok && gsf_output_write(stream.get(), header.size(), header.data());
        sheet->cells.replay(
            [&](const std::uint8_t *bytes, std::size_t n) { ok = ok && gsf_output_write(stream.get(), n, bytes); });
        ok = ok && gsf_output_write(stream.get(), sizeof eof, eof);
    }
    ok = gsf_output_close(stream.get()) && ok;
    ok = gsf_output_close(GSF_OUTPUT(container.get())) && ok;
    // Closing the container closes the file beneath it.
    if (!gsf_output_is_closed(file.get()))
        ok = gsf_output_close(file.get()) && ok;
    if (!ok)
        throw SheetError(sheeterr::CannotOpen, "'" + path + "' could not be written completely.");
}

} // namespace tarnwick
