#pragma once
// The lock file Access keeps beside an open database: "<name>.ldb" in the database's folder, an array
// of 64-byte records, one per user (32 bytes of computer name, 32 of security name), under byte-range
// locks; the last user to close it deletes it. A writer here holds an open-file-description lock on
// the whole of it for as long as the database is open, so that any other user holding a lock on it
// (a second writer here, in this process or another, or Access through a share that passes its
// byte-range locks on) makes it refuse; records that no lock keeps alive are stale and replaced.
#include <string>

namespace tarnwick::jet {

std::string LockFilePath(const std::string &databasePath);

// Whether a writer holds the lock file of `databasePath` now.
bool OpenForWritingElsewhere(const std::string &databasePath);
// Refuses `databasePath` as Jet refuses a database another program is writing to.
[[noreturn]] void ThrowInUse(const std::string &databasePath);

class WriterLock {
public:
    // Takes the lock and writes this computer's record; refuses in a sentence when a writer holds it.
    explicit WriterLock(const std::string &databasePath);
    // Deletes the lock file and lets the lock go.
    ~WriterLock();
    WriterLock(const WriterLock &) = delete;
    WriterLock &operator=(const WriterLock &) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace tarnwick::jet
