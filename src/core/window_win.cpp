#include "core/window_win.h"

#include <utility>

namespace jumpnest {

namespace {
thread_local int tHandlingDepth = 0;
}  // namespace

int Window::HandlingDepth() {
    return tHandlingDepth;
}

Window::Handling::Handling() {
    ++tHandlingDepth;
}

Window::Handling::~Handling() {
    --tHandlingDepth;
}

Window::~Window() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void Window::Destroy() {
    // WM_NCDESTROY clears hwnd_.
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                    int x, int y, int width, int height, HWND parent) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        if (!::RegisterClassExW(&windowClass)) return false;
    }
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                             instance, this) != nullptr;
}

void Window::MoveFocus(WPARAM wParam, LPARAM lParam) const {
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : ::GetNextDlgTabItem(hwnd_, ::GetFocus(), wParam != 0);
    if (next) ::SetFocus(next);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const Handling handling;
    return self->HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
