#include "core/startup_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <memory>
#include <string>

#include "core/app_window_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"

namespace jumpnest {

namespace {

constexpr wchar_t kTooOldText[] = L"Jumpnest needs Windows 2000 or higher!";
constexpr wchar_t kTooOldTitle[] = L"Wrong Windows Version";

std::unique_ptr<AppWindow> gAppWindow;

std::wstring SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        folder.resize(::GetSystemDirectoryW(folder.data(), length));
    } else {
        folder.resize(length);
    }
    return folder;
}

// Visual styles need uxtheme.dll. It is looked for in the system folder only:
// a copy beside the program must never be loaded in its place.
bool VisualStylesLibraryPresent() {
    UniqueModule library(::LoadLibraryW((SystemFolder() + L"\\uxtheme.dll").c_str()));
    return static_cast<bool>(library);
}

// "major.minor" of the common controls in use: 6.0 when the manifest took.
std::string CommonControlsVersion() {
    const HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    if (!comctl) return "none";
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (!getVersion || FAILED(getVersion(&info))) return "unknown";
    return std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion);
}

}  // namespace

void InitApplication() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
    ::InitCommonControlsEx(&controls);

    gThemed = VisualStylesLibraryPresent();
    gIniFile = EntryFilePath(gDataFolder, ExecutableName(), gUserName);
    gStartupLink = StartupLinkPath(GetSpecialFolder(kFolderStartup));

    Trace("application: themed=" + std::string(gThemed ? "1" : "0") +
          " comctl32=" + CommonControlsVersion() + " ini=" + gIniFile + " link=" + gStartupLink);
}

bool Main() {
    if (!InitEnvironment()) return false;

    if (!IsSupportedSystem(gWinVersion)) {
        Trace("system too old: " + std::to_string(gWinVersion));
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
    Trace("ready");
    return true;
}

int RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    gAppWindow.reset();
    return static_cast<int>(message.wParam);
}

}  // namespace jumpnest
