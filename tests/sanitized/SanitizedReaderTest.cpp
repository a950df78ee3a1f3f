// The workbook reader built with the address and undefined-behaviour sanitizers, which stop the
// test at the first fault: every real test workbook, a written workbook of strings, and damaged
// copies that once read out of bounds or sized a buffer from a count in the file.
#include "sheet/SheetError.h"
#include "sheet/SheetOutline.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookWriter.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

// A count taken from a damaged file must not reach the allocator: refuse large requests with an
// exception, as a machine with little memory would, rather than let them pass on this one.
extern "C" const char *__asan_default_options() {
    return "max_allocation_size_mb=256:allocator_may_return_null=1";
}

namespace tarnwick {
namespace {

// Every cell of every sheet as text, one line per cell.
std::string readAll(const std::string &path) {
    Workbook book(path);
    std::string out;
    for (std::size_t s = 0; s < book.sheetNames().size(); ++s) {
        OutlineSheet(book, static_cast<int>(s)); // what reading the titles does
        auto rows = book.rows(static_cast<int>(s));
        while (rows.next())
            for (std::size_t c = 0; c < rows.cells().size(); ++c)
                if (!rows.cells()[c].isEmpty())
                    out += std::to_string(rows.row()) + "," + std::to_string(c + 1) + ":" + rows.cells()[c].toString() +
                           "\n";
    }
    return out;
}

TEST(SanitizedReader, ReadsWrittenStringsBack) {
    TempDir dir;
    WorkbookWriter writer("Guests");
    const std::string notes(20000, 'x'); // continued across records
    writer.setText(1, 1, "Name");
    writer.setText(1, 2, "Notes");
    writer.setText(2, 1, "Zoë");
    writer.setText(2, 2, notes);
    writer.save(dir.file("strings.xls"));
    EXPECT_EQ(readAll(dir.file("strings.xls")), "1,1:Name\n1,2:Notes\n2,1:Zoë\n2,2:" + notes + "\n");
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
    const std::pair<std::streamoff, std::string> damages[] = {{0xC74, "\xFF\xFF\xFF\xFF"}, // string count of 4 billion
                                                              {0xBB8, {"\xD4\x04\0\0", 4}}}; // sheet inside a record
    for (const auto &[offset, bytes] : damages) {
        SCOPED_TRACE(offset);
        TempDir dir;
        std::filesystem::copy_file(folder + "/ragged.xls", dir.file("damaged.xls"));
        std::fstream file(dir.file("damaged.xls"), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(offset);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        try {
            readAll(dir.file("damaged.xls"));
        } catch (const SheetError &error) {
            EXPECT_FALSE(error.description().empty());
        }
    }
}

} // namespace
} // namespace tarnwick
