#pragma once
// Reads the BIFF records of a workbook stream one by one, joining each record with the CONTINUE
// records that follow it, and decodes the string forms BIFF5 and BIFF8 use.
#include "sheet/Gsf.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

namespace biff {
constexpr std::uint16_t Formula = 0x0006, Eof = 0x000A, DateMode = 0x0022, Continue = 0x003C, CodePage = 0x0042,
                        BoundSheet = 0x0085, MulRk = 0x00BD, MulBlank = 0x00BE, Rstring = 0x00D6, Xf = 0x00E0,
                        Sst = 0x00FC, LabelSst = 0x00FD, Blank = 0x0201, Number = 0x0203, Label = 0x0204,
                        BoolErr = 0x0205, String = 0x0207, Rk = 0x027E, Format = 0x041E, Bof = 0x0809;
constexpr std::uint16_t Biff5 = 0x0500, Biff8 = 0x0600;
} // namespace biff

// One record with its continuations: `data` holds every part's bytes in order, and `parts` the
// offsets at which each CONTINUE part starts (a character run that crosses one restarts with a new
// option byte in BIFF8).
struct Record {
    std::uint16_t type = 0;
    std::vector<std::uint8_t> data;
    std::vector<std::size_t> parts;

    std::uint16_t u16(std::size_t at) const;
    std::uint32_t u32(std::size_t at) const;
    double f64(std::size_t at) const;
};

class RecordReader {
public:
    explicit RecordReader(GsfInput *stream) : stream_(stream) {}

    void seek(std::uint32_t offset);
    // The next record, with its continuations joined unless `join` is false; false at the end.
    bool next(Record &record, bool join = true);
    // When the next record is a CONTINUE, reads it into `record` (replacing its data) and returns
    // true; otherwise leaves it for next().
    bool nextContinue(Record &record);

private:
    bool readHeader(std::uint16_t &type, std::uint16_t &length);
    void readBytes(std::uint8_t *out, std::size_t count);
    bool refill();

    GsfInput *stream_;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(1 << 16);
    std::size_t begin_ = 0, end_ = 0;
    bool havePending_ = false;
    std::uint16_t pendingType_ = 0, pendingLength_ = 0;
};

// Decodes strings from a record, starting at a position it advances.
class StringDecoder {
public:
    StringDecoder(std::uint16_t version, int codePage) : version_(version), codePage_(codePage) {}

    // A string with a 16-bit (or, for `shortLength`, 8-bit) character count.
    std::string read(const Record &record, std::size_t &at, bool shortLength = false) const;

private:
    std::string bytesToUtf8(const std::uint8_t *bytes, std::size_t count) const;
    std::uint16_t version_;
    int codePage_;
};

} // namespace tarnwick
