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
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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
    if (command == L"count-windows") {
        std::printf("%d\n", Find(argv[2], false).count);
        return 0;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
