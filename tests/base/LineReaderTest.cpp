#include "base/LineReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Lines = std::vector<std::string>;

Lines readAll(const std::string &bytes) {
    TempDir dir;
    dir.write("f.txt", bytes);
    LineReader reader(FileHandle(std::fopen(dir.file("f.txt").c_str(), "rb")));
    Lines lines;
    while (auto line = reader.next())
        lines.push_back(*line);
    return lines;
}

// Line ends of every kind, also where one falls on the boundary of the 64 KiB read buffer, and the
// encodings a source may come in.
TEST(LineReaderTest, LineEndsAndEncodings) {
    const std::string full(65535, 'x');
    const std::pair<std::string, Lines> cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"", {}},
        {full + "\r\nnext", {full, "next"}},
        {full + "\rnext", {full, "next"}},
        {full + "\n\r\n" + full + "\r", {full, "", full}},
        {"\xEF\xBB\xBF\"Site\",\"Length\"\r\n", {"\"Site\",\"Length\""}},
        {"Oc\xE9\r\nOc\xC3\xA9\r\n\x80", {"Océ", "Océ", "€"}},
        {std::string("\xFF\xFE\x41\0\xE9\0\r\0\n\0\x42\0", 12), {"Aé", "B"}},
        {std::string("\xFE\xFF\0A\0\r\0B", 8), {"A", "B"}},
    };
    for (const auto &[bytes, lines] : cases)
        EXPECT_EQ(readAll(bytes), lines) << bytes.substr(0, 40);
}

} // namespace
} // namespace tarnwick
