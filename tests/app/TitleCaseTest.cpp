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
        {"abc.", "Abc."},
        {"abc ", "Abc"},
        {"a,", "A,"},
        {"\tfirst", "\tfirst"},
        {"élise du pré", "Élise Du Pré"},
        {"straße ß", "Straße ß"},
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
