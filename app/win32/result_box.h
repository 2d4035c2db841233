#pragma once
// The dialog's Result box: long lines shown cut with a marker (result_view.h),
// so that the edit control lays a mebibyte Result out at once, while copying
// gives the exact Result: Ctrl+C or Copy with a selection (a marker selected
// at all gives every character it stands for), Ctrl+A then Ctrl+C, and the
// context menu's "Copy Result". After the user types into the box, its text
// is the user's, and copying is the control's own again.

#include <windows.h>

#include <string>

#include "result_view.h"

namespace tarnwick::win32 {

// Takes over the box's copy, Ctrl+A and context menu.
void attachResultBox(HWND box);

// Shows the Result (UTF-8, CR LF line ends) as `shown` says.
void showResultBox(HWND box, const std::string& result, const app::ShownResult& shown);

// The box's notification of a change: the user's typing, unless the program is writing it.
void resultBoxChanged();

}  // namespace tarnwick::win32
