#include "result_box.h"

#include <commctrl.h>

#include "code_page.h"

namespace tarnwick::win32 {
namespace {

constexpr UINT_PTR subclassId = 1;
constexpr UINT copyResultCommand = 1;

struct Shown {
    std::string result;  // the whole Result, UTF-8
    app::ShownResult view;
    bool writing = false;  // the program is writing the box
    bool edited = false;   // the user has typed into it since
} shown;

void putOnClipboard(HWND owner, const std::string& utf8) {
    const std::wstring text = codepage::decodeUtf8(utf8.data(), utf8.size());
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return;
    void* target = GlobalLock(memory);
    CopyMemory(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    CloseClipboard();
}

// The selection, in characters of the shown text (code page 932 has no character beyond UTF-16's first plane).
GroupSpan selection(HWND box) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void showContextMenu(HWND box, LPARAM at) {
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == static_cast<LPARAM>(-1)) {  // from the keyboard: at the box
        RECT r{};
        GetWindowRect(box, &r);
        point = {r.left + 8, r.top + 8};
    }
    const GroupSpan selected = selection(box);
    HMENU menu = CreatePopupMenu();
    const UINT ifSelected = selected.start != selected.end ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | (SendMessageW(box, EM_CANUNDO, 0, 0) ? MF_ENABLED : MF_GRAYED), WM_UNDO, L"&Undo");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | ifSelected, WM_CUT, L"Cu&t");
    AppendMenuW(menu, MF_STRING | ifSelected, WM_COPY, L"&Copy");
    AppendMenuW(menu, MF_STRING | (IsClipboardFormatAvailable(CF_UNICODETEXT) ? MF_ENABLED : MF_GRAYED), WM_PASTE, L"&Paste");
    AppendMenuW(menu, MF_STRING | ifSelected, WM_CLEAR, L"&Delete");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, EM_SETSEL, L"Select &All");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, WM_APP + copyResultCommand, L"Copy &Result");
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, point.x, point.y, 0, box, nullptr));
    DestroyMenu(menu);
    if (chosen == 0) return;
    if (chosen == WM_APP + copyResultCommand) {
        if (shown.edited) {
            const int length = GetWindowTextLengthW(box);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), length + 1)));
            putOnClipboard(box, codepage::encodeUtf8(text.data(), text.size()));
        } else {
            putOnClipboard(box, shown.result);
        }
    } else if (chosen == EM_SETSEL) {
        SendMessageW(box, EM_SETSEL, 0, -1);
    } else {
        SendMessageW(box, chosen, 0, 0);
    }
}

LRESULT CALLBACK resultBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_COPY:
            if (shown.edited) break;  // the box's own copy: its text is the user's now
            putOnClipboard(box, app::resultText(shown.view, shown.result, selection(box)));
            return 0;
        case WM_KEYDOWN:
            // The control copies Ctrl+C and Ctrl+Insert itself, without WM_COPY.
            if (GetKeyState(VK_CONTROL) < 0 && (wParam == 'C' || wParam == VK_INSERT)) {
                SendMessageW(box, WM_COPY, 0, 0);
                return 0;
            }
            if (GetKeyState(VK_CONTROL) < 0 && wParam == 'A') {
                SendMessageW(box, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == 1 || wParam == 3) return 0;  // Ctrl+A and Ctrl+C, handled as keys above
            break;
        case WM_CONTEXTMENU:
            showContextMenu(box, lParam);
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(box, resultBoxProc, subclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void attachResultBox(HWND box) { SetWindowSubclass(box, resultBoxProc, subclassId, 0); }

void showResultBox(HWND box, const std::string& result, const app::ShownResult& view) {
    shown.result = result;
    shown.view = view;
    shown.writing = true;
    const std::wstring text = codepage::decodeUtf8(view.text.data(), view.text.size());
    SetWindowTextW(box, text.c_str());
    shown.writing = false;
    shown.edited = false;
}

void resultBoxChanged() {
    if (!shown.writing) shown.edited = true;
}

}  // namespace tarnwick::win32
