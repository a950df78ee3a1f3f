// The workbook reader and writer against an independent reader (python-xlrd) and against real
// workbooks written by Excel and other programs.
#include "sheet/Workbook.h"
#include "base/VbDate.h"
#include "sheet/Gsf.h"
#include "sheet/NumberFormat.h"
#include "sheet/SheetError.h"
#include "sheet/WorkbookWriter.h"
#include "support/CaseName.h"
#include "support/TempDir.h"
#include "support/WorkbookDumps.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <regex>

namespace tarnwick {
namespace {

// Little-endian bytes, appended in order.
struct RawBytes {
    std::vector<std::uint8_t> v;
    RawBytes &u8(unsigned x) { return v.push_back(static_cast<std::uint8_t>(x)), *this; }
    RawBytes &u16(unsigned x) { return u8(x & 0xFF).u8((x >> 8) & 0xFF); }
    RawBytes &u32(std::uint32_t x) { return u16(x & 0xFFFF).u16(x >> 16); }
    RawBytes &f64(double x) {
        std::uint8_t b[8];
        std::memcpy(b, &x, 8);
        return v.insert(v.end(), b, b + 8), *this;
    }
    RawBytes &latin1(const std::string &bytes) { return v.insert(v.end(), bytes.begin(), bytes.end()), *this; }
    RawBytes &utf16(const std::u16string &text) {
        for (char16_t c : text)
            u16(c);
        return *this;
    }
    // A BIFF record: its type, its length and `body`.
    RawBytes &record(unsigned type, const RawBytes &body) {
        return u16(type).u16(static_cast<unsigned>(body.v.size())).latin1({body.v.begin(), body.v.end()});
    }
};

// Writes `bytes` as the stream `name` ("Workbook", or "Book" for Excel 5) of a new compound file.
void SaveWorkbookStream(const std::string &path, const char *name, const std::vector<std::uint8_t> &bytes) {
    EnsureGsf();
    GsfPtr<GsfOutput> file(gsf_output_stdio_new(path.c_str(), nullptr));
    ASSERT_TRUE(file) << path;
    GsfPtr<GsfOutfile> container(gsf_outfile_msole_new(file.get()));
    GsfPtr<GsfOutput> stream(gsf_outfile_new_child(container.get(), name, FALSE));
    gsf_output_write(stream.get(), bytes.size(), bytes.data());
    gsf_output_close(stream.get());
    gsf_output_close(GSF_OUTPUT(container.get()));
    if (!gsf_output_is_closed(file.get()))
        gsf_output_close(file.get());
}

// Our reader's dump of the workbook that `write` saves at the path it is given, once xlrd has read
// the same from it.
std::string ReadAsXlrdDoes(const std::function<void(const std::string &)> &write) {
    TempDir dir;
    write(dir.file("book.xls"));
    const std::string ours = DumpWithOurReader(dir.file("book.xls"));
    EXPECT_EQ(ours, DumpWithXlrd(dir.file("book.xls")));
    return ours;
}

// A workbook of one worksheet, "Sheet1", put together record by record as Excel 97 lays it out, for
// the variants of real files that our writer never makes: the 1904 date system, any number format,
// shared strings split across CONTINUE records wherever a test wants.
struct RawWorkbook {
    bool date1904 = false;
    // FORMAT records for numbers from 164 on: id and format text.
    std::vector<std::pair<std::uint16_t, std::string>> formats;
    // The body of the SST record, then of each CONTINUE record after it; none when empty.
    std::vector<RawBytes> sharedStrings;
    std::vector<std::uint16_t> cellFormats; // of the XF records from 15 on
    RawBytes cells;
    int rows = 0, columns = 0;

    // The XF index that cells use for the number format `format`.
    std::uint16_t xfFor(std::uint16_t format) {
        auto at = std::find(cellFormats.begin(), cellFormats.end(), format);
        if (at == cellFormats.end())
            at = cellFormats.insert(at, format);
        return static_cast<std::uint16_t>(15 + (at - cellFormats.begin()));
    }
    void cell(unsigned type, int row, int column, std::uint16_t xf, const RawBytes &value) {
        cells.record(type, RawBytes().u16(row - 1).u16(column - 1).u16(xf).latin1({value.v.begin(), value.v.end()}));
        rows = std::max(rows, row);
        columns = std::max(columns, column);
    }

