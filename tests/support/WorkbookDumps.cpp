#include "support/WorkbookDumps.h"

#include "base/VbDate.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookWriter.h"
#include "support/RunCli.h"

#include <cstdio>

namespace tarnwick {
namespace {

// As xlrd_dump.py writes it: backslash, new line, carriage return and tab escaped.
std::string escape(const std::string &text) {
    std::string out;
    for (char c : text) {
        const char *escaped = c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : nullptr;
        escaped ? out += escaped : out += c;
    }
    return out;
}

std::string number(double n) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", n);
    return buffer;
}

bool sheetLine(const std::string &line) {
    return line.size() > 1 && line.front() == '[' && line.back() == ']';
}

} // namespace

std::vector<std::string> SplitAt(const std::string &text, char at) {
    std::vector<std::string> parts(1);
    for (char c : text)
        c == at ? void(parts.emplace_back()) : parts.back().push_back(c);
    return parts;
}

void WriteGridWorkbook(const std::string &path, const std::string &grid) {
    const std::vector<std::string> lines = SplitAt(grid, '\n');
    WorkbookWriter book(sheetLine(lines[0]) ? lines[0].substr(1, lines[0].size() - 2) : "Sheet1");
    int row = 0;
    for (std::size_t i = sheetLine(lines[0]) ? 1 : 0; i < lines.size(); ++i) {
        if (sheetLine(lines[i])) {
            book.addSheet(lines[i].substr(1, lines[i].size() - 2));
            row = 0;
            continue;
        }
        ++row;
        int column = 0;
        for (const std::string &cell : SplitAt(lines[i], '\t')) {
            ++column;
            const char kind = cell.empty() ? 0 : cell[0];
            if (kind == '#' || kind == '@' || kind == '?') {
                const double n = std::stod(cell.substr(1));
                kind == '#'   ? book.setNumber(row, column, n)
                : kind == '@' ? book.setDate(row, column, n)
                              : book.setBoolean(row, column, n != 0);
            } else if (kind) {
                book.setText(row, column, cell);
            }
        }
    }
    book.save(path);
}

std::string DumpWithOurReader(const std::string &path) {
    Workbook book(path);
    std::string out;
    for (int s = 0; s < static_cast<int>(book.sheetNames().size()); ++s) {
        std::string cells;
        int rows = 0, columns = 0;
        for (auto cursor = book.rows(s); cursor.next();)
            for (int c = 1; c <= static_cast<int>(cursor.cells().size()); ++c) {
                const Cell &cell = cursor.cell(c);
                if (cell.type == Cell::Type::Empty)
                    continue;
                const std::string iso = cell.type == Cell::Type::Date ? FormatIsoDate(cell.number) : "";
                const std::string value = cell.type == Cell::Type::Date
                                              ? "d:" + (iso.substr(11) == "00:00:00" ? iso.substr(0, 10) : iso)
                                          : cell.type == Cell::Type::Number  ? "n:" + number(cell.number)
                                          : cell.type == Cell::Type::Boolean ? "b:" + number(cell.number)
                                          : cell.type == Cell::Type::Text    ? "s:" + escape(cell.text)
                                                                             : "e:" + cell.text;
                rows = std::max(rows, cursor.row());
                columns = std::max(columns, c);
                cells += std::to_string(cursor.row()) + "\t" + std::to_string(c) + "\t" + value + "\n";
            }
        out += "sheet\t" + escape(book.sheetNames()[s]) + "\t" + std::to_string(rows) + "\t" + std::to_string(columns) +
               "\n" + cells;
    }
    return out;
}

std::string DumpWithXlrd(const std::string &path) {
    return RunProgram("/usr/bin/python3", std::string("'") + SUPPORT_DIR + "/xlrd_dump.py' '" + path + "'").out;
}

} // namespace tarnwick
