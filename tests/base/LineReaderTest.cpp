#include "base/LineReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

std::vector<std::string> readAll(const std::string &bytes) {
    TempDir dir;
    dir.write("f.txt", bytes);
    LineReader reader(FileHandle(std::fopen(dir.file("f.txt").c_str(), "rb")));
    std::vector<std::string> lines;
    while (auto line = reader.next())
        lines.push_back(*line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReaderTest, EndsLinesAtCrLfLfAndCr) {
    EXPECT_EQ(readAll("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(readAll("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(readAll(""), Lines{});
}

TEST(LineReaderTest, CrLfSplitAcrossBufferBoundaryIsOneLineEnd) {
    std::string first(65535, 'x');
    EXPECT_EQ(readAll(first + "\r\nnext"), (Lines{first, "next"}));
}

TEST(LineReaderTest, ManyLinesOfEveryEndingAcrossBuffers) {
    for (const std::string ending : {"\r", "\n", "\r\n"}) {
        std::string bytes;
        Lines expected;
        for (int i = 0; i < 20000; ++i) {
            expected.push_back("line " + std::to_string(i));
            bytes += expected.back() + ending;
        }
        EXPECT_EQ(readAll(bytes), expected);
    }
}

TEST(LineReaderTest, DecodesByteOrderMarksAndWindows1252) {
    EXPECT_EQ(readAll("\xEF\xBB\xBF\"Site\",\"Length\"\r\n"), Lines{"\"Site\",\"Length\""});
    EXPECT_EQ(readAll("Oc\xE9\r\nOc\xC3\xA9\r\n\x80"), (Lines{"Océ", "Océ", "€"}));
    EXPECT_EQ(readAll(std::string("\xFF\xFE"
                                  "A\0\xE9\0\r\0\n\0B\0",
                                  12)),
              (Lines{"Aé", "B"}));
    EXPECT_EQ(readAll(std::string("\xFE\xFF\0A\0\r\0B", 8)), (Lines{"A", "B"}));
}

} // namespace
} // namespace tarnwick
