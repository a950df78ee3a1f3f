// The workbook reader and writer against two independent readers (xlrd and libfreexl) and against
// real workbooks written by Excel and other programs.
#include "sheet/Workbook.h"
#include "base/VbDate.h"
#include "sheet/Gsf.h"
#include "sheet/NumberFormat.h"
#include "sheet/SheetError.h"
#include "sheet/WorkbookWriter.h"
#include "support/RawWorkbook.h"
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

// Shared strings as Excel splits them: a string's characters continue in the next record, which
// begins with the option byte again, and that byte may change the width (one byte a character, or
// two). Formatting runs that fall into the next record carry no option byte.
TEST(WorkbookReaderTest, SharedStringsChangingWidthAcrossContinueRecords) {
    RawWorkbook book;
    RawBytes sst, first, second, third;
    sst.u32(5).u32(5);
    sst.u16(10).u8(0).latin1("Cafe");             // "Cafe" one byte a character, then
    first.u8(1).utf16(u"日本語 ok");              // the rest two bytes a character
    first.u16(8).u8(1).utf16(u"Ωλφ");             // two bytes a character, then
    second.u8(0).latin1("a-end");                 // the rest one byte a character
    second.u16(4).u8(0x09).u16(2).utf16(u"Zoë!"); // rich text: two runs of formatting
    second.u16(0).u16(0);                         // the first run here, the second in the next
    third.u16(2).u16(1);                          // record without an option byte
    third.u16(5).u8(0).latin1("after");
    third.u16(3).u8(1).utf16(u"end");
    book.sharedStrings = {sst, first, second, third};
    for (int i = 0; i < 5; ++i)
        book.label(i + 1, 1, static_cast<std::uint32_t>(i));
    TempDir dir;
    book.save(dir.file("continued.xls"));
    const std::string ours = DumpWithOurReader(dir.file("continued.xls"));
    expectSameDump(ours, "sheet\tSheet1\t5\t1\n1\t1\ts:Cafe日本語 ok\n2\t1\ts:Ωλφa-end\n3\t1\ts:Zoë!\n4\t1\ts:after\n"
                         "5\t1\ts:end\n");
    expectSameDump(ours, DumpWithXlrd(dir.file("continued.xls")));
    expectSameDump(withoutExtents(ours), DumpWithFreexl(dir.file("continued.xls")));
}

// Every built-in number format, and format texts of our own, decide between number and date as
// xlrd decides. (27 to 36 and 50 to 58 are East Asian formats that xlrd takes for dates whatever the
// locale; they are left out.)
TEST(WorkbookReaderTest, BuiltInAndCustomNumberFormatsAsXlrdReadsThem) {
    RawWorkbook book;
    book.formats = {{164, "yyyy-mm-dd"}, {165, "[h]:mm"},  {166, "0.00;[Red]-0.00"},
                    {167, "\"d\"0"},     {168, "[Blue]0"}, {169, "mmm d, yyyy h:mm AM/PM"},
                    {170, "\\h0"},       {171, "General"}, {172, "ss.0"}};
    std::vector<std::uint16_t> ids;
    for (std::uint16_t id = 0; id <= 49; ++id)
        if (id < 27 || id > 36)
            ids.push_back(id);
    for (std::uint16_t id = 164; id <= 172; ++id)
        ids.push_back(id);
    for (std::size_t i = 0; i < ids.size(); ++i)
        book.xfFor(ids[i]);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        book.number(static_cast<int>(i) + 1, 1, ids[i], book.xfFor(0));
        book.number(static_cast<int>(i) + 1, 2, 45000.75, book.xfFor(ids[i]));
        book.number(static_cast<int>(i) + 1, 3, 45000, book.xfFor(ids[i]));
    }
    TempDir dir;
    book.save(dir.file("formats.xls"));
    const std::string ours = DumpWithOurReader(dir.file("formats.xls"));
    EXPECT_NE(ours.find("\n15\t2\td:2023-03-15 18:00:00\n15\t3\td:2023-03-15\n"), std::string::npos) << ours;
    expectSameDump(ours, DumpWithXlrd(dir.file("formats.xls")));
    // An elapsed time alone is a time to us; xlrd reads it as a number.
    for (const char *elapsed : {"[h]", "[mm]", "[ss]", "[h]:mm"})
        EXPECT_TRUE(IsDateFormatString(elapsed)) << elapsed;
}

// The 1904 date system counts its days from 1 January 1904.
TEST(WorkbookReaderTest, DatesOfThe1904SystemAsXlrdAndFreexlReadThem) {
    for (bool date1904 : {false, true}) {
        SCOPED_TRACE(date1904 ? "1904" : "1900");
        RawWorkbook book;
        book.date1904 = date1904;
        book.number(1, 1, 45000.75, book.xfFor(22));
        book.number(2, 1, 45000, book.xfFor(14));
        book.number(3, 1, 61, book.xfFor(14));
        book.number(4, 1, 45000.75, book.xfFor(0)); // a number is no date in either system
        TempDir dir;
        book.save(dir.file("dates.xls"));
        const std::string ours = DumpWithOurReader(dir.file("dates.xls"));
        expectSameDump(ours, date1904 ? "sheet\tSheet1\t4\t1\n1\t1\td:2027-03-16 18:00:00\n2\t1\td:2027-03-16\n"
                                        "3\t1\td:1904-03-02\n4\t1\tn:45000.75\n"
                                      : "sheet\tSheet1\t4\t1\n1\t1\td:2023-03-15 18:00:00\n2\t1\td:2023-03-15\n"
                                        "3\t1\td:1900-03-01\n4\t1\tn:45000.75\n");
        expectSameDump(ours, DumpWithXlrd(dir.file("dates.xls")));
        expectSameDump(withoutExtents(ours), DumpWithFreexl(dir.file("dates.xls")));
    }
}

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
