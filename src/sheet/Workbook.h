#pragma once
// A workbook of Excel 97-2003 (BIFF8) or Excel 5/95 (BIFF5), read from its OLE2 compound file. The
// sheet names and the shared strings are read at open; the rows of a sheet are streamed, never
// held whole.
#include "sheet/BiffRecords.h"
#include "sheet/Cell.h"
#include "sheet/SharedStrings.h"

#include <string>
#include <vector>

namespace tarnwick {

class Workbook {
public:
    static constexpr int kRows = 65536;
    static constexpr int kColumns = 256;

    // Throws SheetError with a clear message for anything that is not a readable workbook.
    explicit Workbook(const std::string &path);
    // The same from a workbook's bytes, which must outlive it; `name` stands for the path in
    // messages.
    Workbook(const void *bytes, std::size_t size, const std::string &name);

    const std::vector<std::string> &sheetNames() const { return sheetNames_; }
    // The index of the sheet of that name, or -1.
    int sheetIndex(const std::string &name) const;

    // Walks the cells of one sheet row by row, in the order the file stores them.
    class RowCursor {
    public:
        // Moves to the next row holding at least one cell record; false after the last.
        bool next();
        // The row's number, counted from 1.
        int row() const { return row_; }
        // The row's cells by column, index 0 for column 1; columns past the end are empty.
        const std::vector<Cell> &cells() const { return cells_; }
        const Cell &cell(int column) const;

    private:
        friend class Workbook;
        explicit RowCursor(Workbook &book) : book_(&book) {}
        // Decodes a cell record into (row, column, cell); false for records that are not cells.
        bool decode(const Record &record);

        Workbook *book_;
        Record record_;
        bool haveDecoded_ = false; // decoded_ holds the first cell of the next row
        bool done_ = false;
        std::size_t multiIndex_ = 0;
        int row_ = 0;
        std::vector<Cell> cells_;
        int decodedRow_ = 0, decodedColumn_ = 0;
        Cell decoded_;
        Cell empty_;
    };

    RowCursor rows(int sheet);

private:
    friend class RowCursor;
    // Opens the compound file in file_ and reads the workbook's globals.
    void openContainer(const std::string &path);
    void readGlobals();
    bool isDateXf(std::uint16_t xf) const { return xf < dateXf_.size() && dateXf_[xf]; }

    GsfPtr<GsfInput> file_;
    GsfPtr<GsfInfile> container_;
    GsfPtr<GsfInput> stream_;
    std::uint16_t version_ = biff::Biff8;
    int codePage_ = 1252;
    bool dateMode1904_ = false;
    std::vector<std::string> sheetNames_;
    std::vector<std::uint32_t> sheetOffsets_;
    std::vector<bool> dateXf_;
    SharedStrings sst_;
    RecordReader reader_{nullptr};
};

} // namespace tarnwick
