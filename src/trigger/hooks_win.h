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

// Posted to the target window: a trigger at the screen point (wParam x,
// lParam y, both signed), and a middle click that asks for Explorer.
inline constexpr UINT kTriggerMessage = WM_APP + 1;
inline constexpr UINT kExploreMessage = WM_APP + 2;

// Where the hooks post what they decide. Set before installing.
void SetHookTarget(HWND window);

// Install the hooks on the hook thread (started on first use); installing an
// installed hook does nothing. The mouse hook's rules act only in mode 2.
void InstallKeyboardHook();
void InstallMouseHook(int mode);
// Removes both hooks and ends the hook thread.
void RemoveHooks();
// Removes and installs both hooks again (after Windows dropped them).
void ReinstallHooks();

// The message time of the last input event the hooks saw.
std::uint32_t LastHookEventTick();
// How many times the hooks were installed anew by ReinstallHooks.
int HookReinstallCount();

// The callbacks, exposed for the benchmark that feeds them synthetic events.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace jumpnest
