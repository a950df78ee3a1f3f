#include "db/jet/JetText.h"

#include "base/TextUtil.h"

namespace tarnwick::jet {

std::string DecodeUtf16(ByteView stored) {
    std::string text;
    char32_t pendingHigh = 0;
    for (std::size_t at = 0; at + 1 < stored.size(); at += 2)
        AppendUtf16Unit(text, stored.u16(at), pendingHigh);
    if (pendingHigh)
        AppendUtf8(text, 0xFFFD); // a lone high surrogate at the end
    return text;
}

std::string DecodeJetText(ByteView stored) {
    if (stored.size() < 2 || stored.u8(0) != 0xFF || stored.u8(1) != 0xFE)
        return DecodeUtf16(stored);
    std::string text;
    char32_t pendingHigh = 0;
    bool compressed = true;
    std::size_t at = 2;
    while (at < stored.size()) {
        // A string holding a character whose low byte is 0 is never compressed, so a 0x00 where a
        // character would start can only be a switch.
        if (stored.u8(at) == 0) {
            compressed = !compressed;
            ++at;
        } else if (compressed) {
            AppendUtf16Unit(text, stored.u8(at++), pendingHigh);
        } else if (at + 1 < stored.size()) {
            AppendUtf16Unit(text, stored.u16(at), pendingHigh);
            at += 2;
        } else {
            break; // an odd byte left over ends the text
        }
    }
    if (pendingHigh)
        AppendUtf8(text, 0xFFFD); // a lone high surrogate at the end
    return text;
}

std::u16string Utf16Units(const std::string &utf8) {
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        char32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF) {
            units += u'\uFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
    }
    return units;
}

} // namespace tarnwick::jet
