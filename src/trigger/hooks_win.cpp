#include "trigger/hooks_win.h"

#include <atomic>

#include "core/handle_win.h"
#include "core/messages_win.h"
#include "core/trace_win.h"
#include "trigger/pass_through_win.h"
#include "trigger/trigger_rules.h"

namespace jumpnest {

namespace {

// Input the hooks have not seen for this long counts as missed. Generous:
// a hook runs a moment after the input it reports.
constexpr std::uint32_t kMissedInputGraceMs = 1000;

// Shared between the threads.
std::atomic<HWND> gTarget{nullptr};
std::atomic<int> gMouseHookMode{0};
std::atomic<bool> gExplorer{false};
std::atomic<std::uint32_t> gLastEventTick{0};
std::atomic<int> gReinstallCount{0};

// Owned by the hook thread; the callbacks run on it.
GestureRules gRules;
UniqueHook gKeyboardHook;
UniqueHook gMouseHook;

// The hook thread, started on first use.
UniqueHandle gThread;
DWORD gThreadId = 0;

MouseMessage Translate(WPARAM message) {
    switch (message) {
    case WM_RBUTTONDOWN:
        return MouseMessage::RightDown;
    case WM_RBUTTONUP:
        return MouseMessage::RightUp;
    case WM_RBUTTONDBLCLK:
        return MouseMessage::RightDoubleClick;
    case WM_MBUTTONDOWN:
        return MouseMessage::MiddleDown;
    case WM_MBUTTONUP:
        return MouseMessage::MiddleUp;
    default:
        return MouseMessage::Other;
    }
}

void InstallKeyboardOnThisThread() {
    if (gKeyboardHook) return;
    gKeyboardHook.reset(
        ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, ::GetModuleHandleW(nullptr), 0));
    Trace(gKeyboardHook ? "keyboard hook installed" : "keyboard hook not installed");
}

void InstallMouseOnThisThread() {
    if (gMouseHook) return;
    gMouseHook.reset(
        ::SetWindowsHookExW(WH_MOUSE_LL, MouseHookProc, ::GetModuleHandleW(nullptr), 0));
    Trace(gMouseHook ? "mouse hook installed" : "mouse hook not installed");
}

DWORD WINAPI HookThread(void* ready) {
    MSG message;
    // Creates this thread's message queue before the starter goes on, so
    // that no request posted to it is lost.
    ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    ::SetEvent(static_cast<HANDLE>(ready));
    // Input of the whole desktop waits on these callbacks.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    gLastEventTick = ::GetTickCount();
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        switch (message.message) {
        case kInstallKeyboardMessage:
            InstallKeyboardOnThisThread();
            break;
        case kInstallMouseMessage:
            InstallMouseOnThisThread();
            break;
        case kReinstallHooksMessage:
            gKeyboardHook.reset();
            gMouseHook.reset();
            // The hooks missed input, perhaps a release of Ctrl or of a button
            // whose press they saw: nothing they remember still holds.
            gRules = GestureRules();
            InstallKeyboardOnThisThread();
            InstallMouseOnThisThread();
            gLastEventTick = ::GetTickCount();
            ++gReinstallCount;
            Trace("hooks installed again");
            break;
        default:
            ::DispatchMessageW(&message);
            break;
        }
    }
    gKeyboardHook.reset();
    gMouseHook.reset();
    return 0;
}

void PostToHookThread(UINT request) {
    if (!gThread) {
        UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        gThread.reset(::CreateThread(nullptr, 0, HookThread, ready.get(), 0, &gThreadId));
        if (!gThread) {
            Trace("hook thread not started");
            return;
        }
        ::WaitForSingleObject(ready.get(), INFINITE);
    }
    ::PostThreadMessageW(gThreadId, request, 0, 0);
}

}  // namespace

void SetHookTarget(HWND window) {
    gTarget = window;
}

void SetMiddleButtonOpensExplorer(bool on) {
    gExplorer = on;
}

void InstallKeyboardHook() {
    PostToHookThread(kInstallKeyboardMessage);
}

void InstallMouseHook(int mode) {
    gMouseHookMode = mode;
    PostToHookThread(kInstallMouseMessage);
}

void ReinstallHooks() {
    if (gThread) PostToHookThread(kReinstallHooksMessage);
}

bool RemoveHooks(unsigned waitMs) {
    if (!gThread) return true;
    ::PostThreadMessageW(gThreadId, WM_QUIT, 0, 0);
    if (::WaitForSingleObject(gThread.get(), waitMs) != WAIT_OBJECT_0) {
        // It still owns the hooks and the rules: a second thread beside it
        // would share them. Windows removes the hooks when the process ends.
        Trace("hook thread did not end");
        return false;
    }
    gThread.reset();
    gThreadId = 0;
    Trace("hooks removed");
    return true;
}

bool CheckHooks() {
    LASTINPUTINFO input{};
    input.cbSize = sizeof(input);
    if (!::GetLastInputInfo(&input)) return false;
    if (!HooksMissedInput(input.dwTime, LastHookEventTick(), kMissedInputGraceMs)) return false;
    ReinstallHooks();
    return true;
}

std::uint32_t LastHookEventTick() {
    return gLastEventTick;
}

int HookReinstallCount() {
    return gReinstallCount;
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        gRules.OnKey({key->vkCode, key->scanCode, key->flags});
        gLastEventTick.store(key->time, std::memory_order_relaxed);
    }
    // Keys are never swallowed, and the next program's hook gets them too.
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    gLastEventTick.store(mouse->time, std::memory_order_relaxed);
    const MouseMessage message = Translate(wParam);
    // Moves, the left button and the wheel: the common path, nothing to do.
    if (message == MouseMessage::Other) return ::CallNextHookEx(nullptr, code, wParam, lParam);

    const int mode = gMouseHookMode.load(std::memory_order_relaxed);
    const bool explorer = gExplorer.load(std::memory_order_relaxed);
    // Only presses that would be taken look at the place, the one costly
    // part; their releases follow them.
    const bool leftAlone = gRules.PlaceMatters(message, mode, explorer) && LeftAloneAt(mouse->pt);
    // What Windows holds down now, asked only for the right button: the
    // keyboard hook may have missed the release of Ctrl.
    const bool controlDownNow =
        GestureRules::ControlMatters(message) && ::GetAsyncKeyState(VK_LCONTROL) < 0;
    const MouseVerdict verdict = gRules.OnMouse({message, {mouse->pt.x, mouse->pt.y}}, mode,
                                                explorer, leftAlone, controlDownNow);
    if (verdict.action == GestureAction::Trigger) {
        ::PostMessageW(gTarget, kTriggerMessage, static_cast<WPARAM>(mouse->pt.x),
                       static_cast<LPARAM>(mouse->pt.y));
    } else if (verdict.action == GestureAction::OpenExplorer) {
        ::PostMessageW(gTarget, kExploreMessage, 0, 0);
    }
    return verdict.swallow ? 1 : ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace jumpnest
