#pragma once
// The workbook's shared string table, read record by record (never joined whole) and kept packed:
// each string is a length prefix and its UTF-8 bytes in blocks of 1 MiB, found through one offset
// per string.
#include "sheet/BiffRecords.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class SharedStrings {
public:
    // Reads the table whose SST record is `first`, pulling its CONTINUE records from `reader`.
    void read(Record &first, RecordReader &reader);
    std::string_view get(std::uint32_t index) const;
    std::size_t size() const { return offsets_.size(); }

private:
    void append(const std::string &text);

    static constexpr std::size_t kBlock = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlock;          // bytes used in the last block
    std::vector<std::uint32_t> offsets_; // block * kBlock + offset of the length prefix
};

} // namespace tarnwick
