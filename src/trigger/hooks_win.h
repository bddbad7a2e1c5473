// The two system-wide low-level input hooks. They run on a thread of their
// own with its own message loop, so that nothing the user-interface thread
// does (a slow shell launch, loading icons, a message box) can delay the
// desktop's input or make Windows drop the hooks for being slow. The
// callbacks only decide and post; the work happens on the user-interface
// thread when their messages arrive.
#pragma once

#include <windows.h>

#include <cstdint>

namespace jumpnest {

// Where the hooks post what they decide (kTriggerMessage and kExploreMessage
// of core/messages_win.h). Set before installing.
void SetHookTarget(HWND window);

// The option "Middle mouse button opens Explorer", as the hooks apply it.
void SetMiddleButtonOpensExplorer(bool on);

// Install the hooks on the hook thread (started on first use); installing an
// installed hook does nothing. The mouse hook's rules act only in mode 2.
void InstallKeyboardHook();
void InstallMouseHook(int mode);
// Removes both hooks and ends the hook thread, waiting at most `waitMs`.
// A thread that has not ended by then is kept, never started a second time
// beside it; false then.
bool RemoveHooks(unsigned waitMs);
// Removes and installs both hooks again (after Windows dropped them).
void ReinstallHooks();
// The watchdog: installs the hooks again when the system saw input that they
// did not. True when it did.
bool CheckHooks();

// The message time of the last input event the hooks saw.
std::uint32_t LastHookEventTick();
// How many times the hooks were installed anew by ReinstallHooks.
int HookReinstallCount();

// The callbacks, exposed for the benchmark that feeds them synthetic events.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace jumpnest
