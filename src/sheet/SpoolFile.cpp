#include "sheet/SpoolFile.h"

#include "sheet/SheetError.h"

namespace tarnwick {

SpoolFile::SpoolFile() : file_(std::tmpfile()) {
    if (!file_)
        throw SheetError(sheeterr::CannotOpen, "A temporary file for the workbook could not be created.");
    buffer_.reserve(1 << 16);
}

void SpoolFile::append(const std::uint8_t *bytes, std::size_t count) {
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    size_ += count;
    if (buffer_.size() >= (1 << 16))
        flush();
}

void SpoolFile::flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size())
        throw SheetError(sheeterr::CannotOpen, "The temporary file of the workbook could not be written.");
    buffer_.clear();
}

} // namespace tarnwick
