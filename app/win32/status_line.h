#pragma once
// The dialog's status line: two lines of the dialog's font under the
// template's controls. A sentence longer than that ends in "…", and the whole
// of it is the line's tooltip.

#include <windows.h>

#include <string>

namespace tarnwick::win32 {

// Makes the line under `below` and grows the dialog by its height.
HWND createStatusLine(HWND dialog, HWND below, int id);

// Shows the sentence (UTF-8), cut to the line's two lines, whole in the tooltip.
void showStatusLine(HWND statusLine, const std::string& sentence);

}  // namespace tarnwick::win32
