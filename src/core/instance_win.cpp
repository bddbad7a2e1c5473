#include "core/instance_win.h"

#include <optional>

#include "core/encoding_win.h"
#include "core/instance.h"
#include "core/paths.h"
#include "core/trace_win.h"

namespace jumpnest {

namespace {

// How long a second start waits for the first one's window to appear.
constexpr DWORD kWindowWaitMs = 1000;
constexpr DWORD kWindowPollMs = 50;

}  // namespace

InstanceMutex::InstanceMutex(const std::string& name)
    : mutex_(::CreateMutexW(nullptr, FALSE, Widen(name).c_str())) {
    const DWORD error = ::GetLastError();
    // Access denied means the mutex exists but was made by a process we may
    // not open: another instance all the same. Any other failure leaves the
    // start to go on rather than refuse to run at all.
    first_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

bool ClaimInstance(std::string_view exeName, std::string_view userSid) {
    static std::optional<InstanceMutex> instance;
    instance.emplace(InstanceMutexName(exeName, userSid));
    return instance->IsFirst();
}

bool InstanceRunning(std::string_view exeName, std::string_view userSid) {
    const UniqueHandle mutex(
        ::OpenMutexW(SYNCHRONIZE, FALSE, Widen(InstanceMutexName(exeName, userSid)).c_str()));
    // Made by a copy with more rights than ours: there all the same.
    return mutex || ::GetLastError() == ERROR_ACCESS_DENIED;
}

UINT ComeForwardMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"kqrJumpnest.ComeForward");
    return message;
}

bool BringRunningInstanceForward(std::string_view exeName) {
    const std::wstring className = Widen(InstanceWindowClass(exeName));
    const std::wstring title = Widen(kAppTitle);
    HWND window = nullptr;
    for (DWORD waited = 0;; waited += kWindowPollMs) {
        window = ::FindWindowW(className.c_str(), title.c_str());
        if (window || waited >= kWindowWaitMs) break;
        ::Sleep(kWindowPollMs);
    }
    if (!window) {
        Trace("second instance: no window answered");
        return false;
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    // We are the process the user just started, so we may pass the right to
    // take the foreground on to the running instance.
    ::AllowSetForegroundWindow(processId);
    ::PostMessageW(window, ComeForwardMessage(), 0, 0);
    Trace("second instance: asked " + std::to_string(processId) + " to come forward");
    return true;
}

}  // namespace jumpnest
