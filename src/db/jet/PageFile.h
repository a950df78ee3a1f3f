#pragma once
// The database file as numbered pages of 4,096 bytes, read and written with positioned reads and
// writes on one owned descriptor.
#include "db/jet/PageSource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::jet {

class PageFile : public PageSource {
public:
    // Opens `path` for reading, and for writing when `writable`; a missing file gives the error Jet
    // gives for one.
    explicit PageFile(const std::string &path, bool writable = false);
    ~PageFile();
    PageFile(const PageFile &) = delete;
    PageFile &operator=(const PageFile &) = delete;

    const std::string &path() const { return path_; }
    // Whole pages in the file; a partial page at its end is not counted.
    std::uint32_t pageCount() const override { return pageCount_; }
    Page read(std::uint32_t number, const char *what) const override;
    // Writes page `number`, at most one past the last.
    void write(std::uint32_t number, const Page &page);
    // Cuts the file to its first `pageCount` pages.
    void truncate(std::uint32_t pageCount);
    // Makes what was written durable.
    void sync();

private:
    std::string path_;
    int fd_ = -1;
    std::uint32_t pageCount_ = 0;
    // The page read last, kept for the next read of the same page (rows are read page by page).
    mutable std::optional<std::pair<std::uint32_t, Page>> lastRead_;
};

} // namespace tarnwick::jet
