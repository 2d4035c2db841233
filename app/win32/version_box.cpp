#include "version_box.h"

#include <windows.h>

#include "version_text.h"

namespace tarnwick::win32 {

void showVersionInfo() {
    const std::string text = app::versionInfoText();
    MessageBoxA(nullptr, text.c_str(), "", MB_ICONINFORMATION);
}

}  // namespace tarnwick::win32
