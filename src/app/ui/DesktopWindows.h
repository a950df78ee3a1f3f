#pragma once
// The program's windows as the navigator makes them.
#include "app/ui/Navigator.h"

namespace tarnwick {

// Tells the navigator how to make every window that exists.
void DefineWindows(Navigator &navigator);

// The desktop start-up after path.txt and the park connection: the main window shown with its
// site types and the focus on "Enter Sites Manually ==>", a word on an interrupted import if there
// was one, then the offer of the initial backup.
QWidget *ShowMainWindow(Navigator &navigator);

} // namespace tarnwick
