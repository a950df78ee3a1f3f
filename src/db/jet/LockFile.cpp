#include "db/jet/LockFile.h"

#include "db/DbError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwick::jet {
namespace {

constexpr std::size_t kRecordSize = 64;
constexpr std::size_t kNameSize = 32;
constexpr const char *kSecurityName = "Admin"; // the account Jet uses without user-level security

struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however long the file grows
    return lock;
}

} // namespace

void ThrowInUse(const std::string &databasePath) {
    throw DbError(dberr::StorageFailure, "Could not use '" + databasePath + "'; file already in use.");
}

std::string LockFilePath(const std::string &databasePath) {
    const std::size_t slash = databasePath.rfind('/');
    const std::size_t dot = databasePath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? databasePath.substr(0, dot) : databasePath) + ".ldb";
}

bool OpenForWritingElsewhere(const std::string &databasePath) {
    const int fd = ::open(LockFilePath(databasePath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

WriterLock::WriterLock(const std::string &databasePath) : path_(LockFilePath(databasePath)) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw DbError(dberr::StorageFailure,
                      "Cannot create the lock file '" + path_ + "': " + std::strerror(errno) + ".");
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
        ::close(fd_);
        ThrowInUse(databasePath);
    }
    // No writer is left to own the records a lock file already holds: they are stale.
    if (::ftruncate(fd_, 0) != 0) {
        ::close(fd_);
        throw DbError(dberr::StorageFailure,
                      "Cannot write the lock file '" + path_ + "': " + std::strerror(errno) + ".");
    }
    char record[kRecordSize] = {};
    char computer[256] = {};
    ::gethostname(computer, sizeof computer - 1);
    // Each name fills at most 31 bytes of its 32, so that it ends with a NUL.
    std::memcpy(record, computer, std::min(std::strlen(computer), kNameSize - 1));
    std::memcpy(record + kNameSize, kSecurityName, std::strlen(kSecurityName));
    if (::pwrite(fd_, record, kRecordSize, 0) != static_cast<ssize_t>(kRecordSize)) {
        const std::string why = std::strerror(errno);
        // Held by no one else, the file goes as the last user's would (a full disk keeps nothing).
        ::unlink(path_.c_str());
        ::close(fd_);
        throw DbError(dberr::StorageFailure, "Cannot write the lock file '" + path_ + "': " + why + ".");
    }
}

WriterLock::~WriterLock() {
    // The lock is still held, so no other user has a record in the file.
    ::unlink(path_.c_str());
    ::close(fd_);
}

} // namespace tarnwick::jet
