// The workbook reader built with the address and undefined-behaviour sanitizers, which stop the
// test at the first fault: every real test workbook, and damaged copies that once read out of bounds
// or sized a buffer from a count in the file. (What our writer makes is read back under the
// sanitizers by the workbook writer's own test, in the sanitized run of the whole suite.)
#include "sheet/SheetError.h"
#include "sheet/SheetOutline.h"
#include "sheet/Workbook.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

// A count taken from a damaged file must not reach the allocator: refuse large requests with an
// exception, as a machine with little memory would, rather than let them pass on this one.
extern "C" const char *__asan_default_options() {
    return "max_allocation_size_mb=256:allocator_may_return_null=1";
}

namespace tarnwick {
namespace {

// Reads every cell of every sheet, and each sheet's titles as an import reads them.
void readAll(const std::string &path) {
    Workbook book(path);
    for (int s = 0; s < static_cast<int>(book.sheetNames().size()); ++s) {
        OutlineSheet(book, s);
        for (auto rows = book.rows(s); rows.next();)
            for (const Cell &cell : rows.cells())
                cell.toString();
    }
}

// The one workbook of a format the reader does not take is refused; the others read whole. Damaged
// copies, whose counts and offsets once made the reader read out of bounds or size a buffer from a
// count in the file, are refused with a message or read as far as they can be.
TEST(SanitizedReader, ReadsEveryReadableTestWorkbookAndDamagedCopies) {
    const std::string folder = std::string(TESTDATA_DIR) + "/xls";
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        if (name.rfind("biff4", 0) == 0)
            EXPECT_THROW(readAll(entry.path().string()), SheetError);
        else
            EXPECT_NO_THROW(readAll(entry.path().string()));
    }
    const std::pair<std::size_t, std::string> damages[] = {{0xC74, "\xFF\xFF\xFF\xFF"},   // string count of 4 billion
                                                           {0xBB8, {"\xD4\x04\0\0", 4}}}; // sheet inside a record
    for (const auto &[offset, bytes] : damages) {
        SCOPED_TRACE(offset);
        TempDir dir;
        std::string damaged = TempDir::readFile(folder + "/ragged.xls");
        damaged.replace(offset, bytes.size(), bytes);
        dir.write("damaged.xls", damaged);
        try {
            readAll(dir.file("damaged.xls"));
        } catch (const SheetError &error) {
            EXPECT_FALSE(error.description().empty());
        }
    }
}

} // namespace
} // namespace tarnwick
