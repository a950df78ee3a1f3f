#include "app/TitleCase.h"
#include "support/ScriptedPrompter.h"

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
        {"abc.", "Abc."},
        {"abc ", "Abc"},
        {"a,", "A,"},
        {"\tfirst", "\tfirst"},
        // The same rules where the text is not plain ASCII: each separator, runs of blanks, the
        // leading blanks, the ends, the tab, and characters outside the first plane.
        {"élise du pré", "Élise Du Pré"},
        {"straße ß", "Straße ß"},
        {"é", "É"},
        {"ñandú.éclair,über ölçer", "Ñandú.Éclair,Über Ölçer"},
        {"ÉCOLE  île", "ÉCOLE  Île"},
        {"  élan vital", "élan Vital"},
        {"ü.", "Ü."},
        {"ü,", "Ü,"},
        {"ü  ", "Ü"},
        {"\télan", "\télan"},
        {"à\té", "À\té"},
        {"\xF0\x90\x90\xA8 \xF0\x90\x90\xA8.\xF0\x90\x90\xA8", "\xF0\x90\x90\x80 \xF0\x90\x90\x80.\xF0\x90\x90\x80"},
        {"日本 é", "日本 É"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(TitleCased(in), out) << "input '" << in << "'";
}

TEST(TitleCaseTest, ReplacesCallersTextAndKeepsResult) {
    ScriptedPrompter prompter;
    NoProgress progress;
    FixedClock clock(2026, 12, 4, 9, 5);
    Session session(prompter, progress, clock);
    std::string text = "boat slip";
    TitleCase(session, text);
    EXPECT_EQ(text, "Boat Slip");
    EXPECT_EQ(session.TitleCaseResult, "Boat Slip");
}

} // namespace
} // namespace tarnwick
