#include "core/dpi_win.h"

#include "core/scale.h"

namespace jumpnest {

namespace {

template <typename Function>
Function Lookup(const wchar_t* module, const char* name) {
    // Loaded for good: shcore stays mapped once a DPI has been asked of it.
    HMODULE library = ::GetModuleHandleW(module);
    if (!library) library = ::LoadLibraryW(module);
    if (!library) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// Looked up once, on first use, from whichever thread asks first: the
// statics' initialisation is thread-safe.
struct DpiFunctions {
    using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    using ForWindow = UINT(WINAPI*)(HWND);
    using ForSystem = UINT(WINAPI*)();
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

    ForMonitor forMonitor = Lookup<ForMonitor>(L"shcore.dll", "GetDpiForMonitor");
    ForWindow forWindow = Lookup<ForWindow>(L"user32.dll", "GetDpiForWindow");
    ForSystem forSystem = Lookup<ForSystem>(L"user32.dll", "GetDpiForSystem");
    MetricsForDpi metrics = Lookup<MetricsForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    AdjustForDpi adjust = Lookup<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions;
    return functions;
}

// A DPI nobody uses is a failed answer: fall back rather than lay out a
// window ten times too large.
bool Plausible(UINT dpi) {
    return dpi >= 48 && dpi <= 960;
}

}  // namespace

int SystemDpi() {
    if (Functions().forSystem) {
        const UINT dpi = Functions().forSystem();
        if (Plausible(dpi)) return static_cast<int>(dpi);
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) ::ReleaseDC(nullptr, screen);
    return Plausible(static_cast<UINT>(dpi)) ? dpi : kDesignDpi;
}

namespace {

int DpiOfMonitor(HMONITOR monitor) {
    if (Functions().forMonitor) {
        constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the user's scale
        UINT x = 0, y = 0;
        if (SUCCEEDED(Functions().forMonitor(monitor, kEffectiveDpi, &x, &y)) && Plausible(y)) {
            return static_cast<int>(y);
        }
    }
    return SystemDpi();
}

}  // namespace

int DpiAt(POINT point) {
    return DpiOfMonitor(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

MonitorPlace MonitorAt(POINT point) {
    const HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(monitor, &info);
    return {info.rcMonitor, DpiOfMonitor(monitor)};
}

int DpiOf(HWND window) {
    if (Functions().forWindow && window) {
        const UINT dpi = Functions().forWindow(window);
        if (Plausible(dpi)) return static_cast<int>(dpi);
    }
    // Windows 8.1 knows each monitor's scale but not yet a window's.
    return DpiOfMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int MetricForDpi(int index, int dpi) {
    if (Functions().metrics) return Functions().metrics(index, static_cast<UINT>(dpi));
    // The system's metrics are for its own DPI: grow them by the ratio.
    const int atSystem = ::GetSystemMetrics(index);
    return ::MulDiv(atSystem, dpi, SystemDpi());
}

void AdjustRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
    if (Functions().adjust &&
        Functions().adjust(&rect, style, menu, exStyle, static_cast<UINT>(dpi))) {
        return;
    }
    ::AdjustWindowRectEx(&rect, style, menu, exStyle);
}

}  // namespace jumpnest
