#include "main_dialog.h"

#include <memory>
#include <optional>
#include <string>

#include "code_page.h"
#include "evaluator.h"
#include "resource_ids.h"
#include "version_box.h"

namespace tarnwick::win32 {
namespace {

// The evaluator's word that an outcome waits: the no-match hint, searched
// after the Result is on screen.
constexpr UINT outcomeArrived = WM_APP + 1;

// Kept for the life of the dialog; the dialog's own handle is cleared when it ends.
HWND mainDialog = nullptr;
HWND expressionBox = nullptr;
HWND textBox = nullptr;
HWND resultBox = nullptr;
HWND statusLine = nullptr;

// A box's whole text, read in UTF-16 whatever the system's code page (on a
// Western system or with the UTF-8 code page the ANSI text would have lost
// every Japanese character), as UTF-8 for the evaluator.
std::string readBox(HWND box) {
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(box, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
    return codepage::encodeUtf8(text.data(), text.size());
}

void writeBox(HWND box, const std::string& utf8) {
    const WideText text = codepage::decodeUtf8(utf8.data(), utf8.size());
    SetWindowTextW(box, text.c_str());
}

struct DialogBoxes : app::WindowBoxes {
    void showResult(const std::string& result, const app::ShownResult&) override { writeBox(resultBox, result); }
    void showStatus(const std::string& status) override { writeBox(statusLine, status); }
};

std::unique_ptr<app::Evaluator> evaluator;

// The Result follows each key at once, as the dialog always did; the hint
// arrives later by outcomeArrived.
void evaluate(bool expressionChanged) {
    std::optional<std::string> expression;
    std::optional<std::string> text;
    (expressionChanged ? expression : text) = readBox(expressionChanged ? expressionBox : textBox);
    evaluator->change(std::move(expression), std::move(text));
    DialogBoxes boxes;
    for (const app::EvaluatorOutcome& outcome : evaluator->waitAndTake(false)) app::showOutcome(boxes, outcome);
}

void showArrivedOutcomes() {
    DialogBoxes boxes;
    for (const app::EvaluatorOutcome& outcome : evaluator->take()) app::showOutcome(boxes, outcome);
}

// The status line, two lines of the dialog's font under the template's
// controls; the dialog grows by its height, and the template stays as it is.
void addStatusLine(HWND dialog) {
    RECT result{};
    GetWindowRect(resultBox, &result);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&result), 2);
    RECT gap{0, 0, 0, 3};  // dialog units, as the template spaces its controls
    MapDialogRect(dialog, &gap);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    const int height = 2 * metrics.tmHeight;
    const int top = result.bottom + gap.bottom;
    statusLine = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, result.left, top,
                                 result.right - result.left, height, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS)), GetModuleHandleW(nullptr),
                                 nullptr);
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
}

void initialise(HWND dialog) {
    mainDialog = dialog;
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    expressionBox = GetDlgItem(dialog, IDC_EXPRESSION);
    textBox = GetDlgItem(dialog, IDC_TEXT);
    resultBox = GetDlgItem(dialog, IDC_RESULT);
    // An edit control holds 30,000 characters unless told otherwise; a longer
    // paste would be cut and the Result would describe the cut text.
    for (HWND box : {expressionBox, textBox}) SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
    addStatusLine(dialog);
    evaluator = std::make_unique<app::Evaluator>([dialog] { PostMessageW(dialog, outcomeArrived, 0, 0); },
                                                 app::BoxLines::crLf);
    SetFocus(expressionBox);
}

INT_PTR command(HWND dialog, WORD id, WORD notification) {
    switch (id) {
        case IDC_EXPRESSION:
        case IDC_TEXT:
            if (notification == EN_CHANGE) evaluate(id == IDC_EXPRESSION);
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
        case outcomeArrived:
            if (evaluator) showArrivedOutcomes();
            return TRUE;
        case WM_DESTROY:
            evaluator.reset();  // its worker ends with the dialog
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tarnwick::win32
