#include "base/TextUtil.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace tarnwick {
namespace {

// Windows-1252 bytes 0x80-0x9F; the five unassigned ones map to the C1 controls as Windows does.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the leading run of ASCII bytes, looked at eight at a time.
std::size_t asciiPrefix(std::string_view s) {
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

} // namespace

void AppendUtf8(std::string &out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16Unit(std::string &out, char32_t unit, char32_t &pendingHigh) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (pendingHigh)
            AppendUtf8(out, 0xFFFD);
        pendingHigh = unit;
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(out, pendingHigh ? 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD);
        pendingHigh = 0;
        return;
    }
    if (pendingHigh)
        AppendUtf8(out, 0xFFFD);
    pendingHigh = 0;
    AppendUtf8(out, unit);
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = asciiPrefix(s);
    for (std::size_t i = n; i < s.size(); ++i)
        n += (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
    return n;
}

std::string Utf8Left(std::string_view s, std::size_t count) {
    std::size_t i = 0, chars = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == count)
                break;
            ++chars;
        }
        ++i;
    }
    return std::string(s.substr(0, i));
}

std::size_t Utf16Length(std::string_view s) {
    std::size_t units = 0;
    for (char c : s) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) != 0x80;
        units += byte >= 0xF0; // beyond U+FFFF: a surrogate pair
    }
    return units;
}

std::string Utf16Left(std::string_view s, std::size_t units) {
    std::size_t i = 0, taken = 0;
    for (; i < s.size(); ++i) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t width = byte >= 0xF0 ? 2 : 1;
        if (taken + width > units)
            break;
        taken += width;
    }
    return std::string(s.substr(0, i));
}

std::string TrimBlanks(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

namespace {

// Changes case in place when the text is plain ASCII, else through ICU's full case mapping
// (so "ß" upper-cases to "SS").
std::string changeCase(std::string s, bool upper) {
    const char from = upper ? 'a' : 'A';
    const int shift = upper ? -32 : 32;
    std::size_t i = 0;
    for (; i < s.size() && static_cast<unsigned char>(s[i]) < 0x80; ++i)
        if (s[i] >= from && s[i] <= from + 25)
            s[i] = static_cast<char>(s[i] + shift);
    if (i == s.size())
        return s;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
    upper ? text.toUpper(icu::Locale::getRoot()) : text.toLower(icu::Locale::getRoot());
    std::string out;
    text.toUTF8String(out);
    return out;
}

} // namespace

std::string ComposedText(std::string s) {
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return s;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return s;
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
    const icu::UnicodeString composed = nfc->normalize(text, status);
    if (U_FAILURE(status))
        return s;
    std::string out;
    composed.toUTF8String(out);
    return out;
}

std::string UpperCase(std::string s) {
    return changeCase(std::move(s), true);
}
std::string LowerCase(std::string s) {
    return changeCase(std::move(s), false);
}

bool IsValidUtf8(std::string_view s) {
    std::size_t i = asciiPrefix(s);
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string DecodeLine(std::string bytes) {
    if (IsValidUtf8(bytes))
        return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (unsigned char c : bytes) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0xA0)
            AppendUtf8(out, kCp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string CountOf(long count, const std::string &one, const std::string &many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace tarnwick
