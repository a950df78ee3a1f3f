#pragma once
// The desktop program's windows on a park folder, offscreen, for the window benchmarks: the
// session with the benchmark's prompter, the real Progress window and the navigator.
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"

namespace tarnwick {

struct DesktopHarness {
    DesktopHarness(Prompter &prompter, const char *folder) : session(prompter, progress, clock) {
        session.AppFolder = session.DbFolder = folder;
        CreateRVCon(session);
        DefineWindows(navigator);
    }

    Progress progress;
    SystemClock clock;
    Session session;
    Navigator navigator{session};
};

} // namespace tarnwick
