// Eyes and hands inside the Wine desktop (one window to X); windows go by title or
// "class:NAME"; texts print as UTF-8 with CR, LF, \ as \r, \n, \\.
//   wait-window|gone-window TITLE [MS]   "x y w h alpha thread-flags in-front" of a visible
//                                        one (in-front 1 when it is the foreground) | none
//   count-windows|close-window TITLE     how many, shown or hidden | WM_CLOSE to one
//   end-session TITLE                    what a log-off sends one: may it end, then it ends
//   colours-changed                      what Windows tells every window when dark mode changes
//   clipboard                            the clipboard's text
//   shown-text TITLE                     what a visible one answers to WM_GETTEXT (a tip: its text)
//   child-texts|list-items TITLE         "class|id|checked|x y w h|text" | "image|selected|text"
//   layout TITLE                         "x y w h v n": its client area on the screen; v 1 when
//                                        its list view has a vertical scroll bar, n rows in view
//   press TITLE ROUNDS ID...             button clicks by command, ROUNDS times (0: until gone);
//                                        -ID clicks that box as a user does
//   witness TITLE                        a window at (20, 100), 360 x 600: "WM_RBUTTONUP x y"...
//   stay                                 keeps the desktop up until it is ended
//   hold-hotkey MODS VK                  holds that shortcut, says "held", lets go at a line in

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// EnumWindows walks a snapshot: a FindWindowEx walk ends early when the window
// it stands on goes away meanwhile, and misses every window after it.
HWND Find(const wchar_t* title, bool visibleOnly, int* count = nullptr) {
    struct Search {
        const wchar_t* title;
        bool visibleOnly;
        HWND found = nullptr;
        int count = 0;
    } search{title, visibleOnly};
    ::EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            const bool byClass = !std::wcsncmp(s.title, L"class:", 6);
            wchar_t text[256] = {};
            if (byClass) {
                ::GetClassNameW(w, text, 256);
            } else {
                ::GetWindowTextW(w, text, 256);
            }
            if (std::wcscmp(text, byClass ? s.title + 6 : s.title) != 0) return TRUE;
            if (s.visibleOnly && !::IsWindowVisible(w)) return TRUE;
            if (!s.found) s.found = w;
            ++s.count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (count) *count = search.count;
    return search.found;
}

void PrintText(const wchar_t* text) {  // as UTF-8, then the line's end
    char bytes[4096] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes - 1, nullptr, nullptr);
    for (const char* c = bytes; *c; ++c) {
        std::printf(*c == '\r' ? "\\r" : *c == '\n' ? "\\n" : *c == '\\' ? "\\\\" : "%c", *c);
    }
    std::printf("\n");
}

int Wait(const wchar_t* title, DWORD ms, bool present) {
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::Sleep(30)) {
        const HWND window = Find(title, true);
        RECT r{};
        BYTE alpha = 255;  // unless it is a layered window
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        if (present && window && ::GetWindowRect(window, &r)) {
            ::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &thread);
            std::printf("%ld %ld %ld %ld %d %lu %d\n", r.left, r.top, r.right - r.left,
                        r.bottom - r.top, alpha, thread.flags, ::GetForegroundWindow() == window);
            return 0;
        }
        if (!present && !window) return 0;
        if (::GetTickCount64() >= end) return 1;
    }
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    wchar_t cls[64] = {}, text[2048] = {};
    ::GetClassNameW(child, cls, 64);
    ::GetWindowTextW(child, text, 2048);
    RECT r{};
    ::GetWindowRect(child, &r);
    const bool checked = !std::wcscmp(cls, L"Button") && ::SendMessageW(child, BM_GETCHECK, 0, 0);
    std::printf("%ls|%d|%d|%ld %ld %ld %ld|", cls, ::GetDlgCtrlID(child), checked, r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    PrintText(text);
    return TRUE;
}

// The items live in the program's memory: the record and the text go there and back.
int ListItems(HWND window) {
    const HWND list = ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!list || !process) return 1;
    auto* remote =
        static_cast<LVITEMW*>(::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    for (int i = 0; i < ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++i) {
        LVITEMW item{};
        wchar_t text[1024] = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
        item.iItem = i;
        item.stateMask = LVIS_SELECTED;
        item.pszText = reinterpret_cast<LPWSTR>(remote + 1);
        item.cchTextMax = 1000;
        ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote, &item, sizeof item, nullptr);
        ::ReadProcessMemory(process, remote + 1, text, 2000, nullptr);
        std::printf("%d|%d|", item.iImage, item.state & LVIS_SELECTED ? 1 : 0);
        PrintText(text);
    }
    return 0;
}

