// The rules of the global gestures, apart from any hook: left Ctrl + right
// click asks for the launcher, a middle click opens Explorer when the option
// is on. The hooks translate their records into these events and apply the
// verdict; everything that decides is here and unit-tested.
#pragma once

#include <cstdint>

namespace jumpnest {

inline constexpr std::uint32_t kVkLeftControl = 0xA2;
// The mouse rules act only in this mode; start-up installs the hook with it.
inline constexpr int kActiveMouseHookMode = 2;
// The popup's top-left corner is wanted this far up and left of the cursor.
inline constexpr int kMenuOffsetPixels = 30;

// A keyboard event as the low-level hook sees it. `flags` holds the hook
// record's bits: extended 0x01, injected 0x10, Alt down 0x20, key up 0x80.
struct KeyEvent {
    std::uint32_t vkCode;
    std::uint32_t scanCode;
    std::uint32_t flags;
};

enum class MouseMessage { RightDown, RightUp, RightDoubleClick, MiddleDown, MiddleUp, Other };

struct ScreenPoint {
    int x;
    int y;
    bool operator==(const ScreenPoint&) const = default;
};

struct MouseEvent {
    MouseMessage message;
    ScreenPoint point;  // screen pixels
};

enum class GestureAction {
    None,
    Trigger,       // show the launcher (or the configuration window) for `point`
    OpenExplorer,  // open Explorer on the documents folder
};

struct MouseVerdict {
    bool swallow;  // the event never reaches the window under the mouse
    GestureAction action;
    bool operator==(const MouseVerdict&) const = default;
};

// Whether a key event is a plain key-down of the real left Ctrl key: not
// extended, not injected, not with Alt, not a release, and not the left Ctrl
// that Windows sends ahead of AltGr (its scan code carries 0x200).
bool IsPlainLeftControlDown(const KeyEvent& event);

class GestureRules {
public:
    // Every key event: left Ctrl counts as held exactly while a plain
    // left-Ctrl key-down was the last key event.
    void OnKey(const KeyEvent& event);

    // The verdict for one mouse event. `mode` is the hook's mode (the rules
    // act only in kActiveMouseHookMode); `explorerOption` is the middle-button
    // option at this moment. `leftAlone` counts at a press only: the place
    // under the mouse is one the gestures stand aside for (pass_through.h).
    // A window sees both halves of a click or neither: a release is swallowed
    // exactly when its press was, whatever happened between them (Ctrl
    // pressed or let go, the option changed, the mouse moved elsewhere).
    // A window that got the press and never the release stays in its drag.
    // `controlDownNow` counts for the right button only: whether Windows
    // holds left Ctrl down at this moment. The release of Ctrl can escape the
    // keyboard hook (Windows drops a slow hook, another program's hook
    // swallows it, the desktop switches), and a right click must not be taken
    // on a Ctrl that is no longer held: such a click passes on and forgets
    // the Ctrl. Otherwise mouse events never change the Ctrl state.
    MouseVerdict OnMouse(const MouseEvent& event, int mode, bool explorerOption, bool leftAlone,
                         bool controlDownNow);

    // Whether OnMouse would read `leftAlone` for this event: the hooks look
    // the place up only then.
    bool PlaceMatters(MouseMessage message, int mode, bool explorerOption) const;
    // Whether OnMouse reads `controlDownNow` for this message.
    static bool ControlMatters(MouseMessage message) {
        return message == MouseMessage::RightDown || message == MouseMessage::RightUp;
    }

    bool leftControlDown() const { return leftControlDown_; }

private:
    bool leftControlDown_ = false;
    bool rightPressTaken_ = false;   // the last right press was swallowed
    bool middlePressTaken_ = false;  // the last middle press was swallowed
};

struct MenuOrigin {
    int left;  // twips
    int top;   // twips
    bool operator==(const MenuOrigin&) const = default;
};

// Where the popup's top-left corner is wanted for a trigger at `point`:
// 30 pixels up and left, in twips, rounded to the nearest (halves to even).
MenuOrigin MenuOriginFor(ScreenPoint point, double twipsPerPixelX, double twipsPerPixelY);

// Windows removes a low-level hook whose callback was too slow, silently.
// The hooks note the time of the last event they saw; when the system has
// seen input more than `graceMs` after that, the hooks missed it and must be
// installed again. Times are 32-bit millisecond tick counts, which wrap.
bool HooksMissedInput(std::uint32_t lastInputTick, std::uint32_t lastHookEventTick,
                      std::uint32_t graceMs);

}  // namespace jumpnest
