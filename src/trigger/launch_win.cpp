#include "trigger/launch_win.h"

#include <windows.h>

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "trigger/launch.h"

namespace jumpnest {

namespace {

// How long a copy waits for a clipboard that another program holds open.
constexpr int kClipboardAttempts = 25;
constexpr DWORD kClipboardRetryMs = 20;

// The system folder, or with `windows` the Windows folder.
std::string SystemFolder(bool windows = false) {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<UINT>(folder.size());
        const UINT length = windows ? ::GetSystemWindowsDirectoryW(folder.data(), size)
                                    : ::GetSystemDirectoryW(folder.data(), size);
        if (length == 0) return {};
        // When the buffer is too small the answer is the size needed, NUL included.
        if (length < folder.size()) {
            folder.resize(length);
            return Narrow(folder);
        }
        folder.resize(length);
    }
}

// Starts the shell's open-with dialog for `target` in a process of its own,
// in `folder` ("" for this program's current one).
bool StartOpenWith(const std::string& target, const std::wstring& folder) {
    const std::string systemFolder = SystemFolder();
    if (systemFolder.empty()) {
        Trace("launch: no system folder for the open-with dialog");
        return false;
    }
    // Naming the program as well as quoting it in the command line keeps
    // CreateProcess from searching for it at all.
    const std::wstring application = Widen(AddBackslash(systemFolder) + "rundll32.exe");
    // CreateProcessW may write into the command line: it needs a buffer of its own.
    std::wstring commandLine = Widen(OpenWithCommandLine(systemFolder, target));

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        Trace("launch: open-with dialog not started, error " + std::to_string(::GetLastError()));
        return false;
    }
    // The dialog is not waited for; its handles are of no further use.
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return true;
}

// Hands `file` to the shell of the desktop, Explorer, which runs without
// full rights: what this program started itself would inherit its own.
bool ShellExecuteThroughDesktop(const std::wstring& file, const std::wstring& verb,
                                const std::wstring& folder) {
    ComPtr<IShellWindows> windows;
    ComPtr<IDispatch> desktop, background, application;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IShellDispatch2> shell;
    VARIANT location{}, root{};
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    long window = 0;
    HRESULT result = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                        IID_IShellWindows, windows.put_void());
    if (SUCCEEDED(result)) {
        result = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                       desktop.put());
    }
    // S_FALSE: no desktop window, and no object.
    if (result == S_OK && desktop) {
        result = desktop->QueryInterface(IID_IServiceProvider, services.put_void());
    } else if (SUCCEEDED(result)) {
        result = E_FAIL;
    }
    if (SUCCEEDED(result)) {
        result =
            services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void());
    }
    if (SUCCEEDED(result)) result = browser->QueryActiveShellView(view.put());
    if (SUCCEEDED(result)) {
        result = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void());
    }
    if (SUCCEEDED(result)) {
        result = background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void());
    }
    if (SUCCEEDED(result)) result = folderView->get_Application(application.put());
    if (SUCCEEDED(result)) {
        result = application->QueryInterface(IID_IShellDispatch2, shell.put_void());
    }
    if (SUCCEEDED(result)) {
        VARIANT show{};
        show.vt = VT_I4;
        show.lVal = SW_SHOWNORMAL;
        const Bstr name(file), arguments(L""), directory(folder), operation(verb);
        result = shell->ShellExecute(name.get(), arguments.variant(), directory.variant(),
                                     operation.variant(), show);
    }
    if (FAILED(result)) Trace("launch: the desktop's shell refused, " + std::to_string(result));
    return SUCCEEDED(result);
}

// The desktop's shell starts a file without a word: what is missing, or of a
// type with no program for the verb, is left to this program, which says so
// or offers the open-with dialog.
bool StartableByDesktop(const std::wstring& file, const std::wstring& verb) {
    if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    DWORD size = 0;
    const HRESULT found =
        ::AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND, file.c_str(),
                            verb.empty() ? nullptr : verb.c_str(), nullptr, &size);
    return found == S_OK || found == S_FALSE;
}

}  // namespace

