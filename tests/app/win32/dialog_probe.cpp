// dialog_probe.exe: reads the running Tarnwick dialog through the platform, for
// the end-to-end test, which types into it with xdotool.
//   acp                  the ANSI code page of this Wine session
//   wait                 waits until the dialog is up
//   read ID              the text of control ID, as the dialog holds it (raw bytes)
//   readw ID             the text of control ID read in UTF-16, written as UTF-8
//   typew ID HEX         types the UTF-8 bytes HEX into control ID as Unicode characters (WM_CHAR)
//   select-all ID        selects the whole text of control ID
//   paste ID HEX         replaces the selection of control ID with the bytes HEX, as a paste does
//   paste-file ID PATH   the same with the bytes of a file (longer than a command line takes)
//   length ID            the length of the text of control ID, in bytes
//   focus                the id of the control that has the keyboard focus
//   centre ID            the screen position of the middle of control ID
//   menu-centre          the screen position of the middle of the menu's only item
//   version-boxes        how many Version boxes are open, then the text of the newest
//   dismiss-version-boxes  presses OK on every open Version box
//   close                asks the dialog to close, as its close box does
//   responsive           the milliseconds the dialog's thread took to answer WM_NULL, or "hung" after 100 ms
//   clipboard            the clipboard's Unicode text, as UTF-8
//   tooltip ID           the tooltip text of control ID, as UTF-8
//   type-timed ID HEX GAP   for the benchmark: posts each character of HEX (UTF-8) to control ID as a
//                        key's WM_CHAR, GAP ms apart; prints the longest wait for the dialog's answer
//                        (WM_NULL) and the ms from the last key until the status line showed a new outcome

#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND findDialog() { return FindWindowA("#32770", "Tarnwick"); }

// WM_GETTEXT, since GetWindowTextA reads no control of another process.
std::string textOf(HWND window) {
    const auto length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto read = SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(read));
    return text;
}

HWND control(const char* id) { return GetDlgItem(findDialog(), std::atoi(id)); }

std::wstring textOfW(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto read = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(read));
    return text;
}

