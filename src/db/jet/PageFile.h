#pragma once
// The database file as numbered pages of 4,096 bytes, read with positioned reads on one owned
// descriptor.
#include "db/jet/ByteView.h"
#include "db/jet/JetFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick::jet {

// One page's bytes.
class Page {
public:
    Page() : bytes_(kPageSize) {}
    std::uint8_t *data() { return bytes_.data(); }
    const std::uint8_t *data() const { return bytes_.data(); }
    PageType type() const { return static_cast<PageType>(bytes_[0]); }
    ByteView view(const char *what) const { return {bytes_.data(), bytes_.size(), what}; }

private:
    std::vector<std::uint8_t> bytes_;
};

class PageFile {
public:
    // Opens `path` for reading; a missing file gives the error Jet gives for one.
    explicit PageFile(const std::string &path);
    ~PageFile();
    PageFile(const PageFile &) = delete;
    PageFile &operator=(const PageFile &) = delete;

    const std::string &path() const { return path_; }
    // Whole pages in the file; a partial page at its end is not counted.
    std::uint32_t pageCount() const { return pageCount_; }
    // Page `number`; one past the file's end is reported as damage, naming `what` pointed there.
    Page read(std::uint32_t number, const char *what) const;

private:
    std::string path_;
    int fd_ = -1;
    std::uint32_t pageCount_ = 0;
};

} // namespace tarnwick::jet
