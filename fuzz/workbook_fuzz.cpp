// The workbook reader on any bytes: the sheet list, then every row of every sheet (row 1 being
// the titles), as the import reads them. A refusal (SheetError) is the expected end for most.
#include "sheet/SheetError.h"
#include "sheet/Workbook.h"

#include <cstdint>
#include <glib.h>

using namespace tarnwick;

// libgsf reports each damaged block through GLib's log; millions of lines would only slow the run.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    g_log_set_default_handler([](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    try {
        Workbook book(data, size, "fuzz.xls");
        for (int sheet = 0; sheet < static_cast<int>(book.sheetNames().size()); ++sheet) {
            book.sheetIndex(book.sheetNames()[static_cast<std::size_t>(sheet)]);
            auto rows = book.rows(sheet);
            while (rows.next())
                for (const Cell &cell : rows.cells())
                    cell.toString();
        }
    } catch (const SheetError &) {
    }
    return 0;
}