    void save(const std::string &path) const {
        auto bof = [](unsigned substream) {
            return RawBytes().u16(0x0600).u16(substream).u16(0x0DBB).u16(0x07CC).u32(0x000100C1).u32(6);
        };
        RawBytes book = RawBytes().record(0x0809, bof(0x0005));
        book.record(0x0042, RawBytes().u16(1200)); // CODEPAGE
        book.record(0x003D, RawBytes().u16(0).u16(0).u16(0x3000).u16(0x2000).u16(0x38).u16(0).u16(0).u16(1).u16(0x258));
        book.record(0x0022, RawBytes().u16(date1904 ? 1 : 0)); // DATEMODE
        for (int i = 0; i < 5; ++i)
            book.record(0x0031,
                        RawBytes().u16(200).u16(0).u16(0x7FFF).u16(400).u32(0).u16(0).u8(5).u8(0).latin1("Arial"));
        for (const auto &[id, text] : formats)
            book.record(0x041E, RawBytes().u16(id).u16(static_cast<unsigned>(text.size())).u8(0).latin1(text));
        auto xf = [&](std::uint16_t format, std::uint16_t protection, std::uint8_t used) {
            const RawBytes head = RawBytes().u16(0).u16(format).u16(protection).u8(0x20).u8(0).u8(0).u8(used);
            book.record(0x00E0, RawBytes(head).u32(0).u32(0).u16(0x20C0));
        };
        for (int i = 0; i < 15; ++i)
            xf(0, 0xFFF5, 0xF4);
        for (std::uint16_t format : cellFormats)
            xf(format, 0x0001, format ? 0x04 : 0x00);
        book.record(0x0293, RawBytes().u16(0x8000).u8(0).u8(0xFF)); // STYLE: Normal
        const std::size_t sheetAt = book.v.size() + 4; // BOUNDSHEET's offset of the sheet, known at the end
        book.record(0x0085, RawBytes().u32(0).u8(0).u8(0).u8(6).u8(0).latin1("Sheet1"));
        for (std::size_t i = 0; i < sharedStrings.size(); ++i)
            book.record(i == 0 ? 0x00FC : 0x003C, sharedStrings[i]);
        book.record(0x000A, RawBytes());
        for (std::size_t i = 0; i < 4; ++i)
            book.v[sheetAt + i] = static_cast<std::uint8_t>(book.v.size() >> (8 * i));
        book.record(0x0809, bof(0x0010));
        book.record(0x0200, RawBytes().u32(0).u32(rows).u16(0).u16(columns).u16(0)); // DIMENSIONS
        book.latin1({cells.v.begin(), cells.v.end()});
        book.record(0x023E, RawBytes().u16(0x06B6).u16(0).u16(0).u32(64).u16(0).u16(0).u32(0)); // WINDOW2
        book.record(0x000A, RawBytes());
        SaveWorkbookStream(path, "Workbook", book.v);
    }
};

// Every kind of cell, texts as long as a cell holds, the last column and the far corner of a sheet,
// and an empty workbook; past those limits the writer refuses.
TEST(WorkbookWriterTest, EveryKindOfCellAndTheSheetsLimitsReadBackIdenticallyThroughXlrd) {
    std::string longText; // crosses the records that continue the shared strings
    for (int i = 0; longText.size() < 32767; ++i)
        longText += "Line " + std::to_string(i) + " of the guest notes; ";
    longText.resize(32767);
    std::string longWide;
    while (longWide.size() < 32767)
        longWide += "Zoë 日本 "; // 7 characters in 11 bytes
    auto serial = [](const DateParts &parts) { return std::to_string(SerialFromParts(parts)); };
    // A repeated text shares its string.
    const std::string grid = "Name\nOcé, Zoë 😀\t#12.345\t@" + serial({1950, 7, 4}) + "\t?1\n" + longText +
                             "\t#-1e20\t@" + serial({2026, 12, 4, 9, 5, 30}) + "\t?0\n" + longWide + "\tName\n" +
                             std::string(255, '\t') + "last column\n[Zweites Blatt]\n\n\n\t#42" +
                             std::string(65533, '\n') + std::string(255, '\t') + "corner";
    const std::string ours = ReadAsXlrdDoes([&](const std::string &path) { WriteGridWorkbook(path, grid); });
    EXPECT_EQ(ours.substr(0, ours.find("\n3\t1\t")),
              "sheet\tSheet1\t5\t256\n1\t1\ts:Name\n2\t1\ts:Océ, Zoë 😀\n2\t2\tn:12.345\n2\t3\td:1950-07-04\n2\t4\tb:1");
    EXPECT_NE(ours.find("3\t3\td:2026-12-04 09:05:30\n3\t4\tb:0\n"), std::string::npos);
    EXPECT_NE(ours.find("\nsheet\tZweites Blatt\t65536\t256\n3\t2\tn:42\n65536\t256\ts:corner\n"), std::string::npos);

    WorkbookWriter writer;
    EXPECT_THROW(writer.setNumber(65537, 1, 0), SheetError);
    EXPECT_THROW(writer.setNumber(65536, 257, 0), SheetError);
    EXPECT_THROW(writer.setText(65536, 2, std::string(32768, 'x')), SheetError);
    EXPECT_EQ(ReadAsXlrdDoes([&](const std::string &path) { writer.save(path); }), "sheet\tSheet1\t0\t0\n");
}

// xlrd counts formatted empty cells into a sheet's extent; we count the cells that hold something.
std::string withoutExtents(const std::string &dump) {
    return std::regex_replace(dump, std::regex("^(sheet\t[^\t\n]*)\t[0-9]+\t[0-9]+$", std::regex::multiline), "$1");
}

class RealWorkbook : public ::testing::TestWithParam<const char *> {};

TEST_P(RealWorkbook, ReadsAsXlrdReadsIt) {
    const std::string path = std::string(TESTDATA_DIR) + "/xls/" + GetParam();
    EXPECT_EQ(withoutExtents(DumpWithOurReader(path)), withoutExtents(DumpWithXlrd(path)));
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
        book.cell(0x00FD, i + 1, 1, book.xfFor(0), RawBytes().u32(static_cast<std::uint32_t>(i))); // LABELSST
    EXPECT_EQ(ReadAsXlrdDoes([&](const std::string &path) { book.save(path); }),
              "sheet\tSheet1\t5\t1\n1\t1\ts:Cafe日本語 ok\n2\t1\ts:Ωλφa-end\n3\t1\ts:Zoë!\n4\t1\ts:after\n"
              "5\t1\ts:end\n");
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
                book.cell(0x0203, ++row, 1, book.xfFor(0), RawBytes().f64(id)); // NUMBER
                book.cell(0x0203, row, 2, book.xfFor(id), RawBytes().f64(45000.75));
                book.cell(0x0203, row, 3, book.xfFor(id), RawBytes().f64(61));
            }
        const std::string ours = ReadAsXlrdDoes([&](const std::string &path) { book.save(path); });
        EXPECT_NE(ours.find(date1904 ? "\n15\t2\td:2027-03-16 18:00:00\n15\t3\td:1904-03-02\n"
                                     : "\n15\t2\td:2023-03-15 18:00:00\n15\t3\td:1900-03-01\n"),
                  std::string::npos);
    }
    // An elapsed time alone is a time to us; xlrd reads it as a number.
    for (const char *elapsed : {"[h]", "[mm]", "[ss]", "[h]:mm"})
        EXPECT_TRUE(IsDateFormatString(elapsed)) << elapsed;
}

