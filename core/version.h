#pragma once
// The program's version and build date, as the Version box and --version show them.

namespace tarnwick {

inline constexpr const char* versionNumber = "ver1.2";
inline constexpr const char* versionDate = "Jul 26 2020";

}  // namespace tarnwick
