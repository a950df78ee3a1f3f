#pragma once
// What the desktop knows the program by: its name, version, icon and desktop file.

namespace tarnwick {

// Names the application, gives every window the package's icon, and names the desktop file
// (tarnwick.desktop), so that a desktop matches the windows to the menu entry.
void SetDesktopIdentity();

} // namespace tarnwick
