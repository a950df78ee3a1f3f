#include "app/TitleCase.h"

#include "base/TextUtil.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace tarnwick {
namespace {

void raiseAt(icu::UnicodeString &text, int32_t codePointIndex) {
    int32_t offset = text.moveIndex32(0, codePointIndex);
    if (offset >= text.length())
        return;
    UChar32 c = text.char32At(offset);
    UChar32 upper = u_toupper(c);
    if (upper != c)
        text.replace(offset, U16_LENGTH(c), upper);
}

// The same rule on plain ASCII, without the conversions Unicode needs.
std::string titleCasedAscii(std::string text) {
    auto raise = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t n = first == std::string::npos ? 0 : text.find_last_not_of(' ') - first + 1;
    if (!text.empty())
        text[0] = raise(text[0]);
    if (first == std::string::npos)
        return {};
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
    for (std::size_t i = 0; i < n && i + 1 < text.size(); ++i)
        if (text[i] == '.' || text[i] == ' ' || text[i] == ',')
            text[i + 1] = raise(text[i + 1]);
    return text;
}

} // namespace

std::string TitleCased(std::string input) {
    bool ascii = true;
    for (unsigned char c : input)
        ascii = ascii && c < 0x80;
    if (ascii)
        return titleCasedAscii(std::move(input));
    // The positions walked are counted on the trimmed original, as the old routine counted them.
    const int32_t n = static_cast<int32_t>(Utf8Length(TrimBlanks(input)));
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(input);
    if (text.length() > 0)
        raiseAt(text, 0);
    std::string raised;
    text.toUTF8String(raised);
    text = icu::UnicodeString::fromUTF8(TrimBlanks(raised));

    for (int32_t i = 0; i < n; ++i) {
        int32_t offset = text.moveIndex32(0, i);
        if (offset >= text.length())
            break;
        UChar32 c = text.char32At(offset);
        if (c == '.' || c == ' ' || c == ',')
            raiseAt(text, i + 1);
    }
    std::string out;
    text.toUTF8String(out);
    return out;
}

void TitleCase(Session &session, std::string &text) {
    text = TitleCased(text);
    session.TitleCaseResult = text;
}

} // namespace tarnwick
