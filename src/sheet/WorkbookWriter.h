#pragma once
// Writes a new Excel 97-2003 (BIFF8) workbook. Cells go to the worksheet added last (the first one
// exists from the start) and are given row by row (rows in increasing order, columns in any order
// within a row); they go to a temporary file as they come, so a full sheet is never held in memory,
// and the workbook is assembled by save().
#include "base/Value.h"
#include "sheet/SpoolFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

class WorkbookWriter {
public:
    static constexpr std::size_t kMaxTextLength = 32767; // UTF-16 units, as Excel counts

    explicit WorkbookWriter(std::string sheetName = "Sheet1");
    // Starts another worksheet; the cells that follow go to it.
    void addSheet(std::string name);

    // Rows and columns count from 1. Each throws SheetError for a cell outside 65,536 x 256, a row
    // before one already written, or a text longer than 32,767 characters.
    void setText(int row, int column, const std::string &text);
    void setNumber(int row, int column, double number);
    void setDate(int row, int column, double serial);
    void setBoolean(int row, int column, bool value);
    // Empty and Null leave the cell empty; currency is written as a number.
    void setValue(int row, int column, const Value &value);

    // Writes the workbook to `path`, replacing any file there. Throws SheetError.
    void save(const std::string &path);

private:
    void cellHeader(std::uint16_t type, std::uint16_t length, int row, int column, std::uint16_t xf);
    struct Sheet {
        std::string name;
        SpoolFile cells;
        int lastRow = 0, maxRow = 0, maxColumn = 0;
        bool anyCell = false;
        std::uint64_t streamSize() const;
    };
    std::vector<std::uint8_t> globals(const std::vector<std::uint32_t> &sheetOffsets) const;
    static std::vector<std::uint8_t> sheetHeader(const Sheet &sheet);
    Sheet &current() { return *sheets_.back(); }

    std::vector<std::unique_ptr<Sheet>> sheets_;
    // Unique texts in order of first use; the map's keys are the texts themselves.
    std::unordered_map<std::string, std::uint32_t> stringIndex_;
    std::vector<const std::string *> strings_;
    std::uint32_t stringUses_ = 0;
};

} // namespace tarnwick
