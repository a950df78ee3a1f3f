#pragma once
// The first page of a Jet database: its version and its database password. The region from 0x18
// is masked with a fixed RC4 stream; Jet 4 further masks the password with the creation date.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

enum class JetVersion { Jet3, Jet4, Ace, NotJet };

struct JetHeader {
    JetVersion version = JetVersion::NotJet;
    // The database password; empty when none is set. Not read for ACE files.
    std::string password;
    // The default code page and the text sort order (0x409 is General), from the unmasked header of
    // a Jet 3 or Jet 4 file; 0 for any other.
    std::uint16_t codePage = 0;
    std::uint32_t sortOrder = 0;
    // Whether the pages after the first are encrypted (Access's "Encode Database"): a Jet 4 file whose
    // unmasked header holds a page key.
    bool encrypted = false;
};

// The bytes of a Jet file's first page that hold its header.
constexpr std::size_t kHeaderSize = 0x98;

// Reads the header of `path`; version NotJet for any other file (or none).
JetHeader ReadJetHeader(const std::string &path);
// The header held by the first bytes of a file (up to kHeaderSize of them).
JetHeader ParseJetHeader(std::vector<std::uint8_t> page);
// Whether `typed` opens a database with this header: any password does when it has none.
bool PasswordAccepted(const JetHeader &header, const std::string &typed);

// The page-0 bytes that store `password` (Jet 3: up to 20 bytes; Jet 4: up to 20 UTF-16
// characters), written into a copy of the first page `page`. For tests and tools that set one.
void WriteJetPassword(std::vector<std::uint8_t> &page, const std::string &password);
// Writes the page key `key` into a copy of a Jet 4 file's first page `page`, as encrypting the file
// does (the pages themselves are left as they are). For tests.
void WriteJetPageKey(std::vector<std::uint8_t> &page, std::uint32_t key);

} // namespace tarnwick
