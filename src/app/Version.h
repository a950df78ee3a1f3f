#pragma once
// The build's version (the project's version in CMakeLists.txt).

namespace tarnwick {

inline constexpr const char *kVersion = TARNWICK_VERSION;

} // namespace tarnwick