// An Excel 5/95 workbook, record by record: a "Book" stream, byte strings in code page 1252.
TEST(WorkbookReaderTest, ReadsExcel95WorkbooksInTheirCodePage) {
    RawBytes stream;
    stream.record(0x0809, RawBytes().u16(0x0500).u16(0x0005).u32(0));
    stream.record(0x0042, RawBytes().u16(1252));
    stream.record(0x0031, RawBytes().u16(200).u16(0).u16(0x7FFF).u16(400).u32(0).u16(0).u8(5).latin1("Arial"));
    for (int xf = 0; xf < 16; ++xf) // fifteen style formats and the cells' format 15
        stream.record(0x00E0, RawBytes().u32(0).u16(xf < 15 ? 0xFFF5 : 0x0001).u16(0x20).u32(0).u32(0));
    // The sheet starts after this record of 16 bytes and the globals' end of 4.
    stream.record(0x0085,
                  RawBytes().u32(static_cast<std::uint32_t>(stream.v.size() + 20)).u16(0).u8(5).latin1("Bl\xE4tt"));
    stream.record(0x000A, RawBytes());
    stream.record(0x0809, RawBytes().u16(0x0500).u16(0x0010).u32(0));
    stream.record(0x0204, RawBytes().u16(0).u16(0).u16(15).u16(4).latin1("Oc\xE9!"));
    stream.record(0x0203, RawBytes().u16(1).u16(1).u16(15).f64(42.5));
    stream.record(0x000A, RawBytes());
    EXPECT_EQ(ReadAsXlrdDoes([&](const std::string &path) { SaveWorkbookStream(path, "Book", stream.v); }),
              "sheet\tBlätt\t2\t2\n1\t1\ts:Océ!\n2\t2\tn:42.5\n");
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
    for (const auto &[path, words] : cases)
        try {
            Workbook book(path);
            ADD_FAILURE() << path << " was read";
        } catch (const SheetError &e) {
            EXPECT_NE(e.description().find(words), std::string::npos) << path << ": " << e.description();
        }
}

} // namespace
} // namespace tarnwick
