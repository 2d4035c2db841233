#include "status_line.h"

#include <commctrl.h>

#include "code_page.h"

namespace tarnwick::win32 {
namespace {

constexpr int shownLines = 2;

HWND tooltip = nullptr;

int lineHeight(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

bool fits(HDC dc, const std::wstring& text, int width) {
    RECT box{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    return box.bottom <= shownLines * lineHeight(dc);
}

// The longest beginning of the sentence that fits with "…" after it.
std::wstring fitted(HWND statusLine, const std::wstring& sentence) {
    RECT client{};
    GetClientRect(statusLine, &client);
    HDC dc = GetDC(statusLine);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(statusLine, WM_GETFONT, 0, 0)));
    std::wstring shown = sentence;
    if (!fits(dc, sentence, client.right)) {
        std::size_t low = 0;
        std::size_t high = sentence.size();
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (fits(dc, sentence.substr(0, middle) + L"…", client.right)) low = middle;
            else high = middle - 1;
        }
        shown = sentence.substr(0, low) + L"…";
    }
    SelectObject(dc, old);
    ReleaseDC(statusLine, dc);
    return shown;
}

void addTooltip(HWND dialog, HWND statusLine) {
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(statusLine);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT client{};
    GetClientRect(statusLine, &client);
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, client.right);  // several lines, as wide as the status line
}

}  // namespace

HWND createStatusLine(HWND dialog, HWND below, int id) {
    RECT above{};
    GetWindowRect(below, &above);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&above), 2);
    RECT gap{0, 0, 0, 3};  // dialog units, as the template spaces its controls
    MapDialogRect(dialog, &gap);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, font);
    const int height = shownLines * lineHeight(dc);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    const int top = above.bottom + gap.bottom;
    // SS_NOTIFY: a static takes no mouse messages without it, and the tooltip needs them.
    HWND statusLine = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                      above.left, top, above.right - above.left, height, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(statusLine, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    RECT client{};
    GetClientRect(dialog, &client);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    const int grow = top + height + gap.bottom - client.bottom;
    if (grow > 0) {
        SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + grow,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    addTooltip(dialog, statusLine);
    return statusLine;
}

void showStatusLine(HWND statusLine, const std::string& sentence) {
    const std::wstring whole = codepage::decodeUtf8(sentence.data(), sentence.size());
    SetWindowTextW(statusLine, fitted(statusLine, whole).c_str());
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(statusLine);
    tool.uId = reinterpret_cast<UINT_PTR>(statusLine);
    tool.lpszText = const_cast<wchar_t*>(whole.c_str());
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace tarnwick::win32
