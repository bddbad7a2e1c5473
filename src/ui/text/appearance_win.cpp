#include "ui/text/appearance_win.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "core/environment_win.h"
#include "core/handle_win.h"

namespace jumpnest {

namespace {

// A library from the system folder only: a copy beside the program must
// never be loaded in its place. Windows 7 without its loader update refuses
// the search flag; the full path does the same there.
UniqueModule SystemLibrary(const wchar_t* name) {
    UniqueModule library(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (library || ::GetLastError() != ERROR_INVALID_PARAMETER) return library;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return library;
    return UniqueModule(::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str()));
}

// `name` may be an ordinal made with MAKEINTRESOURCEA.
template <typename Function>
Function Find(const UniqueModule& library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), name)));
}

void SetDwmAttribute(HWND window, DWORD attribute, const void* value, DWORD size) {
    using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    const UniqueModule dwm = SystemLibrary(L"dwmapi.dll");
    const auto set = Find<SetAttributeFn>(dwm, "DwmSetWindowAttribute");
    if (set && window) set(window, attribute, value, size);
}

}  // namespace

SystemLook ReadSystemLook(ThemeChoice choice) {
    SystemLook look;
    look.choice = choice;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    look.highContrast =
        ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON);

    DWORD light = 0, size = sizeof(light);
    if (::RegGetValueW(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
            L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS) {
        look.appsUseLightTheme = light != 0;
    }

    SystemColors& colors = look.colors;
    colors.window = ::GetSysColor(COLOR_WINDOW);
    colors.windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    colors.buttonFace = ::GetSysColor(COLOR_BTNFACE);
    colors.buttonText = ::GetSysColor(COLOR_BTNTEXT);
    colors.highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    colors.highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    colors.grayText = ::GetSysColor(COLOR_GRAYTEXT);
    colors.hotLight = ::GetSysColor(COLOR_HOTLIGHT);
    colors.menu = ::GetSysColor(COLOR_MENU);
    colors.activeBorder = ::GetSysColor(COLOR_ACTIVEBORDER);

    // Fails where the desktop is not composed (Windows 7's basic look).
    using ColorizationFn = HRESULT(WINAPI*)(DWORD*, BOOL*);
    const UniqueModule dwm = SystemLibrary(L"dwmapi.dll");
    DWORD argb = 0;
    BOOL opaque = FALSE;
    if (const auto get = Find<ColorizationFn>(dwm, "DwmGetColorizationColor");
        get && SUCCEEDED(get(&argb, &opaque))) {
        // 0xAARRGGBB, unlike every other colour here.
        look.accent =
            RgbColor(static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                     static_cast<std::uint8_t>(argb));
    }
    return look;
}

std::uint32_t WindowsBuild() {
    // The build does not change while the program runs: asked once.
    static const std::uint32_t build = TrueOsVersion().build;
    return build;
}

void UseDarkTitleBar(HWND window, bool dark) {
    const std::optional<std::uint32_t> attribute = DarkTitleBarAttribute(WindowsBuild());
    if (!attribute) return;
    const BOOL on = dark ? TRUE : FALSE;
    SetDwmAttribute(window, *attribute, &on, sizeof(on));
    // Windows 10 repaints the caption in its new colours only when the frame
    // is drawn again; a window not yet shown gets them when it first is.
    if (::IsWindowVisible(window)) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void UseSmallRoundCorners(HWND window) {
    if (!HasRoundCorners(WindowsBuild())) return;
    const DWORD preference = kDwmCornerRoundSmall;
    SetDwmAttribute(window, kDwmWindowCornerPreference, &preference, sizeof(preference));
}

namespace {

// SetWindowTheme, where uxtheme.dll is there.
void SetTheme(HWND control, const wchar_t* name, const wchar_t* list) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const UniqueModule uxtheme = SystemLibrary(L"uxtheme.dll");
    const auto setTheme = Find<SetWindowThemeFn>(uxtheme, "SetWindowTheme");
    if (setTheme && control) setTheme(control, name, list);
}

}  // namespace

void UseDarkControls(HWND control, bool dark) {
    SetTheme(control, dark ? L"DarkMode_Explorer" : L"Explorer", nullptr);
}

void UseDarkMenus(bool dark) {
    // Undocumented, by ordinal: SetPreferredAppMode and FlushMenuThemes. The
    // palette may be dark by the stored choice while the system is light, so
    // dark forces it (2) rather than only allowing it; light goes back to the
    // default (0), which is light menus. The mode lives in uxtheme, which is
    // kept loaded for the run so the mode set here cannot go with it.
    if (!HasDarkMenus(WindowsBuild())) return;
    using SetPreferredAppModeFn = int(WINAPI*)(int);
    using FlushMenuThemesFn = void(WINAPI*)();
    static const UniqueModule uxtheme = SystemLibrary(L"uxtheme.dll");
    const auto setMode = Find<SetPreferredAppModeFn>(uxtheme, MAKEINTRESOURCEA(135));
    const auto flush = Find<FlushMenuThemesFn>(uxtheme, MAKEINTRESOURCEA(136));
    if (!setMode || !flush) return;
    setMode(dark ? 2 : 0);
    flush();
}

bool IsThemeChangeMessage(UINT message, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED) return true;
    // The app mode's switch comes as a setting change named so; other
    // setting changes carry other names, or none at all.
    if (message != WM_SETTINGCHANGE || lParam == 0) return false;
    return std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0;
}

Palette SystemPalette() {
    return ChoosePalette(ReadSystemLook(ThemeChoice::System));
}

void PaintWindowWith(HWND window, const Palette& palette) {
    UseDarkTitleBar(window, palette.dark);
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            const Palette& p = *reinterpret_cast<const Palette*>(data);
            wchar_t name[32] = {};
            ::GetClassNameW(child, name, 32);
            if (!std::wcscmp(name, WC_LISTVIEWW)) {
                ListView_SetBkColor(child, p.listBackground);
                ListView_SetTextBkColor(child, p.listBackground);
                ListView_SetTextColor(child, p.listText);
                UseDarkControls(child, p.dark);
            } else if (!std::wcscmp(name, WC_BUTTONW)) {
                // Themed boxes draw their text in the theme's black whatever
                // WM_CTLCOLORSTATIC says: in dark mode they go unthemed.
                const LONG_PTR kind = ::GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
                const bool box = kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON;
                SetTheme(child, p.dark ? (box ? L" " : L"DarkMode_Explorer") : nullptr,
                         p.dark && box ? L" " : nullptr);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&palette));
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT ControlColors(HDC dc, std::uint32_t text, std::uint32_t back) {
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, back);
    ::SetDCBrushColor(dc, back);
    return reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH));
}

void FillBackground(HWND window, HDC dc, std::uint32_t colour) {
    RECT client{};
    ::GetClientRect(window, &client);
    ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

}  // namespace jumpnest
