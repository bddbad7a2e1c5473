// Building the popup's design: it must come out borderless, out of the
// taskbar, with its children placed in pixels.
#include "ui/config/design_builder_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "core/window_win.h"

namespace jumpnest {
namespace {

class DesignedWindow final : public Window {
public:
    bool Open(const WindowDesign& design) {
        const WindowStyles styles = StylesFor(design);
        const SIZE size = FrameSizeFor(design, 15.0);
        if (!Create(L"jumpnestDesignTest", L"", styles.style, styles.exStyle, 0, 0, size.cx,
                    size.cy, nullptr)) {
            return false;
        }
        built.Build(design, hwnd(), 15.0);
        return true;
    }
    BuiltDesign built;
};

RECT PlaceOf(HWND parent, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(DesignBuilder, PopupIsBorderlessWithItsControlsInPixels) {
    DesignedWindow popup;
    ASSERT_TRUE(popup.Open(MenuWindowDesign()));
    const LONG style = ::GetWindowLongW(popup.hwnd(), GWL_STYLE);
    const LONG exStyle = ::GetWindowLongW(popup.hwnd(), GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    RECT client{};
    ::GetClientRect(popup.hwnd(), &client);
    EXPECT_EQ(client.right, 226);
    EXPECT_EQ(client.bottom, 235);

    HWND title = popup.built.Window("lbl", 0);
    HWND list = popup.built.Window("lvwMenu");
    ASSERT_TRUE(title && list && popup.built.Window("lbl", 1));
    EXPECT_EQ(PlaceOf(popup.hwnd(), title).left, 5);  // 75 twips
    EXPECT_EQ(PlaceOf(popup.hwnd(), title).top, 4);   // 60 twips
    EXPECT_EQ(PlaceOf(popup.hwnd(), list).top, 28);   // 420 twips
    // "&" is a plain character in the title; the list has rows without a header.
    EXPECT_TRUE(::GetWindowLongW(title, GWL_STYLE) & SS_NOPREFIX);
    EXPECT_TRUE(::GetWindowLongW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER);
    // Timers, the line, the image and the shape are drawn or run by the popup.
    EXPECT_EQ(popup.built.controls().size(), 3u);
}

TEST(DesignBuilder, ConfigurationWindowHasAFixedDialogFrameInTheTaskbar) {
    const WindowStyles styles = StylesFor(MainWindowDesign());
    EXPECT_TRUE(styles.style & WS_CAPTION);
    EXPECT_TRUE(styles.style & WS_SYSMENU);
    EXPECT_FALSE(styles.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(styles.exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(styles.hasMenu);
}

}  // namespace
}  // namespace jumpnest
