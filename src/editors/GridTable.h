#pragma once
// The texts of an editor's grid: the title row, the column widths in twips and the data rows
// (grid rows 1 on), packed into one buffer so that 100,000 rows take little memory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class GridTable {
public:
    std::vector<std::string> titles;
    std::vector<int> widths; // twips

    int columnCount() const { return static_cast<int>(titles.size()); }
    // The data rows, as the grid's row count minus the title row.
    long rowCount() const { return rows_; }
    // The rows a fill reached (a stopped fill leaves the rest empty).
    long filledRows() const { return filled_; }
    // The grid row (from 1) whose ID cell holds `id`; 0 when none does.
    long rowOfId(long id) const;
    // Empties every data row and sets their number; the rows take as many cells as there are titles.
    void resetRows(long rows);
    // Fills the next data row cell by cell; cells not given stay empty.
    void addCell(std::string_view text);
    void endRow();
    // The text of a data row's cell (row from 0); empty for rows not filled.
    std::string_view cell(long row, int column) const;
    // The row's cells as a vector.
    std::vector<std::string> rowTexts(long row) const;

private:
    long rows_ = 0;
    long filled_ = 0;
    int cellsPerRow_ = 0;
    int inRow_ = 0;
    std::string text_;
    std::vector<std::uint32_t> starts_{0}; // where each filled cell starts; one more at the end
};

} // namespace tarnwick
