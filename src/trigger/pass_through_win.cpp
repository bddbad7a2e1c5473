#include "trigger/pass_through_win.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "core/handle_win.h"
#include "trigger/pass_through.h"

namespace jumpnest {

namespace {

// SHQueryUserNotificationState is asked at most this often: it looks at the
// whole desktop, and the answer changes when a program starts a game or a
// presentation, not from one click to the next.
constexpr DWORD kNotificationStateMs = 300;

// Never destroyed: a hook thread that did not end in time may still read it
// while the process ends.
Published<PassThroughOptions>& Options() {
    static auto* options = new Published<PassThroughOptions>;
    return *options;
}

// Owned by the hook thread.
struct KnownProgram {
    // A process id is soon given to another process; a process id together
    // with one of its threads' ids hardly ever is.
    DWORD process = 0;
    DWORD thread = 0;
    char name[768] = {};  // a file name of up to 255 UTF-16 units, as UTF-8
};
KnownProgram gKnown[32];
size_t gNextKnown = 0;
DWORD gNotificationTick = 0;
bool gNotificationAsked = false;
bool gNotificationFullScreen = false;

bool ShellSaysFullScreen() {
    const DWORD now = ::GetTickCount();
    if (!gNotificationAsked || now - gNotificationTick >= kNotificationStateMs) {
        QUERY_USER_NOTIFICATION_STATE state{};
        gNotificationFullScreen =
            SUCCEEDED(::SHQueryUserNotificationState(&state)) &&
            (state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE);
        gNotificationTick = now;
        gNotificationAsked = true;
    }
    return gNotificationFullScreen;
}

bool IsDesktop(HWND window) {
    if (window == ::GetDesktopWindow() || window == ::GetShellWindow()) return true;
    // A click on the desktop's icons makes the window that holds them the
    // foreground one: a WorkerW or Progman the size of the monitor.
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return !std::wcscmp(name, L"WorkerW") || !std::wcscmp(name, L"Progman");
}

WindowBox BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool FullScreenUnder(POINT point) {
    // Without a window in front there is no monitor the shell's answer could
    // be about.
    const HWND front = ::GetForegroundWindow();
    if (!front) return false;
    RECT window{};
    MONITORINFO frontMonitor{};
    frontMonitor.cbSize = sizeof(frontMonitor);
    MONITORINFO mouseMonitor = frontMonitor;
    if (!::GetWindowRect(front, &window) ||
        !::GetMonitorInfoW(::MonitorFromWindow(front, MONITOR_DEFAULTTONULL), &frontMonitor) ||
        !::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &mouseMonitor)) {
        return false;
    }
    const LONG style = ::GetWindowLongW(front, GWL_STYLE);
    return FullScreenUnderMouse({BoxOf(window), BoxOf(frontMonitor.rcMonitor),
                                 (style & WS_CAPTION) == WS_CAPTION, IsDesktop(front)},
                                BoxOf(mouseMonitor.rcMonitor), ShellSaysFullScreen());
}

}  // namespace

void SetPassThrough(std::string_view excludedPrograms, bool passFullScreen) {
    Options().Publish({ParseProgramList(excludedPrograms), passFullScreen});
}

bool LeftAloneAt(POINT point) {
    const PassThroughOptions& options = Options().Current();
    if (options.fullScreen && FullScreenUnder(point)) return true;
    return !options.programs.empty() &&
           IsListedProgram(options.programs, ProgramOfWindow(::WindowFromPoint(point)));
}

std::string_view ProgramOfWindow(HWND window) {
    DWORD process = 0;
    const DWORD thread = window ? ::GetWindowThreadProcessId(window, &process) : 0;
    if (!thread) return {};
    for (const KnownProgram& known : gKnown) {
        if (known.process == process && known.thread == thread) return known.name;
    }
    // The slot is taken before asking: a program that cannot be told stays
    // unknown there, and the next click does not ask again.
    KnownProgram& slot = gKnown[gNextKnown++ % std::size(gKnown)];
    slot = KnownProgram{process, thread};
    // Limited information is granted for nearly every process, and the
    // question is answered by the system without the process taking part.
    const UniqueHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    wchar_t path[4096];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!handle || !::QueryFullProcessImageNameW(handle.get(), 0, path, &size)) return slot.name;
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c) {
        if (*c == L'\\' || *c == L'/') name = c + 1;
    }
    if (!::WideCharToMultiByte(CP_UTF8, 0, name, -1, slot.name, sizeof(slot.name), nullptr,
                               nullptr)) {
        slot.name[0] = '\0';
    }
    return slot.name;
}

}  // namespace jumpnest
