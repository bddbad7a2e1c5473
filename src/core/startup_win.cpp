#include "core/startup_win.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "core/app_window_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "store/persistence_win.h"
#include "trigger/gestures_win.h"
#include "trigger/hooks_win.h"
#include "ui/popup/menu_window_win.h"
#include "ui/config/main_window_win.h"

namespace jumpnest {

namespace {

// How long ago Windows created this process: the start-up figure the
// benchmarks quote, from the trace.
long long MillisecondsSinceStart() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& time) {
        return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                      time.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 10000;  // 100 ns units
}

constexpr wchar_t kTooOldText[] = L"Jumpnest needs Windows 2000 or higher!";
constexpr wchar_t kTooOldTitle[] = L"Wrong Windows Version";

// How often the watchdog looks whether Windows dropped the input hooks.
constexpr unsigned kWatchdogIntervalMs = 2000;

std::unique_ptr<AppWindow> gAppWindow;

std::wstring SystemFolder() {
    const UINT size = ::GetSystemDirectoryW(nullptr, 0);  // with the closing NUL
    std::wstring folder(size, L'\0');
    folder.resize(::GetSystemDirectoryW(folder.data(), size));
    return folder;
}

// Visual styles need uxtheme.dll. It is looked for in the system folder only:
// a copy beside the program must never be loaded in its place.
bool VisualStylesLibraryPresent() {
    UniqueModule library(::LoadLibraryW((SystemFolder() + L"\\uxtheme.dll").c_str()));
    return static_cast<bool>(library);
}

// The file of the common controls this program is bound to: the side-by-side
// version 6 when the manifest took. Asked of the module behind our own
// import, since other modules may have loaded the old version as well.
std::string CommonControlsFile() {
    HMODULE comctl = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&::InitCommonControlsEx), &comctl)) {
        return {};
    }
    std::wstring file(MAX_PATH, L'\0');
    file.resize(::GetModuleFileNameW(comctl, file.data(), static_cast<DWORD>(file.size())));
    return Narrow(file);
}

}  // namespace

void InitApplication() {
    // The shell's objects (icons, links) and drag and drop need OLE on this
    // thread; it is set up once for the whole run instead of around every call.
    static const struct OleSession {
        OleSession() { ::OleInitialize(nullptr); }
        ~OleSession() { ::OleUninitialize(); }
    } ole;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
    ::InitCommonControlsEx(&controls);

    gThemed = VisualStylesLibraryPresent();
    gIniFile = EntryFilePath(gDataFolder, ExecutableName(), gUserName);
    // Without a Startup folder there is no place for the shortcut; a link
    // path made of the name alone would put it in the current folder.
    const std::string startupFolder = GetSpecialFolder(kFolderStartup);
    gStartupLink = startupFolder.empty() ? std::string() : StartupLinkPath(startupFolder);

    if (!TraceEnabled()) return;
    Trace(std::string("themed: ") + (gThemed ? "1" : "0"));
    Trace("comctl32: " + CommonControlsFile());
    Trace("ini: " + gIniFile);
    Trace("startup link: " + gStartupLink);
}

bool Main() {
    if (!InitEnvironment()) return false;

    if (!IsSupportedSystem(gWinVersion)) {
        Trace("refused: system too old");
        ::MessageBoxW(nullptr, kTooOldText, kTooOldTitle,
                      MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        return false;
    }

    InitApplication();

    gAppWindow = std::make_unique<AppWindow>();
    if (!gAppWindow->Create(ExecutableName())) {
        Trace("the program window could not be created");
        return false;
    }
    // A second start asks us to come forward: that means the configuration
    // window.
    gAppWindow->onComeForward = [] { frmMain().Show(); };

    LoadSettings();

    // The hooks come last: what they consult is in place now.
    SetHookTarget(gAppWindow->hwnd());
    gAppWindow->onTrigger = [](int x, int y) { OnTrigger({x, y}); };
    gAppWindow->onExplore = [] { OnExplore(); };
    gAppWindow->onWatchdog = [] { CheckHooks(); };
    InstallKeyboardHook();
    InstallMouseHook(kActiveMouseHookMode);
    gAppWindow->StartWatchdog(kWatchdogIntervalMs);
    if (TraceEnabled()) Trace("ready: " + std::to_string(MillisecondsSinceStart()) + " ms");
    // The popup's window is made now, while nobody waits for it, so that the
    // first trigger only has to show it.
    PrepareMenu();
    return true;
}

int RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsMainWindowLoaded() && frmMain().PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    RemoveHooks();
    gAppWindow.reset();
    return static_cast<int>(message.wParam);
}

}  // namespace jumpnest