int Layout(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const HWND list = ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    std::printf("%ld %ld %ld %ld %d %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) ? 1 : 0,
                static_cast<int>(::SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)));
    return list ? 0 : 1;
}

// Sent, not posted: each click is handled before the next; it fails once the program is gone.
int Press(HWND window, int rounds, wchar_t** ids, int count) {
    for (int i = 0; rounds == 0 || i < rounds * count; ++i, ::Sleep(5)) {
        // A negative id is a box clicked as the user does: its tick changes.
        const int id = std::wcstol(ids[i % count], nullptr, 10);
        if (id < 0)
            ::SendMessageW(::GetDlgItem(window, -id), BM_CLICK, 0, 0);
        else
            ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
        if (!::IsWindow(window)) return rounds == 0 ? 0 : 1;
    }
    return 0;
}

// Prints each mouse button message at once. No CS_DBLCLKS: a second click is a plain down.
LRESULT CALLBACK WitnessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT k = message - WM_LBUTTONDOWN;  // L down, up, double, R ..., M ...
    if (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP && k % 3 < 2) {
        std::printf("WM_%cBUTTON%s %d %d\n", "LRM"[k / 3], k % 3 ? "UP" : "DOWN",
                    static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        std::fflush(stdout);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int Witness(const wchar_t* title) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = WitnessProc;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = L"JumpnestWitness";
    ::RegisterClassW(&cls);
    if (!::CreateWindowExW(0, cls.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 100,
                           360, 600, nullptr, nullptr, nullptr, nullptr)) {
        return 1;
    }
    for (MSG message; ::GetMessageW(&message, nullptr, 0, 0) > 0;) ::DispatchMessageW(&message);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::SetProcessDPIAware();  // real pixels at any display scale, as xdotool and the program see
    if (argc == 2 && std::wstring(argv[1]) == L"stay") {
        // A user of the desktop until it is ended: Wine closes a desktop that
        // nobody uses a second after its last user is gone, and starts it anew
        // for the next. The Win32 tests, one process each, would wait for that.
        ::GetDesktopWindow();
        ::Sleep(INFINITE);
    }
    const std::wstring command = argc > 2 ? argv[1] : L"";
    const DWORD number = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 5000;
    if (command == L"wait-window" || command == L"gone-window") {
        return Wait(argv[2], number, command == L"wait-window");
    }
    if (command == L"witness") return Witness(argv[2]);
    if (command == L"hold-hotkey") {
        if (!::RegisterHotKey(nullptr, 1, std::wcstoul(argv[2], nullptr, 10), number)) return 1;
        std::printf("held\n");
        std::fflush(stdout);
        std::getchar();
        return ::UnregisterHotKey(nullptr, 1) ? 0 : 1;
    }
    if (argc > 1 && std::wstring(argv[1]) == L"clipboard") {
        if (!::OpenClipboard(nullptr)) return 1;
        const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        const auto* text = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
        if (text) {
            PrintText(text);
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return text ? 0 : 1;
    }
    if (argc > 1 && std::wstring(argv[1]) == L"colours-changed") {
        return ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                                     reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                                     SMTO_ABORTIFHUNG, 5000, nullptr)
                   ? 0
                   : 1;
    }
    if (command == L"shown-text") {
        const HWND shown = Find(argv[2], true);
        wchar_t text[2048] = {};
        if (!shown ||
            !::SendMessageTimeoutW(shown, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text),
                                   SMTO_ABORTIFHUNG, 5000, nullptr)) {
            return 1;
        }
        return PrintText(text), 0;
    }
    int count = 0;
    const HWND window = argc > 2 ? Find(argv[2], false, &count) : nullptr;
    if (command == L"count-windows") return std::printf("%d\n", count), 0;
    if (!window) return std::fprintf(stderr, "usage: wintool COMMAND TITLE ...\n"), 2;
    if (command == L"close-window") return ::PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"end-session") {
        DWORD_PTR may = 0;  // what went wrong is said: a time-out differs from a refusal
        if (!::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, 0, 5000, &may))
            std::printf("WM_QUERYENDSESSION unanswered: error %lu\n", ::GetLastError());
        return ::SendMessageTimeoutW(window, WM_ENDSESSION, may, ENDSESSION_LOGOFF, 0, 5000,
                                     nullptr) &&
                       may
                   ? 0
                   : 1;
    }
    if (command == L"child-texts") return ::EnumChildWindows(window, PrintChild, 0), 0;
    if (command == L"list-items") return ListItems(window);
    if (command == L"layout") return Layout(window);
    if (command == L"press" && argc > 4) return Press(window, number, argv + 4, argc - 4);
    return 2;
}
