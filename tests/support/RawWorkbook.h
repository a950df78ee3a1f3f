#pragma once
// A workbook put together record by record, for the variants of real files that our writer never
// makes: the 1904 date system, any number format, shared strings split across CONTINUE records
// wherever a test wants. Records follow Excel 97's layout; the container is written with libgsf.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tarnwick {

// Little-endian bytes, appended in order.
struct RawBytes {
    std::vector<std::uint8_t> v;
    RawBytes &u8(unsigned x) { return v.push_back(static_cast<std::uint8_t>(x)), *this; }
    RawBytes &u16(unsigned x) { return u8(x & 0xFF).u8((x >> 8) & 0xFF); }
    RawBytes &u32(std::uint32_t x) { return u16(x & 0xFFFF).u16(x >> 16); }
    RawBytes &f64(double x) {
        std::uint8_t b[8];
        std::memcpy(b, &x, 8);
        return v.insert(v.end(), b, b + 8), *this;
    }
    RawBytes &latin1(const std::string &bytes) { return v.insert(v.end(), bytes.begin(), bytes.end()), *this; }
    RawBytes &utf16(const std::u16string &text) {
        for (char16_t c : text)
            u16(c);
        return *this;
    }
    // A BIFF record: its type, its length and `body`.
    RawBytes &record(unsigned type, const RawBytes &body) {
        return u16(type).u16(static_cast<unsigned>(body.v.size())).latin1({body.v.begin(), body.v.end()});
    }
};

// Writes `bytes` as the stream `name` ("Workbook", or "Book" for Excel 5) of a new compound file.
void SaveWorkbookStream(const std::string &path, const char *name, const std::vector<std::uint8_t> &bytes);

// One worksheet, "Sheet1".
struct RawWorkbook {
    bool date1904 = false;
    // FORMAT records for numbers from 164 on: id and format text.
    std::vector<std::pair<std::uint16_t, std::string>> formats;
    // The body of the SST record, then of each CONTINUE record after it; none when empty.
    std::vector<RawBytes> sharedStrings;
    std::vector<std::uint16_t> cellFormats; // of the XF records from 15 on
    RawBytes cells;
    int rows = 0, columns = 0;

    // The XF index that cells use for the number format `format`.
    std::uint16_t xfFor(std::uint16_t format);
    void number(int row, int column, double value, std::uint16_t xf);
    void label(int row, int column, std::uint32_t sharedString);
    void save(const std::string &path) const;
};

} // namespace tarnwick
