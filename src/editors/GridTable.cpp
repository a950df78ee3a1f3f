#include "editors/GridTable.h"

namespace tarnwick {

void GridTable::resetRows(long rows) {
    rows_ = rows;
    filled_ = 0;
    cellsPerRow_ = columnCount();
    inRow_ = 0;
    text_.clear();
    starts_.assign(1, 0);
}

void GridTable::addCell(std::string_view text) {
    text_.append(text);
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    ++inRow_;
}

void GridTable::endRow() {
    while (inRow_ < cellsPerRow_)
        addCell({});
    inRow_ = 0;
    ++filled_;
}

std::string_view GridTable::cell(long row, int column) const {
    // Asked while a fill is under way (a window repainting behind a message), it answers only for
    // the rows already complete.
    if (row < 0 || row >= filled_ || column < 0 || column >= cellsPerRow_)
        return {};
    const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(cellsPerRow_) + column;
    return std::string_view(text_).substr(starts_[index], starts_[index + 1] - starts_[index]);
}

long GridTable::rowOfId(long id) const {
    const std::string wanted = std::to_string(id);
    for (long r = 0; r < filled_; ++r)
        if (cell(r, 0) == wanted)
            return r + 1;
    return 0;
}

std::vector<std::string> GridTable::rowTexts(long row) const {
    std::vector<std::string> out;
    for (int c = 0; c < columnCount(); ++c)
        out.emplace_back(cell(row, c));
    return out;
}

} // namespace tarnwick
