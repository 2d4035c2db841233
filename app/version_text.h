#pragma once
// The text of the Version box, the same on every platform.

#include <string>

namespace tarnwick::app {

// Version and build date, the maker's notice and the home page, each line ended by CR LF.
std::string versionInfoText();

}  // namespace tarnwick::app
