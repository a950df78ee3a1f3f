// The Jet header on any bytes: the version, the unmasked password, and the password check with
// the input's tail as the typed password.
#include "db/access/JetHeader.h"

#include <cstdint>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::size_t header = std::min(size, kHeaderSize);
    const JetHeader parsed = ParseJetHeader(std::vector<std::uint8_t>(data, data + header));
    const std::string typed(reinterpret_cast<const char *>(data) + header, size - header);
    const bool accepted = PasswordAccepted(parsed, typed);
    // Whatever the header, its own password opens it.
    if (!PasswordAccepted(parsed, parsed.password) || (parsed.password.empty() && !accepted))
        __builtin_trap();
    return 0;
}
