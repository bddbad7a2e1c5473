#include "trigger/pass_through_win.h"

#include <shellapi.h>

#include <array>
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
    // A thread's id beside the process id still tells a newcomer from the
    // process known here where no handle could be had.
    DWORD process = 0;
    DWORD thread = 0;
    // Held while the slot names the process: Windows gives the id of a
    // process to another one only when no handle to it is left, so the name
    // can never be answered for a stranger that took the id over.
    UniqueHandle handle{};
    char name[768] = {};  // a file name of up to 255 UTF-16 units, as UTF-8
};
// Never destroyed, like the options: closing the handles at exit could pull
// them from under a hook thread that has not ended. Windows closes them.
std::array<KnownProgram, 32>& gKnown = *new std::array<KnownProgram, 32>;
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
    KnownProgram* slot = nullptr;
    for (KnownProgram& known : gKnown) {
        if (known.process != process || known.thread != thread) continue;
        // A process that has ended is asked about afresh; without the right to
        // wait on it, the wait fails and the name stands.
        if (!known.handle || ::WaitForSingleObject(known.handle.get(), 0) != WAIT_OBJECT_0) {
            return known.name;
        }
        slot = &known;
        break;
    }
    // The slot is taken before asking: a program that cannot be told stays
    // unknown there, and the next click does not ask again. Replacing a slot
    // closes the handle it held.
    if (!slot) slot = &gKnown[gNextKnown++ % gKnown.size()];
    *slot = KnownProgram{process, thread};
    // Limited information is granted for nearly every process, and the
    // question is answered by the system without the process taking part.
    slot->handle.reset(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process));
    if (!slot->handle) {
        slot->handle.reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    }
    wchar_t path[4096];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!slot->handle || !::QueryFullProcessImageNameW(slot->handle.get(), 0, path, &size)) {
        return slot->name;
    }
    const wchar_t* name = path;
    for (const wchar_t* c = path; *c; ++c) {
        if (*c == L'\\' || *c == L'/') name = c + 1;
    }
    if (!::WideCharToMultiByte(CP_UTF8, 0, name, -1, slot->name, sizeof(slot->name), nullptr,
                               nullptr)) {
        slot->name[0] = '\0';
    }
    return slot->name;
}

}  // namespace jumpnest
