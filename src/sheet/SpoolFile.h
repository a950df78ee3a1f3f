#pragma once
// An anonymous temporary file that bytes are appended to and then read back from the start.
#include "base/LineReader.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tarnwick {

class SpoolFile {
public:
    SpoolFile();
    void append(const std::uint8_t *bytes, std::size_t count);
    void append(const std::vector<std::uint8_t> &bytes) { append(bytes.data(), bytes.size()); }
    std::uint64_t size() const { return size_; }
    // Calls sink(bytes, count) for the whole content in chunks.
    template <typename Sink> void replay(Sink sink);

private:
    void flush();
    FileHandle file_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t size_ = 0;
};

template <typename Sink> void SpoolFile::replay(Sink sink) {
    flush();
    std::rewind(file_.get());
    std::vector<std::uint8_t> chunk(1 << 16);
    std::size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), file_.get())) > 0)
        sink(chunk.data(), n);
    std::fseek(file_.get(), 0, SEEK_END);
}

} // namespace tarnwick
