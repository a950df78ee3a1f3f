#pragma once
// Reads a text file line by line without loading it whole. A line ends at CR LF, LF or CR. A UTF-8
// byte-order mark is dropped; a UTF-16 file with a byte-order mark is decoded; otherwise each line
// is UTF-8 when it is valid UTF-8 and Windows-1252 when it is not. Lines are returned as UTF-8.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

struct FileCloser {
    void operator()(std::FILE *file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

class LineReader {
public:
    explicit LineReader(FileHandle file);

    // The next line, or nothing at the end of the file. `raw`, when given, receives the line's bytes
    // as they are in the file, without the line end (a UTF-16 file's line as UTF-8).
    std::optional<std::string> next(std::string *raw = nullptr);
    // Passes over the next line without decoding it; false at the end of the file.
    bool skip();
    bool atEnd();

private:
    enum class Encoding { Bytes, Utf16LE, Utf16BE };

    int get();
    int peek();
    bool fill();
    // The first CR or LF from the read position, or the end of the buffer.
    const char *lineEnd();
    // Reads one UTF-16 unit as a code point, surrogate pairs joined; -1 at the end.
    long nextUtf16();

    FileHandle file_;
    Encoding encoding_ = Encoding::Bytes;
    char buffer_[65536];
    std::size_t size_ = 0, pos_ = 0;
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::size_t lfAt_ = kUnknown; // offset of the next LF in the buffer (size_ when none)
    long pendingUnit_ = -2;
};

} // namespace tarnwick
