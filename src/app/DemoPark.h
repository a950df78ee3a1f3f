#pragma once
// A small demo park, for showing the windows: three site types, twelve sites, four guests, and a
// sites source file with a refused and a long line.
#include "app/Session.h"

namespace tarnwick {

// Fills the park of `session` (new and empty) and writes sites.csv into its folder.
void FillDemoPark(Session &session);

} // namespace tarnwick
