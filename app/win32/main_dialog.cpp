#include "main_dialog.h"

#include <string>

#include "resource_ids.h"
#include "result_compose.h"
#include "version_box.h"

namespace tarnwick::win32 {
namespace {

// Kept for the life of the dialog; the dialog's own handle is cleared when it ends.
HWND mainDialog = nullptr;
HWND expressionBox = nullptr;
HWND textBox = nullptr;
HWND resultBox = nullptr;

// The whole text of a box, in the system's ANSI code page, whatever its length.
std::string readBox(HWND box) {
    const int length = GetWindowTextLengthA(box);
    std::string text(static_cast<std::size_t>(length) + 2, '\0');
    const int read = GetWindowTextA(box, text.data(), length + 2);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return text;
}

void evaluate() {
    const auto result = composeResult(readBox(expressionBox), readBox(textBox));
    if (result) SetWindowTextA(resultBox, result->c_str());
}

void initialise(HWND dialog) {
    mainDialog = dialog;
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    expressionBox = GetDlgItem(dialog, IDC_EXPRESSION);
    textBox = GetDlgItem(dialog, IDC_TEXT);
    resultBox = GetDlgItem(dialog, IDC_RESULT);
    // An edit control holds 30,000 characters unless told otherwise; a longer
    // paste would be cut and the Result would describe the cut text.
    for (HWND box : {expressionBox, textBox}) SendMessageA(box, EM_SETLIMITTEXT, 0, 0);
    SetFocus(expressionBox);
}

INT_PTR command(HWND dialog, WORD id, WORD notification) {
    switch (id) {
        case IDC_EXPRESSION:
        case IDC_TEXT:
            if (notification == EN_CHANGE) evaluate();
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            mainDialog = nullptr;
            return TRUE;
        case IDM_VERSION:
            showVersionInfo();
            return TRUE;
        default:
            return FALSE;  // IDOK too: Enter in Expression or Text does nothing
    }
}

}  // namespace

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(dialog);
            return FALSE;  // the focus stays where it was put
        case WM_COMMAND:
            return command(dialog, LOWORD(wParam), HIWORD(wParam));
        default:
            return FALSE;
    }
}

}  // namespace tarnwick::win32
