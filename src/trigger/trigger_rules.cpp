#include "trigger/trigger_rules.h"

#include <cmath>
#include <limits>
#include <utility>

namespace jumpnest {

namespace {

// Bits of the scan code and of the hook record's flags that matter here.
constexpr std::uint32_t kAltGrScanCodeBit = 0x200;
constexpr std::uint32_t kPlainKeyDownFlags = 0;

// Half of the tick counter's range: a difference at or beyond it can only be
// an input tick from before the hook's last event that wrapped around.
constexpr std::uint32_t kHalfTickRange = 0x80000000u;

MouseVerdict PassOn() {
    return {false, GestureAction::None};
}
MouseVerdict Swallow(GestureAction action) {
    return {true, action};
}

// One coordinate of the menu origin. The hook's point is whatever the mouse
// record carries, so neither the offset nor the twips can be taken to fit in
// an int: both are worked out in double, which holds every int exactly, and
// the result stops at the ends of the int range. Within it, this rounds
// exactly as PixelsToTwips does.
// The offset is 30 pixels at 96 dots per inch and grows with the display's
// scale like the popup does, so the cursor lands on the first row at any
// scale: in twips it is the same at every one.
int OffsetInTwips(int pixel, double twipsPerPixel) {
    const double twips = static_cast<double>(pixel) * twipsPerPixel - kMenuOffsetPixels * 15.0;
    if (!(twips > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (!(twips < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(twips));
}

}  // namespace

bool IsPlainLeftControlDown(const KeyEvent& event) {
    // Flags of 0 already rule out a release, Alt, an injected key and the
    // extended (right) Ctrl, so the key message itself need not be read.
    // AltGr arrives as a synthesised left Ctrl followed by right Alt; that
    // Ctrl looks plain in every flag and differs only in its scan code.
    return event.vkCode == kVkLeftControl && event.flags == kPlainKeyDownFlags &&
           (event.scanCode & kAltGrScanCodeBit) == 0;
}

void GestureRules::OnKey(const KeyEvent& event) {
    // Any other key since the Ctrl press means Ctrl is part of a shortcut
    // (Ctrl+Shift, Ctrl+C...), not our gesture; auto-repeat of left Ctrl
    // keeps sending plain key-downs and so keeps the flag.
    leftControlDown_ = IsPlainLeftControlDown(event);
}

bool GestureRules::PlaceMatters(MouseMessage message, int mode, bool explorerOption) const {
    // Only a press that would be swallowed: its release follows it.
    return mode == kActiveMouseHookMode &&
           ((message == MouseMessage::RightDown && leftControlDown_) ||
            (message == MouseMessage::MiddleDown && explorerOption));
}

MouseVerdict GestureRules::OnMouse(const MouseEvent& event, int mode, bool explorerOption,
                                   bool leftAlone, bool controlDownNow) {
    if (mode != kActiveMouseHookMode) {
        // Out of its mode the hook takes nothing, so no release is owed.
        rightPressTaken_ = middlePressTaken_ = false;
        return PassOn();
    }
    // A Ctrl whose release the keyboard hook missed stays stuck no longer
    // than the next right click.
    if (ControlMatters(event.message) && !controlDownNow) leftControlDown_ = false;
    switch (event.message) {
    case MouseMessage::RightDown:
        // The press is swallowed too, or the window under the mouse would
        // open its own context menu on top of the launcher.
        rightPressTaken_ = leftControlDown_ && !leftAlone;
        return rightPressTaken_ ? Swallow(GestureAction::None) : PassOn();
    case MouseMessage::RightUp:
        // A press the window got ends in a release it gets, even with Ctrl
        // pressed meanwhile: no launcher then. A swallowed press keeps its
        // release from the window, and the launcher opens only if Ctrl is
        // still held.
        if (!std::exchange(rightPressTaken_, false)) return PassOn();
        return Swallow(leftControlDown_ ? GestureAction::Trigger : GestureAction::None);
    case MouseMessage::MiddleDown:
        middlePressTaken_ = explorerOption && !leftAlone;
        return middlePressTaken_ ? Swallow(GestureAction::None) : PassOn();
    case MouseMessage::MiddleUp:
        if (!std::exchange(middlePressTaken_, false)) return PassOn();
        return Swallow(explorerOption ? GestureAction::OpenExplorer : GestureAction::None);
    case MouseMessage::RightDoubleClick:
    case MouseMessage::Other:
        return PassOn();
    }
    return PassOn();
}

MenuOrigin MenuOriginFor(ScreenPoint point, double twipsPerPixelX, double twipsPerPixelY) {
    return {OffsetInTwips(point.x, twipsPerPixelX), OffsetInTwips(point.y, twipsPerPixelY)};
}

bool HooksMissedInput(std::uint32_t lastInputTick, std::uint32_t lastHookEventTick,
                      std::uint32_t graceMs) {
    // Unsigned subtraction measures the gap across the wrap of the tick
    // count (every 49.7 days).
    const std::uint32_t later = lastInputTick - lastHookEventTick;
    return later < kHalfTickRange && later > graceMs;
}

}  // namespace jumpnest
