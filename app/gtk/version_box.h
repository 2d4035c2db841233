#pragma once

namespace tarnwick::gtk {

// Opens the Version box, owned by no window, and returns at once: the main
// window stays usable and every call opens a further box.
void showVersionInfo();

}  // namespace tarnwick::gtk
