#include "sheet/BiffRecords.h"

#include "base/TextUtil.h"
#include "sheet/SheetError.h"

#include <cstring>
#include <memory>
#include <unicode/ucnv.h>

namespace tarnwick {
namespace {

[[noreturn]] void damaged() {
    throw SheetError(sheeterr::Damaged, "The workbook is damaged: its records run past the end of the file.");
}

struct ConverterCloser {
    void operator()(UConverter *c) const noexcept { ucnv_close(c); }
};

} // namespace

std::uint16_t Record::u16(std::size_t at) const {
    if (at + 2 > data.size())
        damaged();
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

std::uint32_t Record::u32(std::size_t at) const {
    if (at + 4 > data.size())
        damaged();
    return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (static_cast<std::uint32_t>(data[at + 3]) << 24);
}

double Record::f64(std::size_t at) const {
    if (at + 8 > data.size())
        damaged();
    double value;
    std::memcpy(&value, &data[at], 8); // little-endian host
    return value;
}

void RecordReader::seek(std::uint32_t offset) {
    if (gsf_input_seek(stream_, offset, G_SEEK_SET))
        damaged();
    begin_ = end_ = 0;
    havePending_ = false;
}

bool RecordReader::refill() {
    gsf_off_t remaining = gsf_input_remaining(stream_);
    if (remaining <= 0)
        return false;
    std::size_t keep = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, keep);
    std::size_t want = std::min<std::size_t>(buffer_.size() - keep, static_cast<std::size_t>(remaining));
    if (!gsf_input_read(stream_, want, buffer_.data() + keep))
        damaged();
    begin_ = 0;
    end_ = keep + want;
    return true;
}

void RecordReader::readBytes(std::uint8_t *out, std::size_t count) {
    if (count == 0)
        return; // `out` may be the null data of an empty record
    while (end_ - begin_ < count)
        if (!refill())
            damaged();
    std::memcpy(out, buffer_.data() + begin_, count);
    begin_ += count;
}

bool RecordReader::readHeader(std::uint16_t &type, std::uint16_t &length) {
    while (end_ - begin_ < 4)
        if (!refill())
            return false;
    type = static_cast<std::uint16_t>(buffer_[begin_] | (buffer_[begin_ + 1] << 8));
    length = static_cast<std::uint16_t>(buffer_[begin_ + 2] | (buffer_[begin_ + 3] << 8));
    begin_ += 4;
    return true;
}

bool RecordReader::nextContinue(Record &record) {
    if (!havePending_ && !readHeader(pendingType_, pendingLength_))
        return false;
    havePending_ = true;
    if (pendingType_ != biff::Continue)
        return false;
    havePending_ = false;
    record.type = biff::Continue;
    record.parts.clear();
    record.data.resize(pendingLength_);
    readBytes(record.data.data(), pendingLength_);
    return true;
}

bool RecordReader::next(Record &record, bool join) {
    std::uint16_t type, length;
    if (havePending_) {
        type = pendingType_;
        length = pendingLength_;
        havePending_ = false;
    } else if (!readHeader(type, length)) {
        return false;
    }
    record.type = type;
    record.parts.clear();
    record.data.resize(length);
    readBytes(record.data.data(), length);
    // Only records whose data may run on (strings, SST) are joined with what follows; everything
    // else ends the lookahead at once so that the EOF record is never read past.
    if (type == biff::Eof || !join)
        return true;
    while (readHeader(pendingType_, pendingLength_)) {
        if (pendingType_ != biff::Continue) {
            havePending_ = true;
            break;
        }
        record.parts.push_back(record.data.size());
        record.data.resize(record.data.size() + pendingLength_);
        readBytes(record.data.data() + record.data.size() - pendingLength_, pendingLength_);
    }
    return true;
}

std::string StringDecoder::bytesToUtf8(const std::uint8_t *bytes, std::size_t count) const {
    bool ascii = true;
    for (std::size_t i = 0; i < count && ascii; ++i)
        ascii = bytes[i] < 0x80;
    if (ascii)
        return std::string(reinterpret_cast<const char *>(bytes), count);
    std::string name = codePage_ == 10000 || codePage_ == 32768 ? "macintosh" : "cp" + std::to_string(codePage_);
    if (codePage_ == 0 || codePage_ == 32769 || codePage_ == 1200 || codePage_ == 367)
        name = "cp1252";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, ConverterCloser> converter(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        converter.reset(ucnv_open("cp1252", &status));
    }
    std::string out(count * 3 + 1, '\0');
    int32_t n = ucnv_toAlgorithmic(UCNV_UTF8, converter.get(), out.data(), static_cast<int32_t>(out.size()),
                                   reinterpret_cast<const char *>(bytes), static_cast<int32_t>(count), &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::string StringDecoder::read(const Record &r, std::size_t &at, bool shortLength) const {
    std::size_t count = shortLength ? (at < r.data.size() ? r.data[at] : 0) : r.u16(at);
    at += shortLength ? 1 : 2;
    if (version_ < biff::Biff8) {
        if (at + count > r.data.size())
            damaged();
        std::string s = bytesToUtf8(&r.data[at], count);
        at += count;
        return s;
    }
    if (at >= r.data.size())
        damaged();
    std::uint8_t flags = r.data[at++];
    std::size_t runs = 0, extension = 0;
    if (flags & 0x08) {
        runs = r.u16(at);
        at += 2;
    }
    if (flags & 0x04) {
        extension = r.u32(at);
        at += 4;
    }
    bool wide = flags & 0x01;
    std::string out;
    std::size_t nextPart = 0;
    while (nextPart < r.parts.size() && r.parts[nextPart] <= at)
        ++nextPart;
    char32_t high = 0;
    for (std::size_t i = 0; i < count; ++i) {
        // A continuation inside the characters starts with a new option byte.
        if (nextPart < r.parts.size() && at == r.parts[nextPart]) {
            if (at >= r.data.size())
                damaged();
            wide = r.data[at++] & 0x01;
            ++nextPart;
        }
        std::uint32_t c;
        if (wide) {
            c = r.u16(at);
            at += 2;
        } else {
            if (at >= r.data.size())
                damaged();
            c = r.data[at++];
        }
        AppendUtf16Unit(out, c, high);
    }
    at += runs * 4 + extension;
    return out;
}

} // namespace tarnwick
