#include "app/TitleCase.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(TitleCaseTest, RaisesAfterFullStopBlankAndCommaAndNeverLowers) {
    const std::pair<std::string, std::string> cases[] = {
        {"smith, john a.b", "Smith, John A.B"},
        {"o'brien-jones", "O'brien-jones"},
        {"MACDONALD  road", "MACDONALD  Road"},
        {"  main street", "main Street"},
        {"", ""},
        {"a", "A"},
        {"abc ", "Abc"},
        {"a,", "A,"},
        {"\tfirst", "\tfirst"},
        // The same rules where the text is not plain ASCII: each separator, runs of blanks, the
        // leading blanks, the ends, the tab, and characters outside the first plane.
        {"élise du pré", "Élise Du Pré"},
        {"é", "É"},
        {"ñandú.éclair,über ölçer", "Ñandú.Éclair,Über Ölçer"},
        {"  élan vital", "élan Vital"},
        {"ü.", "Ü."},
        {"ü  ", "Ü"},
        {"à\té", "À\té"},
        {"\xF0\x90\x90\xA8 \xF0\x90\x90\xA8.\xF0\x90\x90\xA8", "\xF0\x90\x90\x80 \xF0\x90\x90\x80.\xF0\x90\x90\x80"},
        {"日本 é", "日本 É"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(TitleCased(in), out) << "input '" << in << "'";
}

} // namespace
} // namespace tarnwick
