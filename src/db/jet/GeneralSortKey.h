#pragma once
// Text as Jet 4 sorts it in Access's General sort order, the form an index key holds after the
// column's flag byte. The bytes come in sections, each ended by 0x01: the characters' primary
// weights (letters of either case weigh the same, accented letters as their base letter), one
// accent mark per weighted character, an empty section, the small-kana flags of Japanese text,
// then the characters left out of the primary weights (the apostrophe, the hyphen, control
// characters), each with its place among the weighted ones. Trailing spaces are not part of the
// key, trailing unmarked accents and trailing empty sections are left out, and the key ends with 0x00.
#include <optional>
#include <string>

namespace tarnwick::jet {

// The sort bytes of `utf8`, or nothing when it holds a character whose weight no index shows: one
// beyond the Basic Multilingual Plane (a surrogate), a NUL, U+FEFF, U+FFFE or U+FFFF.
std::optional<std::string> GeneralSortKey(const std::string &utf8);

} // namespace tarnwick::jet
