#pragma once
// A workbook put together record by record, for the variants of real files that our writer never
// makes: the 1904 date system, any number format, shared strings split across CONTINUE records
// wherever a test wants. Records follow Excel 97's layout; the container is written with libgsf.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

struct RawBytes {
    std::vector<std::uint8_t> v;
    RawBytes &u8(unsigned x);
    RawBytes &u16(unsigned x);
    RawBytes &u32(std::uint32_t x);
    RawBytes &f64(double x);
    RawBytes &latin1(const std::string &ascii); // one byte a character
    RawBytes &utf16(const std::u16string &text);
};

class RawWorkbook {
public:
    bool date1904 = false;
    // FORMAT records for numbers from 164 on: id and format text.
    std::vector<std::pair<std::uint16_t, std::string>> formats;
    // The body of the SST record, then of each CONTINUE record after it; none when empty.
    std::vector<RawBytes> sharedStrings;

    // The XF index that cells use for the number format `format`.
    std::uint16_t xfFor(std::uint16_t format);
    void addSheet(const std::string &name);
    void number(int row, int column, double value, std::uint16_t xf);
    void label(int row, int column, std::uint32_t sharedString);
    void save(const std::string &path) const;

private:
    struct Sheet {
        std::string name;
        RawBytes cells;
        int rows = 0, columns = 0;
    };
    std::vector<std::uint16_t> cellFormats_;
    std::vector<Sheet> sheets_;
    void cell(std::uint16_t type, int row, int column, std::uint16_t xf, const RawBytes &body);
    std::vector<std::uint8_t> globals(const std::vector<std::uint32_t> &offsets) const;
    std::vector<std::uint8_t> sheetStream(const Sheet &sheet) const;
};

} // namespace tarnwick
