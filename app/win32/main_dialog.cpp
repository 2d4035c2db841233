#include "main_dialog.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "boxes_presenter.h"
#include "code_page.h"
#include "resource_ids.h"
#include "result_box.h"
#include "status_line.h"
#include "version_box.h"

namespace tarnwick::win32 {
namespace {

// The evaluator's word that outcomes wait, posted from its worker.
constexpr UINT outcomesArrived = WM_APP + 1;
// The submission runs on a timer: WM_TIMER comes after every key and paint
// already queued, so the keys of a burst are drawn first and become one state.
constexpr UINT_PTR submissionTimer = 1;
constexpr UINT_PTR evaluatingTimer = 2;

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

// The dialog as the road from the boxes to the screen sees it: its loop
// (timers and a posted message) and its boxes.
class Dialog final : public app::WindowLoop, public app::WindowBoxes {
public:
    explicit Dialog(HWND dialog)
        : dialog_(dialog),
          expressionBox_(GetDlgItem(dialog, IDC_EXPRESSION)),
          textBox_(GetDlgItem(dialog, IDC_TEXT)),
          resultBox_(GetDlgItem(dialog, IDC_RESULT)),
          statusLine_(createStatusLine(dialog, resultBox_, IDC_STATUS)) {
        // An edit control holds 30,000 characters unless told otherwise; a longer
        // paste would be cut and the Result would describe the cut text.
        for (HWND box : {expressionBox_, textBox_}) SendMessageW(box, EM_SETLIMITTEXT, 0, 0);
        attachResultBox(resultBox_);
        presenter_ = std::make_unique<app::BoxesPresenter>(*this, *this, app::BoxLines::crLf);
    }
    ~Dialog() override { presenter_.reset(); }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    app::BoxesPresenter& presenter() { return *presenter_; }
    HWND expressionBox() const { return expressionBox_; }

    void scheduleSubmission() override { SetTimer(dialog_, submissionTimer, USER_TIMER_MINIMUM, nullptr); }
    void wake() override { PostMessageW(dialog_, outcomesArrived, 0, 0); }
    void startTimer(int milliseconds) override {
        SetTimer(dialog_, evaluatingTimer, static_cast<UINT>(milliseconds), nullptr);
    }
    void stopTimer() override { KillTimer(dialog_, evaluatingTimer); }
    // A posted word still queued finds no dialog object (mainDialogProc checks).
    void disarm() override {
        KillTimer(dialog_, submissionTimer);
        KillTimer(dialog_, evaluatingTimer);
    }
    std::string expressionText() override { return readBox(expressionBox_); }
    std::string textText() override { return readBox(textBox_); }

    void showResult(const std::string& result, const app::ShownResult& shown) override {
        showResultBox(resultBox_, result, shown);
    }
    void showStatus(const std::string& status) override { showStatusLine(statusLine_, status); }

private:
    HWND dialog_;
    HWND expressionBox_;
    HWND textBox_;
    HWND resultBox_;
    HWND statusLine_;
    std::unique_ptr<app::BoxesPresenter> presenter_;  // last: its evaluator's worker posts to the dialog
};

// Kept for the life of the dialog.
std::unique_ptr<Dialog> dialogObject;

void initialise(HWND dialog) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    dialogObject = std::make_unique<Dialog>(dialog);
    SetFocus(dialogObject->expressionBox());
}

INT_PTR command(HWND dialog, WORD id, WORD notification) {
    switch (id) {
        case IDC_EXPRESSION:
            if (notification == EN_CHANGE) dialogObject->presenter().expressionChanged();
            return TRUE;
        case IDC_TEXT:
            if (notification == EN_CHANGE) dialogObject->presenter().textChanged();
            return TRUE;
        case IDC_RESULT:
            if (notification == EN_CHANGE) resultBoxChanged();
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDM_VERSION:
            showVersionInfo();
            return TRUE;
        default:
            return FALSE;  // IDOK too: Enter in Expression or Text does nothing
    }
}

INT_PTR timer(HWND dialog, UINT_PTR id) {
    if (id == submissionTimer) {
        KillTimer(dialog, submissionTimer);
        dialogObject->presenter().submit();
    } else if (id == evaluatingTimer) {
        KillTimer(dialog, evaluatingTimer);
        dialogObject->presenter().timerFired();
    }
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            initialise(dialog);
            return FALSE;  // the focus stays where it was put
        case WM_COMMAND:
            if (!dialogObject) return FALSE;
            return command(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            if (!dialogObject) return FALSE;
            return timer(dialog, static_cast<UINT_PTR>(wParam));
        case outcomesArrived:
            if (dialogObject) dialogObject->presenter().deliver();
            return TRUE;
        case WM_DESTROY:
            dialogObject.reset();  // its evaluator's worker ends with the dialog
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace tarnwick::win32
