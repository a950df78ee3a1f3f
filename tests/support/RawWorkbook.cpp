#include "support/RawWorkbook.h"

#include "sheet/Gsf.h"

#include <stdexcept>

namespace tarnwick {

void SaveWorkbookStream(const std::string &path, const char *name, const std::vector<std::uint8_t> &bytes) {
    EnsureGsf();
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), nullptr));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    GsfPtr<GsfOutfile> container(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), name, FALSE));
    gsf_output_write(stream.get(), bytes.size(), bytes.data());
    gsf_output_close(stream.get());
    gsf_output_close(GSF_OUTPUT(container.get()));
    if (!gsf_output_is_closed(file.get()))
        gsf_output_close(file.get());
}

std::uint16_t RawWorkbook::xfFor(std::uint16_t format) {
    std::size_t i = 0;
    while (i < cellFormats.size() && cellFormats[i] != format)
        ++i;
    if (i == cellFormats.size())
        cellFormats.push_back(format);
    return static_cast<std::uint16_t>(15 + i);
}

void RawWorkbook::number(int row, int column, double value, std::uint16_t xf) {
    cells.record(0x0203, RawBytes().u16(row - 1).u16(column - 1).u16(xf).f64(value));
    rows = std::max(rows, row);
    columns = std::max(columns, column);
}

void RawWorkbook::label(int row, int column, std::uint32_t sharedString) {
    cells.record(0x00FD, RawBytes().u16(row - 1).u16(column - 1).u16(xfFor(0)).u32(sharedString));
    rows = std::max(rows, row);
    columns = std::max(columns, column);
}

void RawWorkbook::save(const std::string &path) const {
    auto bof = [](unsigned substream) {
        return RawBytes().u16(0x0600).u16(substream).u16(0x0DBB).u16(0x07CC).u32(0x000100C1).u32(6);
    };
    // The globals twice: first to learn where the sheet starts, then with that offset.
    RawBytes book;
    for (std::uint32_t sheetAt = 0;;) {
        book = RawBytes().record(0x0809, bof(0x0005));
        book.record(0x0042, RawBytes().u16(1200)); // CODEPAGE
        book.record(0x003D, RawBytes().u16(0).u16(0).u16(0x3000).u16(0x2000).u16(0x38).u16(0).u16(0).u16(1).u16(0x258));
        book.record(0x0022, RawBytes().u16(date1904 ? 1 : 0)); // DATEMODE
        for (int i = 0; i < 5; ++i)
            book.record(0x0031,
                        RawBytes().u16(200).u16(0).u16(0x7FFF).u16(400).u32(0).u16(0).u8(5).u8(0).latin1("Arial"));
        for (const auto &[id, text] : formats)
            book.record(0x041E, RawBytes().u16(id).u16(static_cast<unsigned>(text.size())).u8(0).latin1(text));
        auto xf = [&](std::uint16_t format, std::uint16_t protection, std::uint8_t used) {
            book.record(
                0x00E0,
                RawBytes().u16(0).u16(format).u16(protection).u8(0x20).u8(0).u8(0).u8(used).u32(0).u32(0).u16(0x20C0));
        };
        for (int i = 0; i < 15; ++i)
            xf(0, 0xFFF5, 0xF4);
        for (std::uint16_t format : cellFormats)
            xf(format, 0x0001, format ? 0x04 : 0x00);
        book.record(0x0293, RawBytes().u16(0x8000).u8(0).u8(0xFF)); // STYLE: Normal
        book.record(0x0085, RawBytes().u32(sheetAt).u8(0).u8(0).u8(6).u8(0).latin1("Sheet1"));
        for (std::size_t i = 0; i < sharedStrings.size(); ++i)
            book.record(i == 0 ? 0x00FC : 0x003C, sharedStrings[i]);
        book.record(0x000A, RawBytes());
        if (sheetAt == book.v.size())
            break;
        sheetAt = static_cast<std::uint32_t>(book.v.size());
    }
    book.record(0x0809, bof(0x0010));
    book.record(0x0200, RawBytes().u32(0).u32(rows).u16(0).u16(columns).u16(0)); // DIMENSIONS
    book.latin1({cells.v.begin(), cells.v.end()});
    book.record(0x023E, RawBytes().u16(0x06B6).u16(0).u16(0).u32(64).u16(0).u16(0).u32(0)); // WINDOW2
    book.record(0x000A, RawBytes());
    SaveWorkbookStream(path, "Workbook", book.v);
}

} // namespace tarnwick
