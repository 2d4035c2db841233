#pragma once

namespace tarnwick::win32 {

// Shows the Version box, owned by no window, and returns when it is closed;
// the main dialog stays usable meanwhile.
void showVersionInfo();

}  // namespace tarnwick::win32
