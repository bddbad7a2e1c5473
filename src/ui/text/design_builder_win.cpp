#include "ui/text/design_builder_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/pictures_win.h"

namespace jumpnest {

namespace {

constexpr int kFirstControlId = 1000;

struct WindowClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

std::optional<WindowClassAndStyle> ClassFor(const ControlDesign& control) {
    const DWORD tab = control.tabIndex >= 0 ? WS_TABSTOP : 0;
    switch (control.kind) {
    case ControlKind::Label:
        // SS_NOTIFY: labels take clicks. "&" marks an access key only where
        // the design says so; elsewhere it is a plain character.
        return WindowClassAndStyle{
            WC_STATICW,
            SS_NOTIFY | SS_LEFT | ((control.flags & kAccessKeys) ? 0u : DWORD{SS_NOPREFIX}), 0};
    case ControlKind::CommandButton:
        return WindowClassAndStyle{
            WC_BUTTONW,
            tab | ((control.flags & kGraphical) ? DWORD{BS_ICON} : 0u) |
                ((control.flags & kDefaultButton) ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON}),
            0};
    case ControlKind::Frame:
        return WindowClassAndStyle{WC_BUTTONW, BS_GROUPBOX, 0};
    case ControlKind::CheckBox:
        return WindowClassAndStyle{
            WC_BUTTONW,
            tab | BS_AUTOCHECKBOX |
                ((control.flags & kTwoLines) ? DWORD{BS_MULTILINE | BS_TOP} : 0u),
            0};
    case ControlKind::OptionButton:
        return WindowClassAndStyle{WC_BUTTONW, tab | BS_AUTORADIOBUTTON, 0};
    case ControlKind::ListView:
        // The image lists belong to the window that fills them, never to
        // the list view, so that each icon has exactly one owner.
        return WindowClassAndStyle{
            WC_LISTVIEWW,
            tab | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                ((control.flags & kNoColumnHeader) ? DWORD{LVS_NOCOLUMNHEADER} : 0u) |
                ((control.flags & kVirtualList) ? DWORD{LVS_OWNERDATA} : 0u) |
                ((control.flags & kEditLabels) ? DWORD{LVS_EDITLABELS} : 0u),
            (control.flags & kBorderless) ? 0u : DWORD{WS_EX_CLIENTEDGE}};
    case ControlKind::HotKey:
        return WindowClassAndStyle{HOTKEY_CLASSW, tab, WS_EX_CLIENTEDGE};
    default:
        return std::nullopt;  // drawn or kept by the owner, or a container only
    }
}

}  // namespace

WindowStyles StylesFor(const WindowDesign& design) {
    WindowStyles styles{};
    if (design.border == WindowBorder::FixedDialog) {
        styles.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        styles.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    } else {
        styles.style = WS_POPUP;
        styles.exStyle = WS_EX_CONTROLPARENT;
    }
    // A tool window stays out of the taskbar and Alt+Tab.
    styles.exStyle |= design.inTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    styles.hasMenu = !design.menu.empty();
    return styles;
}

SIZE FrameSizeFor(const WindowDesign& design, int dpi) {
    const WindowStyles styles = StylesFor(design);
    const double twipsPerPixel = TwipsPerPixel(dpi);
    RECT frame{0, 0, TwipsToPixels(design.clientWidth, twipsPerPixel),
               TwipsToPixels(design.clientHeight, twipsPerPixel)};
    AdjustRectForDpi(frame, styles.style, styles.hasMenu, styles.exStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

UniqueIcon ScaledPicture(int bitmapId, int size) {
    UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                          IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    std::optional<ArgbPicture> picture = PictureOfBitmap(bitmap.get(), RGB(255, 255, 255));
    if (!picture) return {};
    if (picture->size != size) picture = ResamplePicture(*picture, size);
    return IconOfPicture(*picture);
}

COLORREF DesignColor(std::uint32_t color) {
    if (color & kSysColorFlag) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color);
}

HBRUSH DesignBrush(HDC dc, std::uint32_t color) {
    if (color & kSysColorFlag) return ::GetSysColorBrush(static_cast<int>(color & 0xFF));
    ::SetDCBrushColor(dc, static_cast<COLORREF>(color));
    return static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
}

int ControlId(const ControlDesign& control, int position) {
    if (control.flags & kDefaultButton) return IDOK;
    if (control.flags & kCancelButton) return IDCANCEL;
    return kFirstControlId + position;
}

void SetExplorerTheme(HWND window) {
    // SetWindowTheme lives in uxtheme.dll, which older systems may lack: it
    // is looked up only when the library was found at start-up.
    if (!gThemed) return;
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme) return;
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme) setTheme(window, L"explorer", nullptr);
}

