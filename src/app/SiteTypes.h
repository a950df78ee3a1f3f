#pragma once
// The park's ten site-type names: the ten boxes of the main window, kept in ParkInfo.
#include "app/Session.h"

#include <array>
#include <string>

namespace tarnwick {

// Box texts, index 1 to 10; index 0 unused.
using SiteTypeBoxes = std::array<std::string, 11>;

// Puts every ParkInfo name that is set and not "None" into its box; other boxes stay as they are.
// Database errors are passed over.
void LoadSiteTypes(Session &session, SiteTypeBoxes &boxes);

// Rebuilds SiteTypeNames and SiteTypeCount from the boxes as a save does, without writing: a box
// with more than blanks counts and gives its slot its name; other slots keep their old name.
void RebuildSiteTypeNames(Session &session, const SiteTypeBoxes &boxes);

// Writes all ten boxes to ParkInfo ("None" for a box of blanks) and rebuilds SiteTypeNames and
// SiteTypeCount. A value the column refuses is not stored; the rest goes on.
void SaveSiteTypes(Session &session, const SiteTypeBoxes &boxes);

} // namespace tarnwick
