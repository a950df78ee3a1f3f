#include "sheet/SharedStrings.h"

#include "base/TextUtil.h"
#include "sheet/SheetError.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

// A read position over an SST record and the CONTINUE records after it.
class Segments {
public:
    Segments(Record &record, RecordReader &reader) : record_(record), reader_(reader) {}

    bool atEnd() {
        while (pos_ >= record_.data.size()) {
            if (!reader_.nextContinue(record_))
                return true;
            pos_ = 0;
        }
        return false;
    }
    std::uint8_t byte() {
        if (atEnd())
            damaged();
        return record_.data[pos_++];
    }
    // Low part first: each read is its own statement, as the order of operands is not defined.
    std::uint16_t u16() {
        const unsigned low = byte();
        const unsigned high = byte();
        return static_cast<std::uint16_t>(low | (high << 8));
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        const std::uint32_t high = u16();
        return low | (high << 16);
    }
    void skip(std::size_t count) {
        while (count > 0) {
            if (atEnd())
                damaged();
            std::size_t step = std::min(count, record_.data.size() - pos_);
            pos_ += step;
            count -= step;
        }
    }
    // True when the next byte starts a CONTINUE record (a character run restarts there).
    bool atBoundary() { return pos_ >= record_.data.size(); }

private:
    [[noreturn]] static void damaged() {
        throw SheetError(sheeterr::Damaged, "the workbook's shared strings run past their records.");
    }
    Record &record_;
    RecordReader &reader_;
    std::size_t pos_ = 0;
};

} // namespace

void SharedStrings::read(Record &first, RecordReader &reader) {
    Segments in(first, reader);
    in.u32(); // total uses
    std::uint32_t unique = in.u32();
    // The count comes from the file: a damaged one may claim billions. Every string takes at least
    // three bytes, so no more can be in the records at hand; later records grow the list as needed.
    offsets_.reserve(std::min<std::size_t>(unique, first.data.size() / 3));
    std::string text;
    for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
        std::uint16_t count = in.u16();
        std::uint8_t flags = in.byte();
        std::size_t runs = (flags & 0x08) ? in.u16() : 0;
        std::size_t extension = (flags & 0x04) ? in.u32() : 0;
        bool wide = flags & 0x01;
        text.clear();
        char32_t high = 0;
        for (std::uint16_t k = 0; k < count; ++k) {
            if (in.atBoundary()) {
                in.atEnd();
                wide = in.byte() & 0x01;
            }
            std::uint32_t c = wide ? in.u16() : in.byte();
            AppendUtf16Unit(text, c, high);
        }
        in.skip(runs * 4 + extension);
        append(text);
    }
}

void SharedStrings::append(const std::string &text) {
    std::size_t need = text.size() + 4;
    if (used_ + need > kBlock) {
        // Left uninitialized: every byte is written before it is read. A string is at most 128 KiB.
        blocks_.push_back(std::unique_ptr<char[]>(new char[kBlock]));
        used_ = 0;
    }
    char *at = blocks_.back().get() + used_;
    std::uint32_t length = static_cast<std::uint32_t>(text.size());
    std::memcpy(at, &length, 4);
    std::memcpy(at + 4, text.data(), text.size());
    offsets_.push_back(static_cast<std::uint32_t>((blocks_.size() - 1) * kBlock + used_));
    used_ += need;
}

std::string_view SharedStrings::get(std::uint32_t index) const {
    if (index >= offsets_.size())
        return {};
    const char *at = blocks_[offsets_[index] / kBlock].get() + offsets_[index] % kBlock;
    std::uint32_t length;
    std::memcpy(&length, at, 4);
    return {at + 4, length};
}

} // namespace tarnwick
