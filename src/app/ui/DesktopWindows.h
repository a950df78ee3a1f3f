#pragma once
// The program's windows as the navigator makes them.
#include "app/ui/Navigator.h"

#include <memory>
#include <string>

namespace tarnwick {

// Tells the navigator how to make every window that exists.
void DefineWindows(Navigator &navigator);

// The desktop start-up after path.txt and the park connection: the main window shown with its
// site types and the focus on "Enter Sites Manually ==>", a word on an interrupted import if there
// was one, then the offer of the initial backup.
QWidget *ShowMainWindow(Navigator &navigator);

// The whole desktop start-up for a program in `programFolder`: path.txt kept beside it for a plain
// copy, else in `configFolder` (RunsInstalled); the installed program asks for its park when
// path.txt names none; then the park's help file and the main window. Throws EndProgram where the
// run ends. The navigator returned owns the windows.
std::unique_ptr<Navigator> StartDesktop(Session &session, const std::string &programFolder,
                                        const std::string &configFolder);

} // namespace tarnwick
