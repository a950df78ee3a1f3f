#pragma once
// The rule every window's unload handler shares.
#include "app/Session.h"

namespace tarnwick {

// Whether the main window is to be shown when a window unloads: only when the operator closed it,
// not when a navigation button did (the button set Navigating). The flag is cleared either way.
inline bool UnloadShowsMain(Session &session) {
    const bool closedByOperator = session.Navigating == 0;
    session.Navigating = 0;
    return closedByOperator;
}

} // namespace tarnwick
