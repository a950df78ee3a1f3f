#pragma once
// Jet 4 text: UTF-16LE, or its compressed form, which starts with FF FE and then alternates runs of
// one-byte characters (Unicode's first 256) with runs of UTF-16LE, a 0x00 byte marking each switch.
#include "db/jet/ByteView.h"

#include <string>

namespace tarnwick::jet {

// The stored bytes of a text value as UTF-8.
std::string DecodeJetText(ByteView stored);

// A name in a table definition: UTF-16LE without compression.
std::string DecodeUtf16(ByteView stored);

// The UTF-16 units of UTF-8 text, as Jet stores and counts them; a malformed sequence becomes U+FFFD.
std::u16string Utf16Units(const std::string &utf8);

} // namespace tarnwick::jet
