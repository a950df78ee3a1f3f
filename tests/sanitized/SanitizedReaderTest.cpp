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
    writer.setText(1, 1, "Name");
    writer.setText(1, 2, "Notes");
    writer.setText(2, 1, "Zoë");
    writer.setText(2, 2, std::string(20000, 'x'));
    writer.save(dir.file("strings.xls"));
    EXPECT_EQ(readAll(dir.file("strings.xls")), "1,1:Name\n1,2:Notes\n2,1:Zoë\n2,2:" + std::string(20000, 'x') + "\n");
}

TEST(SanitizedReader, ReadsEveryReadableTestWorkbook) {
    // The one workbook of a format the reader does not take is refused; the others read whole.
    for (const auto &entry : std::filesystem::directory_iterator(std::string(TESTDATA_DIR) + "/xls")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        if (name.rfind("biff4", 0) == 0)
            EXPECT_THROW(readAll(entry.path().string()), SheetError);
        else
            EXPECT_NO_THROW(readAll(entry.path().string()));
    }
}

struct Damage {
    const char *what;
    std::size_t offset;
    std::vector<unsigned char> bytes;
};
void PrintTo(const Damage &damage, std::ostream *os) {
    *os << damage.what;
}

class DamagedWorkbook : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedWorkbook, IsRefusedWithAMessage) {
    TempDir dir;
    const std::string copy = dir.file("damaged.xls");
    std::filesystem::copy_file(std::string(TESTDATA_DIR) + "/xls/ragged.xls", copy);
    std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(GetParam().offset));
    file.write(reinterpret_cast<const char *>(GetParam().bytes.data()),
               static_cast<std::streamsize>(GetParam().bytes.size()));
    file.close();
    try {
        readAll(copy);
        SUCCEED() << "the damage left a readable workbook";
    } catch (const SheetError &error) {
        EXPECT_FALSE(error.description().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Recipes, DamagedWorkbook,
                         ::testing::Values(Damage{"string count of four billion", 0xC74, {0xFF, 0xFF, 0xFF, 0xFF}},
                                           Damage{"worksheet offset inside a record", 0xBB8, {0xD4, 0x04, 0x00, 0x00}}),
                         [](const auto &info) {
                             return std::string(info.param.offset == 0xC74 ? "HugeStringCount" : "OffsetInRecord");
                         });

} // namespace
} // namespace tarnwick
