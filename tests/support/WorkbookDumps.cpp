#include "support/WorkbookDumps.h"

#include "base/VbDate.h"
#include "sheet/Workbook.h"
#include "support/RunCli.h"

#include <cstdio>
#include <freexl.h>
#include <memory>

namespace tarnwick {
namespace {

std::string escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string number(double n) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", n);
    return buffer;
}

std::string dateText(double serial) {
    std::string iso = FormatIsoDate(serial);
    return iso.substr(11) == "00:00:00" ? iso.substr(0, 10) : iso;
}

std::string line(unsigned row, unsigned column, const std::string &value) {
    return std::to_string(row) + "\t" + std::to_string(column) + "\t" + value + "\n";
}

} // namespace

std::string DumpWithOurReader(const std::string &path, bool withExtent) {
    Workbook book(path);
    std::string out;
    for (int s = 0; s < static_cast<int>(book.sheetNames().size()); ++s) {
        std::string cells;
        int rows = 0, columns = 0;
        auto cursor = book.rows(s);
        while (cursor.next()) {
            for (int c = 1; c <= static_cast<int>(cursor.cells().size()); ++c) {
                const Cell &cell = cursor.cell(c);
                std::string value;
                switch (cell.type) {
                case Cell::Type::Empty:
                    continue;
                case Cell::Type::Number:
                    value = "n:" + number(cell.number);
                    break;
                case Cell::Type::Text:
                    value = "s:" + escape(cell.text);
                    break;
                case Cell::Type::Boolean:
                    value = "b:" + number(cell.number);
                    break;
                case Cell::Type::Date:
                    value = "d:" + dateText(cell.number);
                    break;
                case Cell::Type::Error:
                    value = "e:" + cell.text;
                    break;
                }
                rows = std::max(rows, cursor.row());
                columns = std::max(columns, c);
                cells += line(cursor.row(), c, value);
            }
        }
        out += "sheet\t" + escape(book.sheetNames()[s]);
        if (withExtent)
            out += "\t" + std::to_string(rows) + "\t" + std::to_string(columns);
        out += "\n" + cells;
    }
    return out;
}

std::string DumpWithXlrd(const std::string &path) {
    return RunProgram("/usr/bin/python3", std::string("'") + SUPPORT_DIR + "/xlrd_dump.py' '" + path + "'").out;
}

std::string DumpWithFreexl(const std::string &path) {
    const void *handle = nullptr;
    if (freexl_open(path.c_str(), &handle) != FREEXL_OK)
        return "freexl cannot open " + path + "\n";
    std::unique_ptr<const void, int (*)(const void *)> closer(handle, freexl_close);
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    std::string out;
    for (unsigned short s = 0; s < sheets; ++s) {
        const char *name = nullptr;
        freexl_get_worksheet_name(handle, s, &name);
        out += std::string("sheet\t") + escape(name ? name : "") + "\n";
        freexl_select_active_worksheet(handle, s);
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(handle, &rows, &columns);
        for (unsigned r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue cell;
                if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK)
                    continue;
                std::string value;
                switch (cell.type) {
                case FREEXL_CELL_INT:
                    value = "n:" + number(cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    value = "n:" + number(cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    value = "s:" + escape(cell.value.text_value);
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                    value = std::string("d:") + cell.value.text_value;
                    break;
                default:
                    continue;
                }
                out += line(r + 1, c + 1, value);
            }
        }
    }
    return out;
}

} // namespace tarnwick
