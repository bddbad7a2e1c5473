// A small Windows helper for the end-to-end tests: it answers questions about
// the windows on the Wine desktop that X cannot see inside the virtual
// desktop.
//
//   wintool wait-window TITLE [TIMEOUT_MS]
//       waits for a visible top-level window with this exact title; prints
//       "x y width height" of it and exits 0, or exits 1 after the timeout.
//   wintool gone-window TITLE [TIMEOUT_MS]
//       waits until no visible top-level window has this title; exit 0 or 1.
//   wintool count-windows TITLE
//       prints how many top-level windows (shown or hidden) bear this title.
//   wintool child-texts TITLE
//       one line per child window of that window:
//       "class|id|visible|checked|x y width height|text" (screen rectangle),
//       with CR and LF in a text shown as \r and \n.
//   wintool list-items TITLE
//       one line per item of its list view: "image|text".
//   wintool press TITLE PAUSE_MS ID...
//       clicks the window's buttons with these ids, one after the other and
//       over again, by sending the button's click command (the window may be
//       hidden), with a pause after each; exits 0 once the window is gone.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    const wchar_t* title;
    bool visibleOnly;
    HWND found;
    int count;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    if (std::wcscmp(text, search->title) == 0) {
        if (!search->found) search->found = window;
        ++search->count;
    }
    return TRUE;
}

Search Find(const wchar_t* title, bool visibleOnly) {
    Search search{title, visibleOnly, nullptr, 0};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search;
}

int WaitFor(const wchar_t* title, DWORD timeout, bool present) {
    const ULONGLONG end = ::GetTickCount64() + timeout;
    for (;;) {
        const Search search = Find(title, true);
        if (present && search.found) {
            RECT r{};
            ::GetWindowRect(search.found, &r);
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            return 0;
        }
        if (!present && !search.found) return 0;
        if (::GetTickCount64() >= end) return 1;
        ::Sleep(50);
    }
}

std::string Utf8(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) {
        if (c == L'\r') {
            result += "\\r";
        } else if (c == L'\n') {
            result += "\\n";
        } else {
            char bytes[8];
            const int n = ::WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, 8, nullptr, nullptr);
            result.append(bytes, n > 0 ? n : 0);
        }
    }
    return result;
}

std::wstring TextOf(HWND window) {
    std::wstring text(::GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(::GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

HWND TopLevel(const wchar_t* title) {
    Search search = Find(title, false);
    if (!search.found) std::fprintf(stderr, "no window titled so\n");
    return search.found;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    wchar_t className[64] = {};
    ::GetClassNameW(child, className, 64);
    const LRESULT checked = ::SendMessageW(child, BM_GETCHECK, 0, 0);
    RECT r{};
    ::GetWindowRect(child, &r);
    std::printf("%s|%d|%d|%d|%ld %ld %ld %ld|%s\n", Utf8(className).c_str(), ::GetDlgCtrlID(child),
                ::IsWindowVisible(child) ? 1 : 0,
                std::wcscmp(className, L"Button") == 0 && checked == BST_CHECKED ? 1 : 0, r.left,
                r.top, r.right - r.left, r.bottom - r.top, Utf8(TextOf(child)).c_str());
    return TRUE;
}

int ChildTexts(const wchar_t* title) {
    HWND window = TopLevel(title);
    if (!window) return 1;
    ::EnumChildWindows(window, PrintChild, 0);
    return 0;
}

// List view items live in the other process: the item record and its text
// buffer are placed in that process's memory and read back.
int ListItems(const wchar_t* title) {
    HWND window = TopLevel(title);
    HWND list = window ? ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (!list) return 1;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return 1;
    constexpr int kTextChars = 512;
    auto* remote = static_cast<BYTE*>(
        ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t),
                         MEM_COMMIT, PAGE_READWRITE));
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
        item.cchTextMax = kTextChars;
        ::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
        ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
        wchar_t text[kTextChars] = {};
        ::ReadProcessMemory(process, remote, &item, sizeof(item), nullptr);
        ::ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof(text), nullptr);
        text[kTextChars - 1] = 0;
        std::printf("%d|%s\n", item.iImage, Utf8(text).c_str());
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return 0;
}

int Press(const wchar_t* title, DWORD pause, const std::vector<int>& ids) {
    const HWND window = Find(title, false).found;
    if (!window) return 1;
    for (size_t i = 0;; i = (i + 1) % ids.size()) {
        const HWND button = ::GetDlgItem(window, ids[i]);
        DWORD_PTR result = 0;
        // Sent, not posted: each click is handled before the next one comes,
        // and the call fails once the program has gone.
        if (!::SendMessageTimeoutW(window, WM_COMMAND, MAKEWPARAM(ids[i], BN_CLICKED),
                                   reinterpret_cast<LPARAM>(button), SMTO_ABORTIFHUNG, 5000,
                                   &result) ||
            !::IsWindow(window)) {
            return 0;
        }
        ::Sleep(pause);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait-window|gone-window|count-windows TITLE [MS]\n");
        return 2;
    }
    const std::wstring command = argv[1];
    const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 5000;
    if (command == L"wait-window") return WaitFor(argv[2], timeout, true);
    if (command == L"gone-window") return WaitFor(argv[2], timeout, false);
    if (command == L"child-texts") return ChildTexts(argv[2]);
    if (command == L"list-items") return ListItems(argv[2]);
    if (command == L"press" && argc > 4) {
        std::vector<int> ids;
        for (int i = 4; i < argc; ++i)
            ids.push_back(static_cast<int>(std::wcstol(argv[i], nullptr, 10)));
        return Press(argv[2], timeout, ids);
    }
    if (command == L"count-windows") {
        std::printf("%d\n", Find(argv[2], false).count);
        return 0;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