bool ProcessElevated() {
    // The token of a running process does not change: asked once. Only a
    // token split by UAC counts: elevated with no lesser one beside it (UAC
    // off, the built-in Administrator), the desktop runs with the same rights.
    static const bool elevated = [] {
        HANDLE raw = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
        UniqueHandle token(raw);
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        const bool full =
            ::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size) &&
            type == TokenElevationTypeFull;
        Trace(std::string("elevated: ") + (full ? "1" : "0"));
        return full;
    }();
    return elevated;
}

LaunchResult LaunchTarget(const std::string& stored, const std::optional<std::string>& verb) {
    const std::string target = ExpandedTarget(stored);
    const std::wstring file = Widen(target);
    const std::wstring operation = verb ? Widen(*verb) : std::wstring();
    // A program starts in its own folder, as from Explorer, so that a batch
    // file or a portable tool finds what it names by relative paths.
    const std::wstring folder = Widen(WorkingFolderFor(target));
    // The shell may hand the target to a handler that is a COM object.
    ComApartment com;
    // Started with full rights at sign-in, the program hands on only what
    // the user started as administrator (Ctrl+Shift+Enter, "runas") with
    // them; the rest goes through the desktop, and where that cannot be
    // had, as before.
    if (ProcessElevated() && operation != L"runas" && StartableByDesktop(file, operation) &&
        ShellExecuteThroughDesktop(file, operation, folder)) {
        Trace("launch: through the desktop: " + target);
        return LaunchResult::Started;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, verb ? operation.c_str() : nullptr, file.c_str(), nullptr,
                        folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
    if (result > 32) return LaunchResult::Started;
    // Only the default action asks which program should open a file: a type
    // without the asked verb ("runas" on a document) is not a type without a
    // program.
    if (result == kShellNoAssociation && !verb) {
        Trace("open with: " + target);
        return StartOpenWith(target, folder) ? LaunchResult::OpenWith : LaunchResult::Failed;
    }
    Trace("launch: shell answered " + std::to_string(result) + " for " + target);
    return LaunchResult::Failed;
}

bool OpenFileLocation(const std::string& stored) {
    const std::string target = ExpandedTarget(stored);
    Trace("open file location: " + target);
    ComApartment com;
    // The shell selects the file in a window of its folder, or in the one
    // already showing it; where it cannot, Explorer's own switch does.
    PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(Widen(target).c_str());
    if (item) {
        const HRESULT opened = ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        ::ILFree(item);
        if (SUCCEEDED(opened)) return true;
    }
    const std::wstring arguments = L"/select,\"" + Widen(target) + L"\"";
    const std::wstring explorer = Widen(AddBackslash(SystemFolder(true)) + "explorer.exe");
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(
               nullptr, nullptr, explorer.c_str(), arguments.c_str(), nullptr, SW_SHOWNORMAL)) > 32;
}

bool CopyToClipboard(HWND owner, const std::string& text) {
    const std::wstring wide = Widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* place = ::GlobalLock(memory);
    if (!place) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(place, wide.c_str(), bytes);
    ::GlobalUnlock(memory);
    // Another program may hold the clipboard open for a moment (a clipboard
    // history reading what was just copied): it is asked for again a while.
    bool open = false;
    for (int attempt = 0; attempt < kClipboardAttempts && !open; ++attempt) {
        if (attempt > 0) ::Sleep(kClipboardRetryMs);
        open = ::OpenClipboard(owner) != FALSE;
    }
    DWORD error = ::GetLastError();
    // Once SetClipboardData has taken the memory it is the system's.
    if (open) {
        ::EmptyClipboard();
        const bool taken = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        error = ::GetLastError();
        ::CloseClipboard();
        if (taken) return true;
    }
    ::GlobalFree(memory);
    Trace("clipboard: not copied, error " + std::to_string(error));
    return false;
}

}  // namespace jumpnest
