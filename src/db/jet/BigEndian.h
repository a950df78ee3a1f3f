#pragma once
// Numbers written most significant byte first, as index keys and entries hold them so that their
// bytes sort as the numbers do.
#include <cstdint>
#include <string>

namespace tarnwick::jet {

// Appends the low `length` bytes of `value` to `out`, most significant first.
inline void AppendBigEndian(std::string &out, std::uint64_t value, std::size_t length) {
    for (std::size_t i = length; i-- > 0;)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// The low `length` bytes of `value`, most significant first.
inline std::string BigEndianBytes(std::uint64_t value, std::size_t length) {
    std::string out;
    AppendBigEndian(out, value, length);
    return out;
}

} // namespace tarnwick::jet
