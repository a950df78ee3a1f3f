#pragma once
// `tarnwick --screenshots DIR`: every window rendered offscreen on a demo park, one PNG each.
#include <string>

namespace tarnwick {

// Writes DIR/<objectName>.png for every window; returns the exit status.
int WriteScreenshots(const std::string &folder);

} // namespace tarnwick