void SetTopmost(HWND window, bool on) {
    ::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HFONT BuiltDesign::FontFor(const FontDesign& font) {
    // Fonts are made once for the whole run and shared by both windows; they
    // outlive every window, being freed only after the program's end.
    struct CachedFont {
        FontDesign design;
        double twipsPerPixel;
        UniqueFont handle;
    };
    static std::vector<CachedFont> cache;
    for (const CachedFont& cached : cache) {
        const FontDesign& d = cached.design;
        if (d.face == font.face && d.points == font.points && d.weight == font.weight &&
            d.underline == font.underline && cached.twipsPerPixel == twipsPerPixel_) {
            return cached.handle.get();
        }
    }
    LOGFONTW logFont{};
    logFont.lfHeight =
        -static_cast<LONG>(std::lround(font.points * kTwipsPerInch / 72.0 / twipsPerPixel_));
    logFont.lfWeight = font.weight;
    logFont.lfUnderline = font.underline ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = Widen(font.face);
    face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    cache.push_back({font, twipsPerPixel_, UniqueFont(::CreateFontIndirectW(&logFont))});
    return cache.back().handle.get();
}

void BuiltDesign::Build(const WindowDesign& design, HWND parent, double twipsPerPixel) {
    twipsPerPixel_ = twipsPerPixel;
    // Windows keep their tab order in their Z order: create in tab order.
    std::vector<int> order;
    for (size_t i = 0; i < design.controls.size(); ++i) order.push_back(static_cast<int>(i));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int ta = design.controls[a].tabIndex, tb = design.controls[b].tabIndex;
        return (ta < 0 ? 1 << 20 : ta) < (tb < 0 ? 1 << 20 : tb);
    });

    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const ControlDesign* previousRadio = nullptr;
    for (int position : order) {
        const ControlDesign& control = design.controls[position];
        const auto windowClass = ClassFor(control);
        if (!windowClass) continue;
        const TwipsRect rect = PlaceInWindow(design, control);
        DWORD style = WS_CHILD | WS_VISIBLE | windowClass->style;
        // Option buttons of one container form a group; anything else
        // starts a new one.
        const bool radio = control.kind == ControlKind::OptionButton;
        if (!radio || !previousRadio || previousRadio->container != control.container) {
            style |= WS_GROUP;
        }
        previousRadio = radio ? &control : nullptr;

        const int id = ControlId(control, position);
        HWND hwnd = ::CreateWindowExW(
            windowClass->exStyle, windowClass->className, Widen(control.caption).c_str(), style,
            Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!hwnd) continue;
        if (control.font) {
            ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(*control.font)),
                           FALSE);
        }
        if (radio && (control.flags & kSelected)) {
            ::SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        }
        if (!control.toolTip.empty()) {
            if (!toolTip_) {
                toolTip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                             parent, nullptr, instance, nullptr);
            }
            std::wstring tip = Widen(control.toolTip);
            TOOLINFOW info{};
            info.cbSize = sizeof(info);
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = parent;
            info.uId = reinterpret_cast<UINT_PTR>(hwnd);
            info.lpszText = tip.data();
            ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        controls_.push_back({&control, hwnd, id});
    }
}

void BuiltDesign::Rescale(const WindowDesign& design, double twipsPerPixel) {
    twipsPerPixel_ = twipsPerPixel;
    for (const BuiltControl& control : controls_) {
        const TwipsRect rect = PlaceInWindow(design, *control.design);
        ::MoveWindow(control.hwnd, Pixels(rect.left), Pixels(rect.top), Pixels(rect.width),
                     Pixels(rect.height), FALSE);
        if (control.design->font) {
            ::SendMessageW(control.hwnd, WM_SETFONT,
                           reinterpret_cast<WPARAM>(FontFor(*control.design->font)), FALSE);
        }
    }
}

const BuiltControl* BuiltDesign::Find(std::string_view name, int index) const {
    for (const BuiltControl& control : controls_) {
        if (control.design->name == name && control.design->index == index) return &control;
    }
    return nullptr;
}

const BuiltControl* BuiltDesign::FindById(int id) const {
    for (const BuiltControl& control : controls_) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

HWND BuiltDesign::Window(std::string_view name, int index) const {
    const BuiltControl* control = Find(name, index);
    return control ? control->hwnd : nullptr;
}

}  // namespace jumpnest
