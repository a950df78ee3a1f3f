// Reads every cell of a workbook with our reader or with libfreexl, or writes the benchmark
// workbook (65,536 rows x 18 columns of guest-like data). Prints seconds and peak memory (KiB).
#include "sheet/Workbook.h"
#include "sheet/WorkbookWriter.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <freexl.h>
#include <string>
#include <sys/resource.h>

using namespace tarnwick;

namespace {

void writeBook(const char *path) {
    WorkbookWriter writer;
    const char *titles[18] = {"First", "Last",   "Address1", "Address2", "City",  "State", "Zip",    "Phone", "Cell",
                              "Email", "Arrive", "Depart",   "Vehicle",  "Plate", "DL",    "People", "Pets",  "Notes"};
    for (int c = 0; c < 18; ++c)
        writer.setText(1, c + 1, titles[c]);
    for (int r = 2; r <= Workbook::kRows; ++r) {
        std::string n = std::to_string(r);
        writer.setText(r, 1, "first" + n);
        writer.setText(r, 2, "last" + n);
        writer.setText(r, 3, n + " Main Street");
        writer.setText(r, 4, "Apt " + std::to_string(r % 40));
        writer.setText(r, 5, "City" + std::to_string(r % 500));
        writer.setText(r, 6, "TX");
        writer.setNumber(r, 7, 70000 + r % 9000);
        writer.setText(r, 8, "555-" + n);
        writer.setText(r, 9, "556-" + n);
        writer.setText(r, 10, "guest" + n + "@example.com");
        writer.setDate(r, 11, 45000 + r % 700);
        writer.setDate(r, 12, 45007 + r % 700);
        writer.setText(r, 13, "Vehicle " + std::to_string(r % 90));
        writer.setText(r, 14, "PL" + n);
        writer.setText(r, 15, "DL" + n);
        writer.setNumber(r, 16, r % 6 + 1);
        writer.setText(r, 17, r % 3 ? "Dog" : "Cat");
        writer.setText(r, 18, "Notes for guest " + n);
    }
    writer.save(path);
}

long readOurs(const char *path) {
    Workbook book(path);
    long cells = 0;
    auto rows = book.rows(0);
    while (rows.next())
        for (const Cell &cell : rows.cells())
            cells += !cell.isEmpty();
    return cells;
}

long readFreexl(const char *path) {
    const void *handle = nullptr;
    if (freexl_open(path, &handle) != FREEXL_OK)
        return -1;
    freexl_select_active_worksheet(handle, 0);
    unsigned int rows = 0;
    unsigned short columns = 0;
    freexl_worksheet_dimensions(handle, &rows, &columns);
    long cells = 0;
    for (unsigned r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK && cell.type != FREEXL_CELL_NULL)
                ++cells;
        }
    freexl_close(handle);
    return cells;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s write|ours|freexl WORKBOOK\n", argv[0]);
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    long cells = 0;
    if (std::strcmp(argv[1], "write") == 0)
        writeBook(argv[2]);
    else if (std::strcmp(argv[1], "ours") == 0)
        cells = readOurs(argv[2]);
    else
        cells = readFreexl(argv[2]);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s cells=%ld seconds=%.3f peak_kib=%ld\n", argv[1], cells, seconds, usage.ru_maxrss);
    return 0;
}
