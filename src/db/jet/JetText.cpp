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

} // namespace tarnwick::jet
