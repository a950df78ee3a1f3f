#pragma once
// `tarnwick --screenshots DIR`: every window rendered offscreen on a demo park, one PNG each.
#include <string>

namespace tarnwick {

// Writes DIR/<objectName>.png for every window; returns the exit status.
// Before the application is made: windows are drawn offscreen on a screen of 1366 x 768 pixels, a
// common laptop's (QT_SCALE_FACTOR magnifies them on it).
void UseScreenshotScreen();

int WriteScreenshots(const std::string &folder);

} // namespace tarnwick