std::string utf8Of(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wideOf(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// The top-level windows of the dialog's process that are of this class.
std::vector<HWND> windowsOfDialogProcess(const std::string& wantedClass) {
    struct Search {
        DWORD process;
        std::string wantedClass;
        std::vector<HWND> found;
    } search{0, wantedClass, {}};
    GetWindowThreadProcessId(findDialog(), &search.process);
    EnumWindows(
        [](HWND window, LPARAM arg) -> BOOL {
            auto* s = reinterpret_cast<Search*>(arg);
            char className[32] = {};
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            GetClassNameA(window, className, sizeof className);
            if (process == s->process && s->wantedClass == className) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The message boxes of the dialog's process: untitled dialogs other than the main one.
std::vector<HWND> versionBoxes() {
    std::vector<HWND> boxes;
    for (HWND window : windowsOfDialogProcess("#32770")) {
        if (window != findDialog() && IsWindowVisible(window) && textOf(window).empty()) boxes.push_back(window);
    }
    return boxes;
}

// TTM_GETTEXTW writes into the caller's memory: here, memory of the dialog's process.
std::wstring tooltipOf(HWND control) {
    HWND dialog = findDialog();
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
    if (target == nullptr) return L"";
    constexpr std::size_t characters = 4096;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(target, nullptr, sizeof(TOOLINFOW) + characters * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    std::wstring text;
    for (HWND tip : windowsOfDialogProcess("tooltips_class32")) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
        WriteProcessMemory(target, remote, &tool, sizeof tool, nullptr);
        std::vector<wchar_t> buffer(characters, L'\0');
        WriteProcessMemory(target, remote + sizeof tool, buffer.data(), characters * sizeof(wchar_t), nullptr);
        SendMessageW(tip, TTM_GETTEXTW, characters, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(target, remote + sizeof tool, buffer.data(), characters * sizeof(wchar_t), nullptr);
        buffer.back() = L'\0';
        if (buffer[0] != L'\0') text = buffer.data();
    }
    VirtualFreeEx(target, remote, 0, MEM_RELEASE);
    CloseHandle(target);
    return text;
}

int usage() {
    std::fputs("usage: dialog_probe acp|wait|read ID|readw ID|typew ID HEX|select-all ID|paste ID HEX|paste-file ID PATH|length ID|focus|centre ID|menu-centre|version-boxes|dismiss-version-boxes|close|responsive|clipboard|tooltip ID\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the texts' CR LF exactly as they are
    if (argc < 2) return usage();
    const std::string verb = argv[1];
    if (verb == "acp") {
        std::printf("%u\n", GetACP());
    } else if (verb == "wait") {
        for (int i = 0; i < 300 && findDialog() == nullptr; ++i) Sleep(100);
        if (findDialog() == nullptr) return 1;
    } else if (verb == "read" && argc == 3) {
        const std::string text = textOf(control(argv[2]));
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (verb == "readw" && argc == 3) {
        const std::string text = utf8Of(textOfW(control(argv[2])));
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (verb == "typew" && argc == 4) {
        // As an input method commits them: one WM_CHAR a UTF-16 unit.
        HWND box = control(argv[2]);
        for (wchar_t unit : wideOf(fromHex(argv[3]))) SendMessageW(box, WM_CHAR, unit, 1);
    } else if (verb == "select-all" && argc == 3) {
        SendMessageA(control(argv[2]), EM_SETSEL, 0, -1);
    } else if (verb == "paste" && argc == 4) {
        SendMessageA(control(argv[2]), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fromHex(argv[3]).c_str()));
    } else if (verb == "paste-file" && argc == 4) {
        std::string bytes;
        if (std::FILE* file = std::fopen(argv[3], "rb")) {
            char buffer[1 << 16];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
            std::fclose(file);
        } else {
            return 1;
        }
        SendMessageA(control(argv[2]), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(bytes.c_str()));
    } else if (verb == "length" && argc == 3) {
        std::printf("%ld\n", static_cast<long>(SendMessageA(control(argv[2]), WM_GETTEXTLENGTH, 0, 0)));
    } else if (verb == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(findDialog(), nullptr), &info);
        std::printf("%d\n", info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0);
    } else if (verb == "centre" && argc == 3) {
        RECT r{};
        GetWindowRect(control(argv[2]), &r);
        std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else if (verb == "menu-centre") {
        // GetMenuItemRect sees no menu of another process; the bar lies just above the client area.
        POINT client{0, 0};
        ClientToScreen(findDialog(), &client);
        std::printf("%ld %ld\n", client.x + 15, client.y - GetSystemMetrics(SM_CYMENU) / 2);
    } else if (verb == "version-boxes") {
        const auto boxes = versionBoxes();
        std::printf("%zu\n", boxes.size());
        // The message text is the box's static control with id 0xFFFF.
        if (!boxes.empty()) std::fputs(textOf(GetDlgItem(boxes.back(), 0xFFFF)).c_str(), stdout);
    } else if (verb == "responsive") {
        DWORD_PTR answer = 0;
        const DWORD before = GetTickCount();
        if (SendMessageTimeoutW(findDialog(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &answer) == 0) {
            std::puts("hung");
        } else {
            std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - before));
        }
    } else if (verb == "clipboard") {
        std::wstring text;
        if (OpenClipboard(nullptr)) {
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                text = static_cast<const wchar_t*>(GlobalLock(data));
                GlobalUnlock(data);
            }
            CloseClipboard();
        }
        const std::string utf8 = utf8Of(text);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    } else if (verb == "tooltip" && argc == 3) {
        const std::string utf8 = utf8Of(tooltipOf(control(argv[2])));
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    } else if (verb == "type-timed" && argc == 5) {
        HWND box = control(argv[2]);
        HWND status = control("1030");
        const DWORD gap = static_cast<DWORD>(std::atoi(argv[4]));
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        auto now = [&] {
            LARGE_INTEGER t{};
            QueryPerformanceCounter(&t);
            return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
        };
        double longest = 0;
        std::wstring before;
        double lastKey = 0;
        for (wchar_t unit : wideOf(fromHex(argv[3]))) {
            before = textOfW(status);
            lastKey = now();
            PostMessageW(box, WM_CHAR, unit, 1);
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(findDialog(), WM_NULL, 0, 0, SMTO_NORMAL, 600000, &answer);
            if (now() - lastKey > longest) longest = now() - lastKey;
            Sleep(gap);
        }
        double look = 0;
        for (;;) {
            const std::wstring seen = textOfW(status);
            if (seen != before && seen.rfind(L"Evaluating", 0) != 0) {
                look = now() - lastKey;
                break;
            }
            Sleep(2);
        }
        std::printf("%.1f %.1f\n", longest, look);
    } else if (verb == "close") {
        PostMessageA(findDialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (verb == "dismiss-version-boxes") {
        for (HWND box : versionBoxes()) PostMessageA(box, WM_COMMAND, IDOK, 0);
    } else {
        return usage();
    }
    return 0;
}
