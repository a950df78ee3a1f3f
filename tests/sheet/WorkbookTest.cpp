// The workbook reader and writer against an independent reader (python-xlrd) and against real
// workbooks written by Excel and other programs.
#include "sheet/Workbook.h"
#include "base/VbDate.h"
#include "sheet/NumberFormat.h"
#include "sheet/SheetError.h"
#include "sheet/WorkbookWriter.h"
#include "support/CaseName.h"
#include "support/RawWorkbook.h"
#include "support/TempDir.h"
#include "support/WorkbookDumps.h"

#include <gtest/gtest.h>
#include <regex>

namespace tarnwick {
namespace {

// Compares two dumps, reporting the line where they first differ without printing long texts whole.
void expectSameDump(const std::string &ours, const std::string &theirs) {
    const std::size_t differ =
        std::mismatch(ours.begin(), ours.end(), theirs.begin(), theirs.end()).first - ours.begin();
    if (ours == theirs)
        return;
    const std::size_t from = differ == 0 ? 0 : ours.rfind('\n', differ - 1) + 1;
    ADD_FAILURE() << "line " << std::count(ours.begin(), ours.begin() + from, '\n') + 1
                  << ":\n  ours:     " << ours.substr(from, 200) << "\n  expected: " << theirs.substr(from, 200);
}

TEST(WorkbookWriterTest, EveryKindOfCellReadsBackIdenticallyThroughXlrd) {
    std::string longText; // crosses the records that continue the shared strings
    for (int i = 0; longText.size() < 32767; ++i)
        longText += "Line " + std::to_string(i) + " of the guest notes; ";
    longText.resize(32767);
    std::string longWide;
    while (longWide.size() < 32767)
        longWide += "Zoë 日本 "; // 7 characters in 11 bytes
    auto serial = [](const DateParts &parts) { return std::to_string(SerialFromParts(parts)); };
    TempDir dir;
    // A repeated text shares its string.
    WriteGridWorkbook(dir.file("book.xls"), "Name\nOcé, Zoë 😀\t#12.345\t@" + serial({1950, 7, 4}) + "\t?1\n" +
                                                longText + "\t#-1e20\t@" + serial({2026, 12, 4, 9, 5, 30}) + "\t?0\n" +
                                                longWide + "\tName\n" + std::string(255, '\t') +
                                                "last column\n[Zweites Blatt]\n\n\n\t#42");
    const std::string ours = DumpWithOurReader(dir.file("book.xls"));
    EXPECT_EQ(ours.substr(0, ours.find("\n3\t1\t")),
              "sheet\tSheet1\t5\t256\n1\t1\ts:Name\n2\t1\ts:Océ, Zoë 😀\n2\t2\tn:12.345\n2\t3\td:1950-07-04\n2\t4\tb:1");
    EXPECT_NE(ours.find("3\t3\td:2026-12-04 09:05:30\n3\t4\tb:0\n"), std::string::npos);
    EXPECT_NE(ours.find("\nsheet\tZweites Blatt\t3\t2\n3\t2\tn:42\n"), std::string::npos);
    expectSameDump(ours, DumpWithXlrd(dir.file("book.xls")));
}

// The first row's last cell and the far corner; past them, or past a cell's text, the writer
// refuses. (A sheet filled to its last row is the long export's, read back by our reader.)
TEST(WorkbookWriterTest, EmptySheetAndSheetReachingBothLimits) {
    TempDir dir;
    WorkbookWriter().save(dir.file("empty.xls"));
    WorkbookWriter writer;
    writer.setNumber(1, 256, 256);
    writer.setText(65536, 256, "corner");
    EXPECT_THROW(writer.setNumber(65537, 1, 0), SheetError);
    EXPECT_THROW(writer.setNumber(65536, 257, 0), SheetError);
    EXPECT_THROW(writer.setText(65536, 2, std::string(32768, 'x')), SheetError);
    writer.save(dir.file("full.xls"));
    const std::pair<const char *, const char *> books[] = {
        {"empty.xls", "sheet\tSheet1\t0\t0\n"},
        {"full.xls", "sheet\tSheet1\t65536\t256\n1\t256\tn:256\n65536\t256\ts:corner\n"}};
    for (const auto &[name, dump] : books) {
        EXPECT_EQ(DumpWithOurReader(dir.file(name)), dump);
        EXPECT_EQ(DumpWithXlrd(dir.file(name)), dump);
    }
}

// xlrd counts formatted empty cells into a sheet's extent; we count the cells that hold something.
std::string withoutExtents(const std::string &dump) {
    return std::regex_replace(dump, std::regex("^(sheet\t[^\t\n]*)\t[0-9]+\t[0-9]+$", std::regex::multiline), "$1");
}

class RealWorkbook : public ::testing::TestWithParam<const char *> {};

TEST_P(RealWorkbook, ReadsAsXlrdReadsIt) {
    const std::string path = std::string(TESTDATA_DIR) + "/xls/" + GetParam();
    expectSameDump(withoutExtents(DumpWithOurReader(path)), withoutExtents(DumpWithXlrd(path)));
}

INSTANTIATE_TEST_SUITE_P(TestData, RealWorkbook,
                         ::testing::Values("Formate.xls", "issue20.xls", "namesdemo.xls", "picture_in_cell.xls",
                                           "profiles.xls", "ragged.xls", "xf_class.xls"),
                         [](const auto &info) { return CaseName(info.param); });

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
}

// Every built-in number format, and format texts of our own, decide between number and date as
// xlrd decides, in either date system (1904 counts its days from 1 January 1904). (27 to 36 and 50
// to 58 are East Asian formats that xlrd takes for dates whatever the locale; they are left out.)
TEST(WorkbookReaderTest, NumberFormatsAndDateSystemsAsXlrdReadsThem) {
    for (const bool date1904 : {false, true}) {
        SCOPED_TRACE(date1904 ? "1904" : "1900");
        RawWorkbook book;
        book.date1904 = date1904;
        book.formats = {{164, "yyyy-mm-dd"}, {165, "[h]:mm"},  {166, "0.00;[Red]-0.00"},
                        {167, "\"d\"0"},     {168, "[Blue]0"}, {169, "mmm d, yyyy h:mm AM/PM"},
                        {170, "\\h0"},       {171, "General"}, {172, "ss.0"}};
        int row = 0;
        for (std::uint16_t id = 0; id <= 172; ++id)
            if (id < 27 || (id > 36 && id < 50) || id >= 164) {
                book.number(++row, 1, id, book.xfFor(0));
                book.number(row, 2, 45000.75, book.xfFor(id));
                book.number(row, 3, 61, book.xfFor(id));
            }
        TempDir dir;
        book.save(dir.file("formats.xls"));
        const std::string ours = DumpWithOurReader(dir.file("formats.xls"));
        EXPECT_NE(ours.find(date1904 ? "\n15\t2\td:2027-03-16 18:00:00\n15\t3\td:1904-03-02\n"
                                     : "\n15\t2\td:2023-03-15 18:00:00\n15\t3\td:1900-03-01\n"),
                  std::string::npos);
        expectSameDump(ours, DumpWithXlrd(dir.file("formats.xls")));
    }
    // An elapsed time alone is a time to us; xlrd reads it as a number.
    for (const char *elapsed : {"[h]", "[mm]", "[ss]", "[h]:mm"})
        EXPECT_TRUE(IsDateFormatString(elapsed)) << elapsed;
}

// An Excel 5/95 workbook, record by record: a "Book" stream, byte strings in code page 1252.
TEST(WorkbookReaderTest, ReadsExcel95WorkbooksInTheirCodePage) {
    RawBytes stream, number;
    stream.record(0x0809, RawBytes().u16(0x0500).u16(0x0005).u32(0));
    stream.record(0x0042, RawBytes().u16(1252));
    stream.record(0x0031, RawBytes().u16(200).u16(0).u16(0x7FFF).u16(400).u32(0).u16(0).u8(5).latin1("Arial"));
    for (int xf = 0; xf < 16; ++xf) // fifteen style formats and the cells' format 15
        stream.record(0x00E0, RawBytes().u32(0).u16(xf < 15 ? 0xFFF5 : 0x0001).u16(0x20).u32(0).u32(0));
    const std::size_t offsetAt = stream.v.size() + 4;
    stream.record(0x0085, RawBytes().u32(0).u16(0).u8(5).latin1("Bl\xE4tt"));
    stream.record(0x000A, RawBytes());
    const std::uint32_t sheetAt = static_cast<std::uint32_t>(stream.v.size());
    for (int i = 0; i < 4; ++i)
        stream.v[offsetAt + i] = static_cast<std::uint8_t>(sheetAt >> (8 * i));
    stream.record(0x0809, RawBytes().u16(0x0500).u16(0x0010).u32(0));
    stream.record(0x0204, RawBytes().u16(0).u16(0).u16(15).u16(4).latin1("Oc\xE9!"));
    stream.record(0x0203, RawBytes().u16(1).u16(1).u16(15).f64(42.5));
    stream.record(0x000A, RawBytes());
    TempDir dir;
    SaveWorkbookStream(dir.file("old.xls"), "Book", stream.v);
    const std::string ours = DumpWithOurReader(dir.file("old.xls"));
    expectSameDump(ours, "sheet\tBlätt\t2\t2\n1\t1\ts:Océ!\n2\t2\tn:42.5\n");
    expectSameDump(ours, DumpWithXlrd(dir.file("old.xls")));
}

// What cannot be read is refused with a sentence naming it.
TEST(WorkbookReaderTest, RefusesWhatItCannotReadWithAClearMessage) {
    TempDir dir;
    dir.write("renamed.xls", std::string("PK\x03\x04", 4) + std::string(200, '\0'));
    dir.write("text.xls", "\"Site\",\"Length\"\r\n1,40\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {std::string(TESTDATA_DIR) + "/xls/biff4_no_format_no_window2.xls", "Excel 4 or earlier"},
        {dir.file("renamed.xls"), "Excel 2007 or later workbook (.xlsx)"},
        {dir.file("text.xls"), "is not an Excel workbook"},
        {dir.file("missing.xls"), "could not be opened"}};
    for (const auto &[path, words] : cases) {
        try {
            Workbook book(path);
            ADD_FAILURE() << path;
        } catch (const SheetError &e) {
            EXPECT_NE(e.description().find(words), std::string::npos) << e.description();
        }
    }
}

} // namespace
} // namespace tarnwick
