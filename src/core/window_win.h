// The base of every window class of the program: a static window procedure
// finds the C++ object through GWLP_USERDATA, stored at WM_NCCREATE and
// cleared at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <string>

namespace jumpnest {

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Destroys the window now; nothing when there is none. A derived class
    // calls it first thing in its destructor, while the pictures, fonts and
    // brushes its window draws with are still alive.
    void Destroy();

    // How many messages to windows of ours this thread is handling at once.
    // Above 1, a handler runs a loop of its own (a message box, a menu, a
    // dialog) in which another message has arrived: the first handler is
    // half-way through and will go on once that loop returns.
    static int HandlingDepth();

    // Counts a message that a procedure of ours outside this class handles (a
    // control's own procedure it was given), for as long as it lives.
    class Handling {
    public:
        Handling();
        ~Handling();
        Handling(const Handling&) = delete;
        Handling& operator=(const Handling&) = delete;
    };

protected:
    Window() = default;

    // WM_NEXTDLGCTL, which only dialog boxes answer: the dialog manager moves
    // the focus this way for a label's access key (to the label, then on to
    // the control after it).
    void MoveFocus(WPARAM wParam, LPARAM lParam) const;
    // Only a safety net: by now the derived part is gone, so the window is
    // detached first and no message of it reaches a half torn-down object.
    virtual ~Window();

    // Registers the class on first use and creates the window.
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x,
                int y, int width, int height, HWND parent);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
};

}  // namespace jumpnest
