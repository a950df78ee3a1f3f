#pragma once
// A marker beside Park.MDB while an import runs, so that an import cut short by a kill, a crash or a
// power cut is never silent: the next start names it, counts its rows and offers the backup taken
// before it. The running import holds a lock on its marker, which the kernel drops when the process
// ends however it ends: a marker whose lock is held belongs to an import still running.
#include "app/Session.h"

#include <optional>
#include <string>

namespace tarnwick {

struct ImportMarker {
    std::string table;  // Sites, Guest or OtherCharges
    std::string source; // the file imported
    std::string backup; // the backup taken before it, as an absolute path; empty when none was
    std::string time;   // when it started, "mm-dd-yyyy hh mm"
    long rowsBefore = 0;
};

// The marker of the import under way, locked from the moment it can be seen (written under a
// temporary name, locked, flushed, then renamed into place) until it is removed at the end of scope.
// An import goes on without one when the folder refuses it.
class RunningImport {
public:
    RunningImport(const Session &session, ImportMarker marker);
    ~RunningImport();
    RunningImport(const RunningImport &) = delete;
    RunningImport &operator=(const RunningImport &) = delete;

private:
    std::string path_;
    int fd_ = -1;
};

// The rows a park table holds now.
long TableRowCount(Session &session, const std::string &table);

// At start: when an import was interrupted, says which and how many of its rows are stored, and
// offers to put back the backup taken before it. The marker is removed once that is done, so that a
// restore cut short is offered again. A marker of an import that is still running is left alone.
void CheckInterruptedImport(Session &session);

} // namespace tarnwick
