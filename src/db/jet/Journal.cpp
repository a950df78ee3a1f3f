#include "db/jet/Journal.h"

#include "base/NewFile.h"
#include "db/jet/LockFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace tarnwick::jet {
namespace {

// The journal: a header (the magic bytes, the page count before the commit, the number of pages
// saved), each saved page (its number, a hash of the image the commit gives it, the image it had),
// then a checksum of all that came before. The hashes tie the journal to its file: after a commit
// cut short, each saved page of the file holds either its old image or its new one, and a file
// where one holds anything else is another file. The last page the file had is always saved, so
// that even a commit that only appends pages is tied to its file before the file is cut back.
constexpr char kMagic[8] = {'T', 'W', 'J', 'E', 'T', 'J', 'N', '2'};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntrySize = 4 + 8 + kPageSize;
constexpr std::size_t kImageAt = 12;

void putLittleEndian(std::vector<std::uint8_t> &out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t value) {
    putLittleEndian(out, value, 4);
}

std::uint64_t getLittleEndian(const std::vector<std::uint8_t> &in, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | in[at + static_cast<std::size_t>(i)];
    return value;
}

std::uint32_t get32(const std::vector<std::uint8_t> &in, std::size_t at) {
    return static_cast<std::uint32_t>(getLittleEndian(in, at, 4));
}

// FNV-1a over the journal's bytes, `hash` being that of the bytes before them: a journal whose
// writing was cut short does not match it.
constexpr std::uint64_t kChecksumStart = 14695981039346656037ull;
std::uint64_t checksum(const std::uint8_t *bytes, std::size_t size, std::uint64_t hash = kChecksumStart) {
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

std::uint64_t pageHash(const Page &page) {
    return checksum(page.data(), kPageSize);
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
    return getLittleEndian(bytes, body, 8) == checksum(bytes.data(), body);
}

// Whether each page a complete journal saved holds, in the file, its old image or its new one.
bool belongsTo(const std::vector<std::uint8_t> &bytes, const PageFile &file) {
    for (std::size_t at = kHeaderSize; at + kEntrySize <= bytes.size() - 8; at += kEntrySize) {
        const std::uint32_t number = get32(bytes, at);
        if (number >= file.pageCount())
            return false;
        const std::uint64_t now = pageHash(file.read(number, "journal"));
        if (now != getLittleEndian(bytes, at + 4, 8) && now != checksum(bytes.data() + at + kImageAt, kPageSize))
            return false;
    }
    return true;
}

// Puts the saved pages of the whole journal `bytes` back into `file` and cuts the file to the length
// it had, synced.
void putBack(const std::vector<std::uint8_t> &bytes, PageFile &file) {
    for (std::size_t at = kHeaderSize; at + kEntrySize <= bytes.size() - 8; at += kEntrySize) {
        Page page;
        std::memcpy(page.data(), bytes.data() + at + kImageAt, kPageSize);
        file.write(get32(bytes, at), page);
    }
    if (file.pageCount() > get32(bytes, 8))
        file.truncate(get32(bytes, 8));
    file.sync();
}

// Writes the journal's bytes (see the layout above) to `fd` and syncs them.
void writeJournalPages(const PageFile &file, const std::map<std::uint32_t, Page> &changes, int fd,
                       const std::string &path) {
    std::map<std::uint32_t, const Page *> saved;
    for (const auto &[number, page] : changes)
        if (number < file.pageCount())
            saved.emplace(number, &page);
    const Page lastPage = file.pageCount() > 0 ? file.read(file.pageCount() - 1, "journal") : Page();
    if (file.pageCount() > 0)
        saved.emplace(file.pageCount() - 1, &lastPage); // unchanged unless the commit changes it
    // Written a megabyte at a time, so that a large change is never copied whole into memory.
    constexpr std::size_t kChunk = 1 << 20;
    std::uint64_t sum = kChecksumStart;
    std::vector<std::uint8_t> bytes(kMagic, kMagic + sizeof kMagic);
    const auto flush = [&] {
        sum = checksum(bytes.data(), bytes.size(), sum);
        writeAll(fd, bytes, path);
        bytes.clear();
    };
    put32(bytes, file.pageCount());
    put32(bytes, static_cast<std::uint32_t>(saved.size()));
    for (const auto &[number, incoming] : saved) {
        const Page original = file.read(number, "journal");
        put32(bytes, number);
        putLittleEndian(bytes, pageHash(*incoming), 8);
        bytes.insert(bytes.end(), original.data(), original.data() + kPageSize);
        if (bytes.size() >= kChunk)
            flush();
    }
    flush();
    putLittleEndian(bytes, sum, 8);
    writeAll(fd, bytes, path);
    if (::fsync(fd) != 0)
        failed("sync the journal", path);
}

} // namespace

std::string JournalPath(const std::string &databasePath) {
    return databasePath + "-journal";
}

void WriteJournal(const PageFile &file, const std::map<std::uint32_t, Page> &changes) {
    const std::string path = JournalPath(file.path());
    // A journal already there holds a commit that failed and could not be taken back: writing over
    // it would lose what puts the file back.
    const Descriptor journal{::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (journal.fd < 0 && errno == EEXIST)
        throw DbError(dberr::StorageFailure, "A change to '" + file.path() +
                                                 "' that failed waits in its journal to be taken back; nothing "
                                                 "more is written to it until it is opened again.");
    if (journal.fd < 0)
        failed("create the journal", path);
    try {
        writeJournalPages(file, changes, journal.fd, path);
    } catch (...) {
        // The file is untouched yet: a journal cut short only takes room (on a full disk, all of it).
        ::unlink(path.c_str());
        throw;
    }
    syncFolderOf(path);
}

void RemoveJournal(const std::string &databasePath) {
    const std::string path = JournalPath(databasePath);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        failed("remove the journal", path);
    syncFolderOf(path);
}

std::optional<std::string> RecoverFromJournal(const std::string &databasePath) {
    const std::string path = JournalPath(databasePath);
    std::vector<std::uint8_t> bytes;
    if (!readJournal(path, bytes))
        return std::nullopt;
    if (complete(bytes)) {
        PageFile file(databasePath, true);
        if (!belongsTo(bytes, file)) {
            const std::filesystem::path journal(path);
            try {
                const std::string aside = NameWithoutReplacing(path, journal.parent_path().string(),
                                                               journal.filename().string() + " (another file's)", "");
                syncFolderOf(aside);
                return aside;
            } catch (const std::system_error &error) {
                throw DbError(dberr::StorageFailure, "Cannot set aside the journal '" + path +
                                                         "' of another file: " + error.code().message() + ".");
            }
        }
        putBack(bytes, file);
    }
    RemoveJournal(databasePath);
    return std::nullopt;
}

std::optional<std::string> RecoverAsReader(const std::string &databasePath) {
    if (!std::filesystem::exists(JournalPath(databasePath)))
        return std::nullopt;
    if (OpenForWritingElsewhere(databasePath))
        ThrowInUse(databasePath);
    const WriterLock lock(databasePath);
    return RecoverFromJournal(databasePath);
}

void TakeBackCommit(PageFile &file) {
    std::vector<std::uint8_t> bytes;
    if (!readJournal(JournalPath(file.path()), bytes))
        return;
    if (complete(bytes))
        putBack(bytes, file);
    RemoveJournal(file.path());
}

} // namespace tarnwick::jet
