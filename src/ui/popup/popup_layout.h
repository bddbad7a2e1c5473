// The popup's arithmetic: its height from the entries, its place on the
// monitor, the list's place inside it, the fades and the leave check. Pure
// functions on the numbers the window reads from the system.
#pragma once

#include <optional>

#include "trigger/trigger_rules.h"
#include "ui/text/designs.h"

namespace jumpnest {

// Pixels around the list at 96 dots per inch: the title area and the margins.
inline constexpr int kPopupChromePixels = 24;
// How far the mouse may stray from the popup before it fades out, at 96
// dots per inch.
inline constexpr int kLeaveMarginPixels = 100;

// Window height in twips for `itemCount` rows of `itemSpacingPixels`:
// (count x spacing + chrome) x twips per pixel, rounded halves to even, and
// never more than `maxHeightTwips`; the chrome is 24 pixels scaled from 96
// dots per inch to the display's.
int PopupHeightTwips(int itemCount, int itemSpacingPixels, double twipsPerPixelY,
                     int maxHeightTwips);

struct TwipsBounds {
    int left, top, right, bottom;  // twips; right and bottom exclusive
};

// Keeps a popup of the given size inside `area` (the whole monitor under the
// cursor, taskbar included): pushed right of its left edge and below its top,
// then back left and up until it fits. A popup larger than the area keeps the
// area's left and top edges.
MenuOrigin ClampPopupOrigin(MenuOrigin wanted, int widthTwips, int heightTwips, TwipsBounds area);

struct PixelRect {
    int left, top, right, bottom;  // right and bottom exclusive
    bool operator==(const PixelRect&) const = default;
};

// The list inside the popup's client area: one pixel in from the sides and
// the bottom, starting one pixel under the title rule at `lineY`.
PixelRect PopupListRect(int lineY, int clientWidth, int clientHeight);

// The list's one column: its width less a scroll bar and a little air.
int PopupColumnWidth(int listWidth, int thumbWidth, int scrollBarWidth);

// The popup laid out for a monitor of `dpi` dots per inch: every length of
// its design converted through that monitor's twips per pixel, its height
// fitted to `rowCount` rows of `rowHeight` pixels (as the list draws them)
// but no taller than `maxHeight` pixels. All in pixels, the window's client
// area being the whole window.
struct PopupGeometry {
    int width = 0, height = 0;
    int lineY = 0;  // the rule under the title
    PixelRect title, corner;
    PixelRect list;
    int columnWidth = 0;
};
PopupGeometry PopupGeometryFor(int dpi, int rowCount, int rowHeight, int maxHeight, int thumbWidth,
                               int scrollBarWidth);

// The fades. Fading in applies 0, 5, ... 255 and stops; fading out goes down
// by 8 from where the alpha stands and closes the window once it is below 5.
struct FadeState {
    int alpha = 0;
    int step = 0;
};

struct FadeTick {
    std::optional<int> applied;  // the alpha to apply now; none when out of 0..255
    bool stopTimer = false;      // fade-in complete
    bool close = false;          // fade-out complete: the window goes
};

FadeState FadeInStart();
// Starting a fade-out keeps the current alpha; starting it again changes nothing.
void StartFadeOut(FadeState& state);
FadeTick NextFadeTick(FadeState& state);

// The leave check: true when the cursor lies outside the window's rectangle
// widened on every side by 100 pixels grown with the monitor's `dpi`.
bool CursorLeftPopup(ScreenPoint cursor, PixelRect window, int dpi);

}  // namespace jumpnest
