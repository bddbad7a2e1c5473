// Fuzzes the gesture rules: the input is a sequence of key and mouse events
// as the hooks would deliver them, each checked against the rules' promises,
// then a menu origin and a hook-health question from the remaining bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "trigger/trigger_rules.h"

namespace {

using jumpnest::GestureAction;
using jumpnest::KeyEvent;
using jumpnest::MouseEvent;
using jumpnest::MouseMessage;
using jumpnest::MouseVerdict;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "trigger_rules_fuzz: %s\n", what);
    std::abort();
}

// The hook record's flag bits: extended, lower-integrity injected (never
// without injected), injected, Alt down, key up.
constexpr std::uint32_t kExtended = 0x01;
constexpr std::uint32_t kLowerIlInjected = 0x02 | 0x10;
constexpr std::uint32_t kInjected = 0x10;
constexpr std::uint32_t kAltDown = 0x20;
constexpr std::uint32_t kKeyUp = 0x80;

KeyEvent ConsumeKey(FuzzedDataProvider& input) {
    // Mostly the keys that matter, sometimes any key at all.
    static constexpr std::array<std::uint32_t, 6> kKeys = {0xA2, 0xA3, 0xA0, 0xA5, 0x11, 'C'};
    static constexpr std::array<std::uint32_t, 4> kScanCodes = {0x1D, 0x21D, 0x38, 0x2A};
    KeyEvent event{};
    event.vkCode = input.ConsumeBool() ? input.PickValueInArray(kKeys)
                                       : input.ConsumeIntegralInRange<std::uint32_t>(0, 0xFF);
    event.scanCode = input.ConsumeBool() ? input.PickValueInArray(kScanCodes)
                                         : input.ConsumeIntegral<std::uint32_t>();
    const std::uint8_t bits = input.ConsumeIntegral<std::uint8_t>();
    if (bits & 0x01) event.flags |= kExtended;
    if (bits & 0x02) event.flags |= kLowerIlInjected;
    if (bits & 0x04) event.flags |= kInjected;
    if (bits & 0x08) event.flags |= kAltDown;
    if (bits & 0x10) event.flags |= kKeyUp;
    return event;
}

// The rule as a user would state it: the real left Ctrl key pressed, by a
// person, without Alt; AltGr's stand-in Ctrl has scan code 0x21D.
bool IsRealLeftCtrlPress(const KeyEvent& event) {
    return event.vkCode == 0xA2 && event.flags == 0 && (event.scanCode & 0x200) == 0;
}

void CheckVerdict(const MouseEvent& event, int mode, bool explorer, bool ctrlDown,
                  const MouseVerdict& verdict) {
    if (verdict.action != GestureAction::None && !verdict.swallow) {
        Fail("an event that acts is passed on to the window too");
    }
    if (mode != jumpnest::kActiveMouseHookMode) {
        if (verdict.swallow || verdict.action != GestureAction::None) {
            Fail("a mouse event is taken in an inactive mode");
        }
        return;
    }
    const bool right =
        event.message == MouseMessage::RightDown || event.message == MouseMessage::RightUp;
    const bool middle =
        event.message == MouseMessage::MiddleDown || event.message == MouseMessage::MiddleUp;
    const bool expectedSwallow = (right && ctrlDown) || (middle && explorer);
    if (verdict.swallow != expectedSwallow) Fail("wrong swallow verdict");
    const GestureAction expectedAction =
        event.message == MouseMessage::RightUp && ctrlDown    ? GestureAction::Trigger
        : event.message == MouseMessage::MiddleUp && explorer ? GestureAction::OpenExplorer
                                                              : GestureAction::None;
    if (verdict.action != expectedAction) Fail("wrong action");
}

void CheckMenuOrigin(FuzzedDataProvider& input) {
    const jumpnest::ScreenPoint point{input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>()};
    // Twips per pixel as Windows can give them: 1440 over any positive
    // number of dots per inch.
    static constexpr std::array<double, 4> kCommon = {15.0, 12.0, 10.0, 7.5};
    auto scale = [&] {
        return input.ConsumeBool() ? input.PickValueInArray(kCommon)
                                   : 1440.0 / input.ConsumeIntegralInRange<int>(1, 100000);
    };
    const double tppX = scale();
    const double tppY = scale();
    const jumpnest::MenuOrigin origin = jumpnest::MenuOriginFor(point, tppX, tppY);
    // Within a twip of the exact place, or at the end of the int range
    // when that place lies beyond it.
    auto near = [](int twips, int pixel, double tpp) {
        const double exact = (static_cast<double>(pixel) - jumpnest::kMenuOffsetPixels) * tpp;
        const double lowest = std::numeric_limits<int>::min();
        const double highest = std::numeric_limits<int>::max();
        if (exact <= lowest) return twips == std::numeric_limits<int>::min();
        if (exact >= highest) return twips == std::numeric_limits<int>::max();
        return std::fabs(twips - exact) <= 0.5;
    };
    if (!near(origin.left, point.x, tppX) || !near(origin.top, point.y, tppY)) {
        Fail("the menu origin is not 30 pixels up and left of the point");
    }
}

void CheckHooksMissedInput(FuzzedDataProvider& input) {
    const std::uint32_t lastInput = input.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t lastHook = input.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t grace = input.ConsumeIntegral<std::uint32_t>();
    const std::uint32_t shift = input.ConsumeIntegral<std::uint32_t>();
    const bool missed = jumpnest::HooksMissedInput(lastInput, lastHook, grace);
    // Only the distance between the ticks counts, not where the counter is.
    if (jumpnest::HooksMissedInput(lastInput + shift, lastHook + shift, grace) != missed) {
        Fail("the verdict depends on where the tick counter wraps");
    }
    if (missed && jumpnest::HooksMissedInput(lastInput, lastHook, 0) == false) {
        Fail("a longer grace finds input a shorter one does not");
    }
    if (jumpnest::HooksMissedInput(lastHook, lastHook, 0)) Fail("input at the hook's own tick");
    // An input tick before the hook's last event is never a miss.
    if (missed && jumpnest::HooksMissedInput(lastHook, lastInput, grace) && lastInput != lastHook) {
        Fail("both ticks count as later than the other");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    jumpnest::GestureRules rules;
    bool lastKeyWasCtrlPress = false;
    const size_t events = input.ConsumeIntegralInRange<size_t>(0, 64);
    for (size_t i = 0; i < events && input.remaining_bytes() > 0; ++i) {
        if (input.ConsumeBool()) {
            const KeyEvent key = ConsumeKey(input);
            if (jumpnest::IsPlainLeftControlDown(key) != IsRealLeftCtrlPress(key)) {
                Fail("IsPlainLeftControlDown misjudges a key");
            }
            rules.OnKey(key);
            lastKeyWasCtrlPress = IsRealLeftCtrlPress(key);
        } else {
            const MouseEvent event{
                static_cast<MouseMessage>(input.ConsumeIntegralInRange<int>(0, 5)),
                {input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>()}};
            const int mode = input.ConsumeBool() ? jumpnest::kActiveMouseHookMode
                                                 : input.ConsumeIntegralInRange<int>(-1, 4);
            const bool explorer = input.ConsumeBool();
            const MouseVerdict verdict = rules.OnMouse(event, mode, explorer);
            CheckVerdict(event, mode, explorer, lastKeyWasCtrlPress, verdict);
        }
        if (rules.leftControlDown() != lastKeyWasCtrlPress) {
            Fail("the Ctrl state is not that of the last key event");
        }
    }
    CheckMenuOrigin(input);
    CheckHooksMissedInput(input);
    return 0;
}
