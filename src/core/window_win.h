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

protected:
    Window() = default;
    // Detaches before destroying, so that no message of the dying window
    // reaches an object that is half torn down.
    virtual ~Window();

    // Registers the class on first use and creates the window.
    bool Create(const std::wstring& className, const std::wstring& title, DWORD style,
                DWORD exStyle, int x, int y, int width, int height, HWND parent);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
};

}  // namespace jumpnest
