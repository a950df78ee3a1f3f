#pragma once
// Where the engine's readers take pages from: the file itself, or a write in progress that shows
// the pages it changed over the file's.
#include "db/jet/ByteView.h"
#include "db/jet/JetFormat.h"

#include <cstdint>
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
    bool operator==(const Page &other) const { return bytes_ == other.bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

class PageSource {
public:
    virtual ~PageSource() = default;
    virtual std::uint32_t pageCount() const = 0;
    // Page `number`; one past the end is reported as damage, naming `what` pointed there.
    virtual Page read(std::uint32_t number, const char *what) const = 0;
};

} // namespace tarnwick::jet
