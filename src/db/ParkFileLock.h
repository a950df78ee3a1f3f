#pragma once
// Holding a park database against every other writer while the file is copied or replaced, and
// copying it as its readers see it, for either engine.
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

class ParkFileLock {
public:
    // Throws DbError ("another program is writing to ...") while another program writes to the
    // park. A file no engine can lock as a database (a damaged park) is not held: nobody writes to
    // it either.
    explicit ParkFileLock(const std::string &park);
    ~ParkFileLock();
    ParkFileLock(const ParkFileLock &) = delete;
    ParkFileLock &operator=(const ParkFileLock &) = delete;

private:
    struct Held;
    std::unique_ptr<Held> held_;
};

// Writes into `target` a consistent copy of the park as its readers see it now (an SQLite park's
// log included, a Jet park's interrupted change put back first); false when no engine can read it
// as a database, and the caller copies it byte for byte.
bool CopyAsDatabase(const std::string &park, const std::string &target);

// Puts back, under the park's lock, what a Jet park's writer left half done. When the journal
// beside the park is another file's, sets it aside and returns its new name (see jet/Journal.h).
// Does nothing for an SQLite park, whose engine keeps its own log, or while another program writes
// to the park; a park that cannot be put back is left for its opening to report.
std::optional<std::string> RecoverParkJournal(const std::string &park);

} // namespace tarnwick
