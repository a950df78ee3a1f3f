#include "base/LineReader.h"

#include "base/TextUtil.h"

#include <cstring>

namespace tarnwick {

const char *LineReader::lineEnd() {
    const char *start = buffer_ + pos_;
    const char *end = buffer_ + size_;
    // The next LF is remembered, so a file of CR-only lines is not searched to its end each line.
    if (lfAt_ == kUnknown || lfAt_ < pos_) {
        const void *lf = std::memchr(start, '\n', size_ - pos_);
        lfAt_ = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - buffer_) : size_;
    }
    const char *limit = buffer_ + lfAt_;
    const void *cr = std::memchr(start, '\r', static_cast<std::size_t>(limit - start));
    return cr ? static_cast<const char *>(cr) : (limit < end ? limit : end);
}

LineReader::LineReader(FileHandle file) : file_(std::move(file)) {
    // This reader buffers for itself; the stream's own buffer would only copy every byte twice.
    if (file_)
        std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    fill();
    auto at = [&](std::size_t i) { return i < size_ ? static_cast<unsigned char>(buffer_[i]) : -1; };
    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        pos_ = 3;
    } else if (at(0) == 0xFF && at(1) == 0xFE) {
        encoding_ = Encoding::Utf16LE;
        pos_ = 2;
    } else if (at(0) == 0xFE && at(1) == 0xFF) {
        encoding_ = Encoding::Utf16BE;
        pos_ = 2;
    }
}

bool LineReader::fill() {
    if (pos_ < size_)
        return true;
    size_ = file_ ? std::fread(buffer_, 1, sizeof buffer_, file_.get()) : 0;
    pos_ = 0;
    lfAt_ = kUnknown;
    return size_ > 0;
}

int LineReader::get() {
    return fill() ? static_cast<unsigned char>(buffer_[pos_++]) : -1;
}
int LineReader::peek() {
    return fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1;
}

long LineReader::nextUtf16() {
    if (pendingUnit_ != -2) {
        long unit = pendingUnit_;
        pendingUnit_ = -2;
        return unit;
    }
    int a = get(), b = get();
    if (a < 0 || b < 0)
        return -1;
    long unit = encoding_ == Encoding::Utf16LE ? (a | (b << 8)) : ((a << 8) | b);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        int c = get(), d = get();
        if (c >= 0 && d >= 0) {
            long low = encoding_ == Encoding::Utf16LE ? (c | (d << 8)) : ((c << 8) | d);
            if (low >= 0xDC00 && low <= 0xDFFF)
                return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            pendingUnit_ = low;
        }
        return 0xFFFD;
    }
    return unit;
}

bool LineReader::atEnd() {
    if (encoding_ != Encoding::Bytes && pendingUnit_ != -2)
        return false;
    return peek() < 0;
}

bool LineReader::skip() {
    if (encoding_ != Encoding::Bytes)
        return next().has_value();
    if (atEnd())
        return false;
    for (;;) {
        if (!fill())
            return true;
        const char *start = buffer_ + pos_;
        const char *end = buffer_ + size_;
        const char *stop = lineEnd();
        pos_ += stop - start;
        if (stop < end) {
            int c = get();
            if (c == '\r' && peek() == '\n')
                get();
            return true;
        }
    }
}

std::optional<std::string> LineReader::next(std::string *raw) {
    if (atEnd())
        return std::nullopt;
    std::string line;
    if (encoding_ != Encoding::Bytes) {
        for (long cp = nextUtf16(); cp >= 0; cp = nextUtf16()) {
            if (cp == '\n')
                break;
            if (cp == '\r') {
                long after = nextUtf16();
                if (after != '\n' && after >= 0)
                    pendingUnit_ = after;
                break;
            }
            AppendUtf8(line, static_cast<char32_t>(cp));
        }
        if (raw)
            *raw = line;
        return line;
    }
    for (;;) {
        if (!fill())
            break;
        const char *start = buffer_ + pos_;
        const char *end = buffer_ + size_;
        const char *stop = lineEnd();
        line.append(start, stop);
        pos_ += stop - start;
        if (stop < end) {
            int c = get();
            if (c == '\r' && peek() == '\n')
                get();
            break;
        }
    }
    if (raw)
        *raw = line;
    return DecodeLine(std::move(line));
}

} // namespace tarnwick
