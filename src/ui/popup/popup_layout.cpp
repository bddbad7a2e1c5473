#include "ui/popup/popup_layout.h"

#include <algorithm>
#include <cmath>

#include "core/scale.h"

namespace jumpnest {

namespace {

// The fade timer ticks every 10 ms: 5 per tick fades in over about half a
// second; 8 per tick fades out a little quicker, so a launch feels immediate.
constexpr int kFadeInStep = 5;
constexpr int kFadeOutStep = -8;
constexpr int kOpaqueAlpha = 255;
// Below this the window is all but invisible, so the fade-out may end.
constexpr int kCloseBelowAlpha = 5;

// One axis of the clamp. The far edge is applied first and the near edge
// last, so a popup larger than the area starts at its left or top edge, where
// its title and first entries stay on screen.
int ClampAxis(int wanted, int size, int areaStart, int areaEnd) {
    return std::max(areaStart, std::min(wanted, areaEnd - size));
}

}  // namespace

int PopupHeightTwips(int itemCount, int itemSpacingPixels, double twipsPerPixelY,
                     int maxHeightTwips) {
    // The title area and the margins grow with the display's scale like the
    // rows do: 24 pixels at 96 dots per inch (15 twips per pixel).
    const int chrome = static_cast<int>(std::lround(kPopupChromePixels * 15.0 / twipsPerPixelY));
    const int pixels = itemCount * itemSpacingPixels + chrome;
    // Too many entries: the window stops at the monitor's height and the
    // list scrolls.
    return std::min(PixelsToTwips(pixels, twipsPerPixelY), maxHeightTwips);
}

MenuOrigin ClampPopupOrigin(MenuOrigin wanted, int widthTwips, int heightTwips, TwipsBounds area) {
    // One monitor, not the whole virtual screen: the popup must not straddle
    // two, and a monitor left of or above the primary one has negative
    // coordinates that are valid places. Its whole rectangle, not the work
    // area: a short-lived popup at the cursor may cover the taskbar, as a
    // context menu does.
    return {ClampAxis(wanted.left, widthTwips, area.left, area.right),
            ClampAxis(wanted.top, heightTwips, area.top, area.bottom)};
}

PixelRect PopupListRect(int lineY, int clientWidth, int clientHeight) {
    // The one-pixel margins leave the border drawn around the window visible.
    const int left = 1;
    const int top = lineY + 1;
    const int width = clientWidth - 2;
    const int height = clientHeight - 2 - lineY;
    return {left, top, left + width, top + height};
}

int PopupColumnWidth(int listWidth, int thumbWidth, int scrollBarWidth) {
    // Room for a vertical scroll bar is kept even when none shows, so the
    // column never needs a horizontal one once the list grows.
    return listWidth - (thumbWidth + scrollBarWidth + 2);
}

PopupGeometry PopupGeometryFor(int dpi, int rowCount, int rowHeight, int maxHeight, int thumbWidth,
                               int scrollBarWidth) {
    const double twipsPerPixel = TwipsPerPixel(dpi);
    const WindowDesign& design = MenuWindowDesign();
    auto pixels = [&](int twips) { return TwipsToPixels(twips, twipsPerPixel); };
    auto rect = [&](const char* name, int index) {
        const ControlDesign& control = *FindControl(design, name, index);
        return PixelRect{pixels(control.left), pixels(control.top),
                         pixels(control.left + control.width),
                         pixels(control.top + control.height)};
    };
    PopupGeometry geometry;
    geometry.width = pixels(design.clientWidth);
    geometry.height = pixels(PopupHeightTwips(rowCount, rowHeight, twipsPerPixel,
                                              PixelsToTwips(maxHeight, twipsPerPixel)));
    geometry.lineY = pixels(FindControl(design, "Line1")->top);
    geometry.title = rect("lbl", 0);
    geometry.corner = rect("cmdClose", -1);
    geometry.list = PopupListRect(geometry.lineY, geometry.width, geometry.height);
    geometry.columnWidth =
        PopupColumnWidth(geometry.list.right - geometry.list.left, thumbWidth, scrollBarWidth);
    return geometry;
}

FadeState FadeInStart() {
    return {0, kFadeInStep};
}

void StartFadeOut(FadeState& state) {
    // The alpha stays where it is: a fade-out during the fade-in reverses
    // from the current opacity instead of jumping.
    state.step = kFadeOutStep;
}

FadeTick NextFadeTick(FadeState& state) {
    FadeTick tick;
    // The alpha is applied before it moves on, so the fade-in shows 0 first
    // and ends exactly on 255. After a complete fade-in the alpha stands one
    // step past opaque; that value is skipped rather than applied.
    if (state.alpha >= 0 && state.alpha <= kOpaqueAlpha) tick.applied = state.alpha;
    state.alpha += state.step;
    tick.stopTimer = state.alpha > kOpaqueAlpha;
    // A fade-in starts at 0 and is at 5 after its first tick, so only a
    // fade-out ever gets here.
    tick.close = state.alpha < kCloseBelowAlpha;
    return tick;
}

bool CursorLeftPopup(ScreenPoint cursor, PixelRect window, int dpi) {
    // The margin forgives a mouse that overshoots the popup on its way to an
    // entry. Right and bottom stay exclusive, as for any window rectangle.
    const int margin = ScaleForDpi(kLeaveMarginPixels, dpi);
    const bool inside = cursor.x >= window.left - margin && cursor.x < window.right + margin &&
                        cursor.y >= window.top - margin && cursor.y < window.bottom + margin;
    return !inside;
}

}  // namespace jumpnest
