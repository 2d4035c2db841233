// tarnwick.exe: the dialog that checks a regular expression while one types.

#include <windows.h>

#include "main_dialog.h"
#include "resource_ids.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A Unicode dialog: its boxes keep Japanese whatever the system's code page.
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, tarnwick::win32::mainDialogProc, 0);
    return 1;  // the program has always ended with status 1
}
