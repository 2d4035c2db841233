#pragma once
// The main dialog's procedure: three boxes, evaluated on every change of the
// Expression or Text box, the Version command, and Escape or close to end.

#include <windows.h>

namespace tarnwick::win32 {

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tarnwick::win32
