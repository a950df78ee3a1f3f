#include "support/RawWorkbook.h"

#include "sheet/Gsf.h"

#include <cstring>
#include <stdexcept>

namespace tarnwick {

RawBytes &RawBytes::u8(unsigned x) {
    v.push_back(static_cast<std::uint8_t>(x));
    return *this;
}
RawBytes &RawBytes::u16(unsigned x) {
    return u8(x & 0xFF).u8((x >> 8) & 0xFF);
}
RawBytes &RawBytes::u32(std::uint32_t x) {
    return u16(x & 0xFFFF).u16(x >> 16);
}
RawBytes &RawBytes::f64(double x) {
    std::uint8_t b[8];
    std::memcpy(b, &x, 8);
    v.insert(v.end(), b, b + 8);
    return *this;
}
RawBytes &RawBytes::latin1(const std::string &ascii) {
    for (char c : ascii)
        u8(static_cast<unsigned char>(c));
    return *this;
}
RawBytes &RawBytes::utf16(const std::u16string &text) {
    for (char16_t c : text)
        u16(c);
    return *this;
}

namespace {

void record(RawBytes &out, std::uint16_t type, const RawBytes &body) {
    out.u16(type).u16(static_cast<unsigned>(body.v.size()));
    out.v.insert(out.v.end(), body.v.begin(), body.v.end());
}

RawBytes bof(unsigned substream) {
    RawBytes b;
    b.u16(0x0600).u16(substream).u16(0x0DBB).u16(0x07CC).u32(0x000100C1).u32(6);
    return b;
}

RawBytes shortString(const std::string &ascii) {
    RawBytes b;
    b.u8(static_cast<unsigned>(ascii.size())).u8(0).latin1(ascii);
    return b;
}

} // namespace

std::uint16_t RawWorkbook::xfFor(std::uint16_t format) {
    for (std::size_t i = 0; i < cellFormats_.size(); ++i)
        if (cellFormats_[i] == format)
            return static_cast<std::uint16_t>(15 + i);
    cellFormats_.push_back(format);
    return static_cast<std::uint16_t>(15 + cellFormats_.size() - 1);
}

void RawWorkbook::addSheet(const std::string &name) {
    sheets_.push_back({name, {}, 0, 0});
}

void RawWorkbook::cell(std::uint16_t type, int row, int column, std::uint16_t xf, const RawBytes &body) {
    if (sheets_.empty())
        addSheet("Sheet1");
    Sheet &sheet = sheets_.back();
    RawBytes all;
    all.u16(row - 1).u16(column - 1).u16(xf);
    all.v.insert(all.v.end(), body.v.begin(), body.v.end());
    record(sheet.cells, type, all);
    sheet.rows = std::max(sheet.rows, row);
    sheet.columns = std::max(sheet.columns, column);
}

void RawWorkbook::number(int row, int column, double value, std::uint16_t xf) {
    cell(0x0203, row, column, xf, RawBytes().f64(value));
}

void RawWorkbook::label(int row, int column, std::uint32_t sharedString) {
    cell(0x00FD, row, column, xfFor(0), RawBytes().u32(sharedString));
}

std::vector<std::uint8_t> RawWorkbook::globals(const std::vector<std::uint32_t> &offsets) const {
    RawBytes out;
    record(out, 0x0809, bof(0x0005));
    record(out, 0x0042, RawBytes().u16(1200)); // CODEPAGE
    record(out, 0x003D, RawBytes().u16(0).u16(0).u16(0x3000).u16(0x2000).u16(0x38).u16(0).u16(0).u16(1).u16(0x258));
    record(out, 0x0022, RawBytes().u16(date1904 ? 1 : 0)); // DATEMODE
    for (int i = 0; i < 5; ++i) {
        RawBytes font;
        font.u16(200).u16(0).u16(0x7FFF).u16(400).u16(0).u8(0).u8(0).u8(0).u8(0);
        const RawBytes name = shortString("Arial");
        font.v.insert(font.v.end(), name.v.begin(), name.v.end());
        record(out, 0x0031, font);
    }
    for (const auto &[id, text] : formats) {
        RawBytes format;
        format.u16(id).u16(static_cast<unsigned>(text.size())).u8(0).latin1(text);
        record(out, 0x041E, format);
    }
    auto xf = [&](std::uint16_t format, std::uint16_t protection, std::uint8_t used) {
        RawBytes b;
        b.u16(0).u16(format).u16(protection).u8(0x20).u8(0).u8(0).u8(used).u32(0).u32(0).u16(0x20C0);
        record(out, 0x00E0, b);
    };
    for (int i = 0; i < 15; ++i)
        xf(0, 0xFFF5, 0xF4);
    for (std::uint16_t format : cellFormats_)
        xf(format, 0x0001, format ? 0x04 : 0x00);
    record(out, 0x0293, RawBytes().u16(0x8000).u8(0).u8(0xFF)); // STYLE: Normal
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        RawBytes sheet;
        sheet.u32(offsets[i]).u8(0).u8(0);
        const RawBytes name = shortString(sheets_[i].name);
        sheet.v.insert(sheet.v.end(), name.v.begin(), name.v.end());
        record(out, 0x0085, sheet);
    }
    for (std::size_t i = 0; i < sharedStrings.size(); ++i)
        record(out, i == 0 ? 0x00FC : 0x003C, sharedStrings[i]);
    record(out, 0x000A, RawBytes());
    return out.v;
}

std::vector<std::uint8_t> RawWorkbook::sheetStream(const Sheet &sheet) const {
    RawBytes out;
    record(out, 0x0809, bof(0x0010));
    record(out, 0x0200, RawBytes().u32(0).u32(sheet.rows).u16(0).u16(sheet.columns).u16(0)); // DIMENSIONS
    out.v.insert(out.v.end(), sheet.cells.v.begin(), sheet.cells.v.end());
    record(out, 0x023E, RawBytes().u16(0x06B6).u16(0).u16(0).u32(64).u16(0).u16(0).u32(0)); // WINDOW2
    record(out, 0x000A, RawBytes());
    return out.v;
}

void RawWorkbook::save(const std::string &path) const {
    EnsureGsf();
    std::vector<std::uint32_t> offsets(sheets_.size(), 0);
    std::uint32_t at = static_cast<std::uint32_t>(globals(offsets).size());
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        offsets[i] = at;
        std::vector<std::uint8_t> bytes = sheetStream(sheets_[i]);
        at += static_cast<std::uint32_t>(bytes.size());
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t> all = globals(offsets);
    all.insert(all.end(), stream.begin(), stream.end());

    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), nullptr));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    GsfPtr<GsfOutfile> container(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> workbook(gsf_outfile_new_child(container.get(), "Workbook", FALSE));
    gsf_output_write(workbook.get(), all.size(), all.data());
    gsf_output_close(workbook.get());
    gsf_output_close(GSF_OUTPUT(container.get()));
    if (!gsf_output_is_closed(file.get()))
        gsf_output_close(file.get());
}

} // namespace tarnwick
