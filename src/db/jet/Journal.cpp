#include "db/jet/Journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tarnwick::jet {
namespace {

// The journal: a header (the magic bytes, the page count before the commit, the number of pages
// saved), each saved page (its number, its image), then a checksum of all that came before.
constexpr char kMagic[8] = {'T', 'W', 'J', 'E', 'T', 'J', 'N', '1'};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntrySize = 4 + kPageSize;

void put32(std::vector<std::uint8_t> &out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t get32(const std::vector<std::uint8_t> &in, std::size_t at) {
    return static_cast<std::uint32_t>(in[at]) | in[at + 1] << 8 | in[at + 2] << 16 |
           static_cast<std::uint32_t>(in[at + 3]) << 24;
}

// FNV-1a over the journal's bytes, `hash` being that of the bytes before them: a journal whose
// writing was cut short does not match it.
constexpr std::uint64_t kChecksumStart = 14695981039346656037ull;
std::uint64_t checksum(const std::uint8_t *bytes, std::size_t size, std::uint64_t hash = kChecksumStart) {
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

[[noreturn]] void failed(const std::string &what, const std::string &path) {
    throw DbError(dberr::StorageFailure, "Cannot " + what + " '" + path + "': " + std::strerror(errno) + ".");
}

// An owned descriptor, closed when it goes.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

void syncFolderOf(const std::string &path) {
    const std::string folder = std::filesystem::absolute(path).parent_path().string();
    const Descriptor dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0 || ::fsync(dir.fd) != 0)
        failed("sync the folder of", path);
}

void writeAll(int fd, const std::vector<std::uint8_t> &bytes, const std::string &path) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            failed("write the journal", path);
        done += static_cast<std::size_t>(put);
    }
}

// The journal's bytes, or nothing when there is no journal.
bool readJournal(const std::string &path, std::vector<std::uint8_t> &bytes) {
    const Descriptor journal{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (journal.fd < 0) {
        if (errno == ENOENT)
            return false;
        failed("read the journal", path);
    }
    std::uint8_t buffer[65536];
    for (ssize_t got; (got = ::read(journal.fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failed("read the journal", path);
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return true;
}

// Whether `bytes` are a whole journal: its header, as many pages as it says, and a matching checksum.
bool complete(const std::vector<std::uint8_t> &bytes) {
    if (bytes.size() < kHeaderSize + 8 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    const std::size_t body = bytes.size() - 8;
    if (body != kHeaderSize + std::size_t{get32(bytes, 12)} * kEntrySize)
        return false;
    std::uint64_t stored = 0;
    for (int i = 7; i >= 0; --i)
        stored = stored << 8 | bytes[body + static_cast<std::size_t>(i)];
    return stored == checksum(bytes.data(), body);
}

} // namespace

std::string JournalPath(const std::string &databasePath) {
    return databasePath + "-journal";
}

void WriteJournal(const PageFile &file, const std::vector<std::uint32_t> &numbers) {
    const std::string path = JournalPath(file.path());
    const Descriptor journal{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
    if (journal.fd < 0)
        failed("create the journal", path);
    // Written a megabyte at a time, so that a large change is never copied whole into memory.
    constexpr std::size_t kChunk = 1 << 20;
    std::uint64_t sum = kChecksumStart;
    std::vector<std::uint8_t> bytes(kMagic, kMagic + sizeof kMagic);
    const auto flush = [&] {
        sum = checksum(bytes.data(), bytes.size(), sum);
        writeAll(journal.fd, bytes, path);
        bytes.clear();
    };
    put32(bytes, file.pageCount());
    put32(bytes, static_cast<std::uint32_t>(numbers.size()));
    for (std::uint32_t number : numbers) {
        const Page original = file.read(number, "journal");
        put32(bytes, number);
        bytes.insert(bytes.end(), original.data(), original.data() + kPageSize);
        if (bytes.size() >= kChunk)
            flush();
    }
    flush();
    for (int i = 0; i < 8; ++i)
        bytes.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    writeAll(journal.fd, bytes, path);
    if (::fsync(journal.fd) != 0)
        failed("sync the journal", path);
    syncFolderOf(path);
}

void RemoveJournal(const std::string &databasePath) {
    const std::string path = JournalPath(databasePath);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        failed("remove the journal", path);
    syncFolderOf(path);
}

void RecoverFromJournal(const std::string &databasePath) {
    std::vector<std::uint8_t> bytes;
    if (!readJournal(JournalPath(databasePath), bytes))
        return;
    if (complete(bytes)) {
        PageFile file(databasePath, true);
        for (std::size_t at = kHeaderSize; at + kEntrySize <= bytes.size() - 8; at += kEntrySize) {
            Page page;
            std::memcpy(page.data(), bytes.data() + at + 4, kPageSize);
            file.write(get32(bytes, at), page);
        }
        file.truncate(get32(bytes, 8));
        file.sync();
    }
    RemoveJournal(databasePath);
}

} // namespace tarnwick::jet
