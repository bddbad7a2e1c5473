#include "ui/popup/foreground_win.h"

namespace jumpnest {
namespace {

// Whether the thread of `window` takes its messages now: asked with one it
// ignores. A window Windows already counts as hung (no message taken for 5 s)
// is given up at once, one that has just stopped after kAnswerMs; a thread
// that pumps answers within a few milliseconds. SMTO_BLOCK: nothing sent to
// this thread runs meanwhile, in the middle of opening the popup.
bool Answers(HWND window) {
    constexpr UINT kAnswerMs = 100;
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs,
                                 &ignored) != 0;
}

}  // namespace

bool BorrowForeground(HWND window) {
    const HWND foreground = ::GetForegroundWindow();
    const DWORD thread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD own = ::GetCurrentThreadId();
    // Attaching itself never waits for the other thread, but while attached
    // the two threads share one active window, focus and input queue:
    // BringWindowToTop and SetForegroundWindow deactivate the other thread's
    // window by sending it WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS and
    // WM_ACTIVATEAPP and wait for the answers, and our input waits behind
    // its unread input. A hung program (and the user often reaches for the
    // launcher because one hangs) would hang the popup with it, so it is
    // asked first. A thread that stops in the moments between the answer and
    // the detach still catches us: no call attaches with a time-out.
    if (!thread || thread == own || !Answers(foreground)) return false;
    if (!::AttachThreadInput(own, thread, TRUE)) return false;
    ::BringWindowToTop(window);
    const bool taken = ::SetForegroundWindow(window);
    ::AttachThreadInput(own, thread, FALSE);
    return taken;
}

}  // namespace jumpnest
