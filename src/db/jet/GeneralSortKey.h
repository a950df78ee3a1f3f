#pragma once
// Text as Jet 4 sorts it in Access's General sort order, the form an index key holds after the
// column's flag byte. The bytes come in sections, each ended by 0x01: one primary weight per
// character (letters of either case weigh the same, accented letters weigh as their base letter),
// one accent mark per weighted character, two sections that stay empty for the characters handled
// here, then the characters left out of the primary weights (the apostrophe, the hyphen, the soft
// hyphen and control characters), each with its place among the weighted ones. Trailing unmarked
// accents and trailing empty sections are left out, and the key ends with 0x00.
#include <optional>
#include <string>

namespace tarnwick::jet {

// The sort bytes of `utf8`, or nothing when no key Access wrote shows how it sorts: text with a
// character beyond U+00FF or a NUL, empty text, text of left-out characters only, and a left-out
// character after one that weighs as two letters (Æ, æ, Þ, þ, ß), whose place is not known.
std::optional<std::string> GeneralSortKey(const std::string &utf8);

} // namespace tarnwick::jet
