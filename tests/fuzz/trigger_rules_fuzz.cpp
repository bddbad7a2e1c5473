// Key and mouse events as the hooks deliver them, then a menu origin and hook-health ticks.
#include <fuzzer/FuzzedDataProvider.h>

#include "support/fuzz_check.h"
#include "trigger/trigger_rules.h"

#include <utility>

using namespace jumpnest;
using M = MouseMessage;

constexpr std::uint32_t kKeys[] = {kVkLeftControl, 0xA3, 0xA0, 0xA5, 'C'}, kScans[] = {0x1D, 0x21D};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    GestureRules rules;
    bool taken[2] = {};  // the last middle and right presses were swallowed
    for (int n = in.ConsumeIntegralInRange(0, 64); n > 0 && in.remaining_bytes() > 0; --n) {
        if (in.ConsumeBool()) {
            KeyEvent key{in.PickValueInArray(kKeys), in.PickValueInArray(kScans),
                         in.ConsumeIntegral<std::uint8_t>()};
            if (in.ConsumeBool()) key.scanCode = in.ConsumeIntegral<std::uint32_t>();
            rules.OnKey(key);
            // A release, an injected key or any other key never holds Ctrl.
            FUZZ_CHECK(rules.leftControlDown() == IsPlainLeftControlDown(key));
            FUZZ_CHECK(!rules.leftControlDown() ||
                       (key.vkCode == kVkLeftControl && !(key.flags & 0x90)));
            continue;
        }
        const auto message = static_cast<M>(in.ConsumeIntegralInRange(0, 5));
        const int mode = in.ConsumeBool() ? kActiveMouseHookMode : in.ConsumeIntegralInRange(-1, 4);
        const bool explorer = in.ConsumeBool(), place = in.ConsumeBool(), now = in.ConsumeBool();
        const bool placeMatters = rules.PlaceMatters(message, mode, explorer);
        const MouseVerdict verdict =
            rules.OnMouse({message, {in.ConsumeIntegral<int>(), 0}}, mode, explorer, place, now);
        // A right click never outlives a Ctrl that Windows no longer holds.
        FUZZ_CHECK(now || !rules.leftControlDown() || mode != kActiveMouseHookMode ||
                   !GestureRules::ControlMatters(message));
        // A press over a place left alone reaches its window.
        FUZZ_CHECK(!verdict.swallow || !(place && placeMatters));
        // A window gets both halves of a click or neither, and only a taken event acts.
        const bool right = message == M::RightDown || message == M::RightUp;
        if (mode != kActiveMouseHookMode) taken[0] = taken[1] = false;
        if (message == M::RightDown || message == M::MiddleDown) taken[right] = verdict.swallow;
        if (message == M::RightUp || message == M::MiddleUp) {
            FUZZ_CHECK(verdict.swallow == std::exchange(taken[right], false));
        }
        const bool press = mode == kActiveMouseHookMode &&
                           ((message == M::RightDown && rules.leftControlDown() && now) ||
                            (message == M::MiddleDown && explorer));
        FUZZ_CHECK((verdict.swallow || verdict.action == GestureAction::None) &&
                   (press || message == M::RightUp || message == M::MiddleUp || !verdict.swallow));
        FUZZ_CHECK(verdict.action != GestureAction::Trigger ||
                   (message == M::RightUp && rules.leftControlDown() && now));
        FUZZ_CHECK(verdict.action != GestureAction::OpenExplorer || message == M::MiddleUp);
    }
    // Any point must do (UBSan stops a result outside the int range), on the same side of
    // the offset: 30 pixels at 96 dots per inch, grown with the scale.
    const ScreenPoint point{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()};
    const int dpi = in.ConsumeIntegralInRange(1, 99999);
    const MenuOrigin origin = MenuOriginFor(point, 1440.0 / dpi, 15);
    FUZZ_CHECK(origin.left == 0 || (point.x > kMenuOffsetPixels * dpi / 96.0) == (origin.left > 0));
    FUZZ_CHECK(origin.top == 0 || (point.y > kMenuOffsetPixels) == (origin.top > 0));
    // Only the distance between the ticks counts, never where the counter wraps.
    using U = std::uint32_t;
    const U input = in.ConsumeIntegral<U>(), hook = in.ConsumeIntegral<U>();
    const U grace = in.ConsumeIntegral<U>(), shift = in.ConsumeIntegral<U>();
    const bool missed = HooksMissedInput(input, hook, grace);
    FUZZ_CHECK(HooksMissedInput(input + shift, hook + shift, grace) == missed);
    FUZZ_CHECK(!missed ||
               (HooksMissedInput(input, hook, grace / 2) && !HooksMissedInput(hook, input, 0)));
    return 0;
}
