// The workbook reader and writer against two independent readers (xlrd and libfreexl) and against
// real workbooks written by Excel and other programs.
#include "sheet/Workbook.h"
#include "db/VbDate.h"
#include "sheet/Gsf.h"
#include "sheet/SheetError.h"
#include "sheet/WorkbookWriter.h"
#include "support/TempDir.h"
#include "support/WorkbookDumps.h"

#include <gtest/gtest.h>
#include <regex>

namespace tarnwick {
namespace {

std::string withoutExtents(const std::string &dump) {
    static const std::regex extent("^(sheet\t[^\t\n]*)\t[0-9]+\t[0-9]+$", std::regex::multiline);
    return std::regex_replace(dump, extent, "$1");
}

// Compares two dumps line by line, reporting the first difference without printing long texts whole.
void expectSameDump(const std::string &actual, const std::string &expected) {
    std::size_t a = 0, e = 0, lineNo = 1;
    while (a < actual.size() || e < expected.size()) {
        std::size_t aEnd = actual.find('\n', a), eEnd = expected.find('\n', e);
        std::string al = actual.substr(a, aEnd - a), el = expected.substr(e, eEnd - e);
        if (al != el) {
            ADD_FAILURE() << "line " << lineNo << ":\n  ours:     " << al.substr(0, 200)
                          << "\n  expected: " << el.substr(0, 200);
            return;
        }
        if (aEnd == std::string::npos || eEnd == std::string::npos) {
            EXPECT_EQ(aEnd, eEnd) << "line " << lineNo << ": one dump ends early";
            return;
        }
        a = aEnd + 1;
        e = eEnd + 1;
        ++lineNo;
    }
}

// libfreexl has no booleans: it reports them as the numbers 1 and 0.
std::string booleansAsNumbers(const std::string &dump) {
    return std::regex_replace(dump, std::regex("\tb:"), "\tn:");
}

// Every kind of cell, with a long plain text and a long non-ASCII text of `longLength` characters.
void writeSample(const std::string &path, std::size_t longLength) {
    std::string longText;
    for (int i = 0; longText.size() < longLength; ++i)
        longText += "Line " + std::to_string(i) + " of the guest notes; ";
    longText.resize(longLength);
    std::string longWide;
    while (longWide.size() < longLength)
        longWide += "Zoë 日本 "; // 7 characters in 11 bytes, so about 0.64 x longLength characters

    WorkbookWriter writer;
    writer.setText(1, 1, "Name");
    writer.setText(1, 2, "Amount");
    writer.setText(1, 3, "Arrival");
    writer.setText(1, 4, "Taxable");
    writer.setText(2, 1, "Océ, Zoë 😀");
    writer.setNumber(2, 2, 12.345);
    writer.setDate(2, 3, SerialFromParts({1950, 7, 4}));
    writer.setBoolean(2, 4, true);
    writer.setText(3, 1, longText);
    writer.setNumber(3, 2, -1e20);
    writer.setDate(3, 3, SerialFromParts({2026, 12, 4, 9, 5, 30}));
    writer.setBoolean(3, 4, false);
    writer.setText(4, 1, longWide);
    writer.setText(4, 2, "Name"); // a repeated text shares its string
    writer.setText(5, 256, "last column");
    writer.addSheet("Zweites Blatt");
    writer.setNumber(3, 2, 42);
    writer.save(path);
}

TEST(WorkbookWriterTest, CellsReadBackIdenticallyThroughXlrd) {
    TempDir dir;
    writeSample(dir.file("book.xls"), 32767);
    std::string ours = DumpWithOurReader(dir.file("book.xls"));
    EXPECT_EQ(ours.substr(0, ours.find('\n')), "sheet\tSheet1\t5\t256");
    EXPECT_NE(ours.find("2\t3\td:1950-07-04\n"), std::string::npos);
    EXPECT_NE(ours.find("3\t3\td:2026-12-04 09:05:30\n"), std::string::npos);
    EXPECT_NE(ours.find("3\t1\ts:Line 0 of the guest notes; "), std::string::npos);
    expectSameDump(ours, DumpWithXlrd(dir.file("book.xls")));
}

// libfreexl misreads a text whose characters cross more than one record boundary of the shared
// string table, so its comparison keeps texts short enough to cross at most one.
TEST(WorkbookWriterTest, CellsReadBackIdenticallyThroughFreexl) {
    TempDir dir;
    writeSample(dir.file("book.xls"), 6000);
    expectSameDump(booleansAsNumbers(withoutExtents(DumpWithOurReader(dir.file("book.xls")))),
                   DumpWithFreexl(dir.file("book.xls")));
}

TEST(WorkbookWriterTest, EmptySheetAndSheetReachingBothLimits) {
    TempDir dir;
    WorkbookWriter().save(dir.file("empty.xls"));
    EXPECT_EQ(DumpWithOurReader(dir.file("empty.xls")), "sheet\tSheet1\t0\t0\n");
    EXPECT_EQ(DumpWithXlrd(dir.file("empty.xls")), "sheet\tSheet1\t0\t0\n");

    WorkbookWriter writer;
    for (int c = 1; c <= 256; ++c)
        writer.setNumber(1, c, c);
    for (int r = 2; r <= 65536; ++r) {
        writer.setNumber(r, 1, r);
        if (r == 65536)
            writer.setText(r, 256, "corner");
    }
    EXPECT_THROW(writer.setNumber(65537, 1, 0), SheetError);
    EXPECT_THROW(writer.setNumber(65536, 257, 0), SheetError);
    EXPECT_THROW(writer.setText(65536, 2, std::string(32768, 'x')), SheetError);
    writer.save(dir.file("full.xls"));

    std::string ours = DumpWithOurReader(dir.file("full.xls"));
    EXPECT_EQ(ours.substr(0, ours.find('\n')), "sheet\tSheet1\t65536\t256");
    expectSameDump(ours, DumpWithXlrd(dir.file("full.xls")));
    expectSameDump(withoutExtents(ours), DumpWithFreexl(dir.file("full.xls")));
}

class RealWorkbook : public ::testing::TestWithParam<const char *> {};

TEST_P(RealWorkbook, ReadsAsXlrdReadsIt) {
    std::string path = std::string(TESTDATA_DIR) + "/xls/" + GetParam();
    expectSameDump(DumpWithOurReader(path, false), withoutExtents(DumpWithXlrd(path)));
}

INSTANTIATE_TEST_SUITE_P(TestData, RealWorkbook,
                         ::testing::Values("Formate.xls", "issue20.xls", "namesdemo.xls", "picture_in_cell.xls",
                                           "profiles.xls", "ragged.xls", "xf_class.xls"));

TEST(WorkbookReaderTest, RefusesWhatItCannotReadWithAClearMessage) {
    TempDir dir;
    dir.write("renamed.xls", std::string("PK\x03\x04", 4) + std::string(200, '\0'));
    dir.write("text.xls", "\"Site\",\"Length\"\r\n1,40\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {std::string(TESTDATA_DIR) + "/xls/biff4_no_format_no_window2.xls", "Excel 4 or earlier"},
        {dir.file("renamed.xls"), "Excel 2007 or later workbook (.xlsx)"},
        {dir.file("text.xls"), "is not an Excel workbook"},
        {dir.file("missing.xls"), "could not be opened"},
    };
    for (const auto &[path, words] : cases) {
        try {
            Workbook book(path);
            FAIL() << path;
        } catch (const SheetError &e) {
            EXPECT_NE(e.description().find(words), std::string::npos) << e.description();
        }
    }
}

TEST(WorkbookReaderTest, DamagedWorkbookGivesMessageOrReadablePartNeverACrash) {
    try {
        DumpWithOurReader(std::string(TESTDATA_DIR) + "/xls/corrupted_error.xls");
    } catch (const SheetError &e) {
        EXPECT_NE(e.description().find("corrupted_error.xls"), std::string::npos) << e.description();
    }
}


// An Excel 5/95 workbook assembled record by record: a "Book" stream in the compound file, byte
// strings in code page 1252.
void writeBiff5(const std::string &path) {
    std::vector<std::uint8_t> stream;
    auto u16 = [&](unsigned x) {
        stream.push_back(x & 0xFF);
        stream.push_back((x >> 8) & 0xFF);
    };
    auto record = [&](unsigned type, const std::vector<std::uint8_t> &data) {
        u16(type);
        u16(static_cast<unsigned>(data.size()));
        stream.insert(stream.end(), data.begin(), data.end());
    };
    const std::vector<std::uint8_t> sheetName = {'B', 'l', 0xE4, 't', 't'}; // "Blätt" in code page 1252
    record(0x0809, {0x00, 0x05, 0x05, 0x00, 0, 0, 0, 0});
    record(0x0042, {0xE4, 0x04});
    record(0x0031, {200, 0, 0, 0, 0xFF, 0x7F, 0x90, 0x01, 0, 0, 0, 0, 0, 0, 5, 'A', 'r', 'i', 'a', 'l'});
    for (int xf = 0; xf < 16; ++xf) // fifteen style formats and the cells' format 15
        record(0x00E0, {0, 0, 0, 0, static_cast<std::uint8_t>(xf < 15 ? 0xF5 : 0x01),
                        static_cast<std::uint8_t>(xf < 15 ? 0xFF : 0x00), 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::size_t offsetAt = stream.size() + 4;
    std::vector<std::uint8_t> bound = {0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(sheetName.size())};
    bound.insert(bound.end(), sheetName.begin(), sheetName.end());
    record(0x0085, bound);
    record(0x000A, {});
    std::uint32_t sheetAt = static_cast<std::uint32_t>(stream.size());
    for (int i = 0; i < 4; ++i)
        stream[offsetAt + i] = static_cast<std::uint8_t>(sheetAt >> (8 * i));
    record(0x0809, {0x00, 0x05, 0x10, 0x00, 0, 0, 0, 0});
    record(0x0204, {0, 0, 0, 0, 15, 0, 4, 0, 'O', 'c', 0xE9, '!'}); // LABEL "Océ!"
    std::vector<std::uint8_t> number = {1, 0, 1, 0, 15, 0};
    double value = 42.5;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(&value);
    number.insert(number.end(), bytes, bytes + 8);
    record(0x0203, number);
    record(0x000A, {});

    EnsureGsf();
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), nullptr));
    GsfPtr<GsfOutfile> container(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> book(gsf_outfile_new_child(container.get(), "Book", FALSE));
    gsf_output_write(book.get(), stream.size(), stream.data());
    gsf_output_close(book.get());
    gsf_output_close(GSF_OUTPUT(container.get()));
}

TEST(WorkbookReaderTest, ReadsExcel95WorkbooksInTheirCodePage) {
    TempDir dir;
    writeBiff5(dir.file("old.xls"));
    expectSameDump(DumpWithOurReader(dir.file("old.xls")), "sheet\tBlätt\t2\t2\n1\t1\ts:Océ!\n2\t2\tn:42.5\n");
    expectSameDump(DumpWithOurReader(dir.file("old.xls")), DumpWithXlrd(dir.file("old.xls")));
}

} // namespace
} // namespace tarnwick
