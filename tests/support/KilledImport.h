#pragma once
// The marker that an import killed mid-way leaves: a child process starts the import's marker and
// ends at once, without any clean-up, as a kill ends it.
#include "import/InterruptedImport.h"

#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick {

inline void LeaveKilledImportMarker(const Session &session, const ImportMarker &marker) {
    const pid_t child = fork();
    if (child == 0) {
        new RunningImport(session, marker); // never destroyed: the process ends as if killed
        _exit(0);
    }
    waitpid(child, nullptr, 0);
}

} // namespace tarnwick
