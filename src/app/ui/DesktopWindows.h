#pragma once
// The program's windows as the navigator makes them.
#include "app/ui/Navigator.h"

namespace tarnwick {

// Tells the navigator how to make every window that exists.
void DefineWindows(Navigator &navigator);

} // namespace tarnwick
