#pragma once
// Numbers written most significant byte first, as index keys and entries hold them so that their
// bytes sort as the numbers do.
#include <cstdint>
#include <string>

namespace tarnwick::jet {

// The low `length` bytes of `value`, most significant first.
inline std::string BigEndianBytes(std::uint64_t value, std::size_t length) {
    std::string out;
    for (std::size_t i = length; i-- > 0;)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

} // namespace tarnwick::jet
