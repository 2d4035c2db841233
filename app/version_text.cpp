#include "version_text.h"

#include "version.h"

namespace tarnwick::app {

std::string versionInfoText() {
    const std::string lineEnd = "\r\n";
    return std::string(versionNumber) + " (" + versionDate + ")" + lineEnd +
           "Copyright (C) 2020 the Tarnwick authors" + lineEnd +
           "Home page: the README.md of the Tarnwick repository" + lineEnd;
}

}  // namespace tarnwick::app
