// What the Win32 tests share: headers, files, a scratch settings key, messages.
#pragma once

#include <windows.h>

#include <aclapi.h>
#include <process.h>
#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "app/app_win.h"
#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/instance.h"
#include "core/instance_win.h"
#include "core/paths.h"
#include "core/pictures_win.h"
#include "core/trace_win.h"
#include "store/entry_store_win.h"
#include "store/file_security_win.h"
#include "store/icons_win.h"
#include "store/logon_task_win.h"
#include "store/persistence_win.h"
#include "store/portable_win.h"
#include "store/program_lists.h"
#include "store/program_lists_win.h"
#include "store/settings_win.h"
#include "store/shortcut_win.h"
#include "trigger/hooks_win.h"
#include "trigger/launch_win.h"
#include "ui/popup/fold_win.h"
#include "ui/popup/menu_window_win.h"
#include "ui/popup/popup_filter.h"
#include "ui/text/appearance_win.h"
#include "ui/text/captions.h"

namespace jumpnest::test {

inline std::filesystem::path Path(const std::string& utf8) {
    return Widen(utf8);
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(Path(path), std::ios::binary);
    return static_cast<bool>(out << bytes);
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(Path(path), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}

inline void RemoveTree(std::string path) {
    std::error_code ignored;
    if (path.ends_with('\\')) path.pop_back();  // else a file of that name stays
    std::filesystem::remove_all(Path(path), ignored);
}

// A new empty folder below %TEMP%, ending in "\", removed at the end.
struct TempFolder {
    TempFolder() { std::filesystem::create_directories(Path(path)); }
    ~TempFolder() { RemoveTree(path); }
    inline static int count = 0;
    const std::string path = Narrow(std::filesystem::temp_directory_path().wstring()) + "jnt-" +
                             std::to_string(::GetCurrentProcessId() * 100 + count++) + "\\";
};

// The settings key of one test process: the program's own is never touched.
struct ScratchKey {
    explicit ScratchKey(DWORD process = ::GetCurrentProcessId())
        : name("kqrJumpnestTest-" + std::to_string(process)) {
        Clear();
    }
    ~ScratchKey() { Clear(); }
    void Clear() { ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + Widen(name)).c_str()); }
    std::string name;
    RegistrySettings settings{name};
};

struct MessageWindow {
    ~MessageWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
};

// Hands this thread's messages to `handle` (or dispatches them) until `done`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000,
                      const std::function<void(const MSG&)>& handle = {}) {
    for (const ULONGLONG end = ::GetTickCount64() + ms; !done(); ::Sleep(5)) {
        if (::GetTickCount64() > end) return false;
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            handle ? handle(message) : static_cast<void>(::DispatchMessageW(&message));
        }
    }
    return true;
}

inline std::string WindowText(HWND window) {
    wchar_t text[256] = {};
    return ::GetWindowTextW(window, text, 256), Narrow(text);
}

inline std::string SystemProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetSystemDirectoryW(path, MAX_PATH);
    return Narrow(::CharLowerW(std::wcscat(std::wcscat(path, L"\\"), name)));
}

// Moved to a monitor of `dpi`, the window is offered `w` x `h` design pixels; whether it took them.
inline bool MovedToScale(HWND window, int dpi, int w, int h) {
    RECT offered{100, 100, 100 + w * dpi / 96, 100 + h * dpi / 96}, now{};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&offered));
    return ::GetWindowRect(window, &now) && ::EqualRect(&now, &offered);
}

// The edge of an image list's square pictures; -1 when they are not square.
inline int IconEdge(HIMAGELIST list) {
    int width = 0, height = -1;
    return ImageList_GetIconSize(list, &width, &height) && width == height ? width : -1;
}

// Pictures of files on a dead network share: the shell answers after 10 s.
inline EntryPictures StuckPictures(const std::string&, int) {
    ::Sleep(10000);
    return {};
}

// A popup of `entries`, loaded; no loader, so their pictures are never asked for.
struct TestPopup {
    explicit TestPopup(std::initializer_list<MenuEntry> entries) {
        list.Replace({entries.begin(), entries.end()});
        loaded = popup.Load(list, options, {});
    }
    void Open() { popup.Open(MonitorAt({200, 200}), {3000, 3000}); }
    EntryList list{StuckPictures};
    Options options;
    MenuWindow popup;
    bool loaded = false;
};

}  // namespace jumpnest::test
