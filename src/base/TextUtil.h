#pragma once
// Text helpers over UTF-8 strings: lengths and cuts count characters, case is Unicode-aware.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

std::size_t Utf8Length(std::string_view s);
// The first `count` characters.
std::string Utf8Left(std::string_view s, std::size_t count);
// The length in UTF-16 units, as Access and the old run time count a text (a character beyond
// U+FFFF, such as most emoji, counts two).
std::size_t Utf16Length(std::string_view s);
// The first characters that fill at most `units` UTF-16 units; a character is never cut in half.
std::string Utf16Left(std::string_view s, std::size_t units);
// Leading and trailing blanks (spaces only, not tabs) removed, as the old run time's Trim did.
std::string TrimBlanks(std::string_view s);
std::string UpperCase(std::string s);
std::string LowerCase(std::string s);

// Appends one code point as UTF-8.
void AppendUtf8(std::string &out, char32_t codePoint);
// Appends one UTF-16 unit: a high surrogate waits in `pendingHigh` for its low half; a lone half
// becomes U+FFFD.
void AppendUtf16Unit(std::string &out, char32_t unit, char32_t &pendingHigh);

// The same text in Unicode's composed form (NFC), so that "é" as one character and as "e" with an
// accent compare equal.
std::string ComposedText(std::string s);

bool IsValidUtf8(std::string_view s);
// Bytes of one line of a source file as UTF-8: kept when already valid UTF-8, else read as
// Windows-1252.
std::string DecodeLine(std::string bytes);

// A count with its noun in the number it takes: "1 row", "2 rows".
std::string CountOf(long count, const std::string &one, const std::string &many);

} // namespace tarnwick
