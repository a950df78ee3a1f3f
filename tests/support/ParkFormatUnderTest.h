#pragma once
// The engine the park-level tests run on: CTest runs them once on each, with TARNWICK_PARK_FORMAT
// set to "jet" for the Jet 4 round.
#include "db/ParkSchema.h"

#include <cstdlib>
#include <string>

namespace tarnwick {

inline ParkFormat ParkFormatUnderTest() {
    const char *format = std::getenv("TARNWICK_PARK_FORMAT");
    return format && std::string(format) == "jet" ? ParkFormat::Jet : ParkFormat::Sqlite;
}

// The init option that makes a park of that format.
inline std::string InitFormatOption() {
    return ParkFormatUnderTest() == ParkFormat::Jet ? " --format jet" : "";
}

} // namespace tarnwick
