#include "db/access/JetHeader.h"

#include "base/LineReader.h"
#include "base/TextUtil.h"

#include <cmath>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kPasswordAt = 0x42;
constexpr std::size_t kCreationDateAt = 0x72;
constexpr std::size_t kCodePageAt = 0x3C;
constexpr std::size_t kPageKeyAt = 0x3E;
constexpr std::size_t kJet3SortOrderAt = 0x3A;
constexpr std::size_t kJet4SortOrderAt = 0x6E;

// The fixed RC4 stream (key 0x6b39dac7) that masks the header from 0x18.
std::vector<std::uint8_t> headerMask(std::size_t length) {
    const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::vector<std::uint8_t> stream(length);
    for (std::size_t n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        stream[n] = s[(s[i] + s[j]) & 0xFF];
    }
    return stream;
}

// A file cut short within its header (it ends before the masked region does) is none of them.
JetVersion versionOf(const std::vector<std::uint8_t> &page) {
    if (page.size() < kHeaderSize || page[0] != 0 || page[1] != 1 || page[2] != 0 || page[3] != 0)
        return JetVersion::NotJet;
    if (std::memcmp(&page[4], "Standard Jet DB", 15) == 0)
        return page[0x14] == 0 ? JetVersion::Jet3 : JetVersion::Jet4;
    if (std::memcmp(&page[4], "Standard ACE DB", 15) == 0)
        return JetVersion::Ace;
    return JetVersion::NotJet;
}

// Unmasks (or masks: the operation is its own inverse) the header region in place.
void toggleMask(std::vector<std::uint8_t> &page, JetVersion version) {
    std::size_t length = version == JetVersion::Jet3 ? 126 : 128;
    std::vector<std::uint8_t> stream = headerMask(length);
    for (std::size_t i = 0; i < length; ++i)
        page[kMaskStart + i] ^= stream[i];
}

// Jet 4's password mask: the whole days of the creation date, as four little-endian bytes. A
// damaged date (not a number, or past 32 bits) still gives a mask: its days taken modulo 2^32.
std::uint8_t dateMask(const std::vector<std::uint8_t> &plainPage, std::size_t i) {
    double created;
    std::memcpy(&created, &plainPage[kCreationDateAt], 8);
    const double whole = std::isfinite(created) ? std::fmod(std::trunc(created), 4294967296.0) : 0;
    const auto days = static_cast<std::int64_t>(whole);
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(days) >> (8 * (i % 4)));
}

} // namespace

JetHeader ReadJetHeader(const std::string &path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {};
    std::vector<std::uint8_t> page(kHeaderSize);
    page.resize(std::fread(page.data(), 1, page.size(), file.get()));
    return ParseJetHeader(std::move(page));
}

bool PasswordAccepted(const JetHeader &header, const std::string &typed) {
    // Case-sensitive, as Jet compares it.
    return header.password.empty() || header.password == typed;
}

JetHeader ParseJetHeader(std::vector<std::uint8_t> page) {
    JetHeader header;
    header.version = versionOf(page);
    if (header.version != JetVersion::Jet3 && header.version != JetVersion::Jet4)
        return header;
    toggleMask(page, header.version);
    header.codePage = static_cast<std::uint16_t>(page[kCodePageAt] | page[kCodePageAt + 1] << 8);
    if (header.version == JetVersion::Jet3) {
        header.sortOrder = page[kJet3SortOrderAt] | page[kJet3SortOrderAt + 1] << 8;
        for (std::size_t i = 0; i < 20 && page[kPasswordAt + i]; ++i)
            header.password += static_cast<char>(page[kPasswordAt + i]);
        header.password = DecodeLine(header.password);
    } else {
        header.encrypted = page[kPageKeyAt] | page[kPageKeyAt + 1] | page[kPageKeyAt + 2] | page[kPageKeyAt + 3];
        header.sortOrder = static_cast<std::uint32_t>(page[kJet4SortOrderAt]) | page[kJet4SortOrderAt + 1] << 8 |
                           page[kJet4SortOrderAt + 2] << 16 |
                           static_cast<std::uint32_t>(page[kJet4SortOrderAt + 3]) << 24;
        char32_t high = 0;
        for (std::size_t i = 0; i < 40; i += 2) {
            std::uint32_t unit = (page[kPasswordAt + i] ^ dateMask(page, i)) |
                                 ((page[kPasswordAt + i + 1] ^ dateMask(page, i + 1)) << 8);
            if (!unit)
                break;
            AppendUtf16Unit(header.password, unit, high);
        }
    }
    return header;
}

void WriteJetPassword(std::vector<std::uint8_t> &page, const std::string &password) {
    JetVersion version = versionOf(page);
    if (version != JetVersion::Jet3 && version != JetVersion::Jet4)
        return;
    toggleMask(page, version);
    if (version == JetVersion::Jet3) {
        for (std::size_t i = 0; i < 20; ++i)
            page[kPasswordAt + i] = i < password.size() ? static_cast<std::uint8_t>(password[i]) : 0;
    } else {
        std::u16string units;
        for (unsigned char c : password) // ASCII passwords, as tools set them
            units += static_cast<char16_t>(c);
        for (std::size_t i = 0; i < 40; i += 2) {
            char16_t unit = i / 2 < units.size() ? units[i / 2] : 0;
            page[kPasswordAt + i] = static_cast<std::uint8_t>(unit & 0xFF) ^ dateMask(page, i);
            page[kPasswordAt + i + 1] = static_cast<std::uint8_t>(unit >> 8) ^ dateMask(page, i + 1);
        }
    }
    toggleMask(page, version);
}

void WriteJetPageKey(std::vector<std::uint8_t> &page, std::uint32_t key) {
    if (versionOf(page) != JetVersion::Jet4)
        return;
    toggleMask(page, JetVersion::Jet4);
    for (std::size_t i = 0; i < 4; ++i)
        page[kPageKeyAt + i] = static_cast<std::uint8_t>(key >> (8 * i));
    toggleMask(page, JetVersion::Jet4);
}

} // namespace tarnwick
