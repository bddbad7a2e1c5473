#include "trigger/trigger_rules.h"

#include <gtest/gtest.h>

#include <limits>
#include <variant>
#include <vector>

namespace jumpnest {
namespace {

// Key events as the low-level hook reports them.
constexpr KeyEvent kLeftCtrlDown{0xA2, 0x1D, 0x00};
constexpr KeyEvent kLeftCtrlUp{0xA2, 0x1D, 0x80};
constexpr KeyEvent kLeftCtrlWithAlt{0xA2, 0x1D, 0x20};
constexpr KeyEvent kLeftCtrlInjected{0xA2, 0x1D, 0x10};
constexpr KeyEvent kRightCtrlDown{0xA3, 0x1D, 0x01};
constexpr KeyEvent kShiftDown{0xA0, 0x2A, 0x00};
constexpr KeyEvent kShiftUp{0xA0, 0x2A, 0x80};
constexpr KeyEvent kLetterDown{'C', 0x2E, 0x00};
// AltGr on a German layout: a synthesised left Ctrl, then right Alt.
constexpr KeyEvent kAltGrCtrlDown{0xA2, 0x21D, 0x00};
constexpr KeyEvent kAltGrRightAltDown{0xA5, 0x38, 0x21};

constexpr MouseVerdict kPass{false, GestureAction::None};
constexpr MouseVerdict kSwallow{true, GestureAction::None};
constexpr MouseVerdict kTrigger{true, GestureAction::Trigger};
constexpr MouseVerdict kExplorer{true, GestureAction::OpenExplorer};

using M = MouseMessage;

// A key goes to OnKey; a mouse message is checked against its verdict.
struct Step {
    std::variant<KeyEvent, MouseMessage> input;
    MouseVerdict expected = kPass;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    bool explorerOption = false;
};

TEST(GestureRules, Sequences) {
    const Sequence sequences[] = {
        {"left ctrl + right click",
         {{kLeftCtrlDown}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}}},
        {"right ctrl", {{kRightCtrlDown}, {M::RightDown}, {M::RightUp}}},
        {"shift after ctrl", {{kLeftCtrlDown}, {kShiftDown}, {M::RightDown}, {M::RightUp}}},
        {"ctrl with alt", {{kLeftCtrlWithAlt}, {M::RightDown}, {M::RightUp}}},
        {"injected ctrl", {{kLeftCtrlInjected}, {M::RightDown}, {M::RightUp}}},
        {"altgr", {{kAltGrCtrlDown}, {kAltGrRightAltDown}, {M::RightDown}, {M::RightUp}}},
        {"ctrl released before the button",
         {{kLeftCtrlDown}, {M::RightDown, kSwallow}, {kLeftCtrlUp}, {M::RightUp}}},
        {"ctrl pressed while the button is down",
         {{M::RightDown}, {kLeftCtrlDown}, {M::RightUp, kTrigger}}},
        {"three clicks with ctrl held",
         {{kLeftCtrlDown},
          {M::RightDown, kSwallow},
          {M::RightUp, kTrigger},
          {M::RightDown, kSwallow},
          {M::RightUp, kTrigger},
          {M::RightDown, kSwallow},
          {M::RightUp, kTrigger}}},
        {"ctrl auto-repeat",
         {{kLeftCtrlDown}, {kLeftCtrlDown}, {kLeftCtrlDown}, {M::RightUp, kTrigger}}},
        {"double click with ctrl",
         {{kLeftCtrlDown}, {M::RightDoubleClick}, {M::RightUp, kTrigger}}},
        {"other messages with ctrl", {{kLeftCtrlDown}, {M::Other}}},
        {"middle click, option on", {{M::MiddleDown, kSwallow}, {M::MiddleUp, kExplorer}}, true},
        {"middle click, option off", {{M::MiddleDown}, {M::MiddleUp}}},
        {"option does not touch the right button", {{M::RightDown}, {M::RightUp}}, true},
    };
    for (const auto& sequence : sequences) {
        GestureRules rules;
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            const Step& step = sequence.steps[i];
            if (const auto* key = std::get_if<KeyEvent>(&step.input)) {
                rules.OnKey(*key);
                continue;
            }
            const MouseEvent event{std::get<MouseMessage>(step.input), {640, 480}};
            EXPECT_EQ(rules.OnMouse(event, kActiveMouseHookMode, sequence.explorerOption),
                      step.expected)
                << sequence.name << ", step " << i;
        }
    }
}

TEST(GestureRules, OtherModesPassEverything) {
    GestureRules rules;
    rules.OnKey(kLeftCtrlDown);
    for (const int mode : {0, 1, 3, -2}) {
        for (const M message : {M::RightDown, M::RightUp, M::RightDoubleClick, M::MiddleDown,
                                M::MiddleUp, M::Other}) {
            EXPECT_EQ(rules.OnMouse({message, {5, 5}}, mode, true), kPass)
                << "mode " << mode << ", message " << static_cast<int>(message);
        }
    }
    EXPECT_EQ(rules.OnMouse({M::RightUp, {5, 5}}, kActiveMouseHookMode, true), kTrigger);
}

TEST(LeftControl, OnlyThePlainKeyDownOfTheRealKeyCounts) {
    EXPECT_TRUE(IsPlainLeftControlDown(kLeftCtrlDown));
    for (const KeyEvent& key :
         {kLeftCtrlUp, kLeftCtrlWithAlt, kLeftCtrlInjected, kRightCtrlDown, kAltGrCtrlDown,
          kShiftDown, KeyEvent{0xA2, 0x1D, 0x01}, KeyEvent{0xA2, 0x1D, 0x02}}) {
        EXPECT_FALSE(IsPlainLeftControlDown(key))
            << std::hex << key.vkCode << " " << key.scanCode << " " << key.flags;
    }
}

TEST(LeftControl, AnyOtherKeyEventClearsTheFlag) {
    for (const KeyEvent& other : {kLeftCtrlUp, kRightCtrlDown, kShiftDown, kShiftUp, kLetterDown,
                                  kLeftCtrlWithAlt, kAltGrCtrlDown}) {
        GestureRules rules;
        rules.OnKey(kLeftCtrlDown);
        ASSERT_TRUE(rules.leftControlDown());
        rules.OnKey(other);
        EXPECT_FALSE(rules.leftControlDown()) << std::hex << other.vkCode << " " << other.flags;
        rules.OnKey(kLeftCtrlDown);
        EXPECT_TRUE(rules.leftControlDown());
    }
}

TEST(MenuOrigin, ThirtyPixelsUpAndLeftInTwips) {
    struct Case {
        ScreenPoint point;
        double tppX, tppY;
        MenuOrigin expected;
    };
    const Case cases[] = {
        {{100, 200}, 15, 15, {1050, 2550}},
        {{130, 80}, 15, 12, {1500, 600}},  // each axis with its own scale
        {{30, 30}, 10, 10, {0, 0}},
        {{0, 10}, 15, 15, {-450, -300}},        // near the screen's corner
        {{-1890, -5}, 15, 15, {-28800, -525}},  // a monitor left of the primary
        {{31, 33}, 12.5, 12.5, {12, 38}},       // 12.5 and 37.5: halves to even
        {{29, 27}, 12.5, 12.5, {-12, -38}},
        {{35, 35}, 12.5, 12.5, {62, 62}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MenuOriginFor(c.point, c.tppX, c.tppY), c.expected)
            << c.point.x << "," << c.point.y << " at " << c.tppX << "x" << c.tppY;
    }
}

TEST(MenuOrigin, PointsNearTheEndsOfTheIntRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case {
        ScreenPoint point;
        double tpp;
        MenuOrigin expected;
    };
    const Case cases[] = {
        {{kMin, kMin + 30}, 1, {kMin, kMin}},  // the offset alone would leave the range
        {{kMax, kMax}, 1, {kMax - 30, kMax - 30}},
        {{kMin, kMax}, 0.5, {-1073741839, 1073741808}},            // offset first; .5 to even
        {{kMin, kMax}, 15, {kMin, kMax}},                          // beyond the range: its ends
        {{143165607, -143165547}, 15, {kMax, kMin}},               // just past them
        {{143165606, -143165546}, 15, {2147483640, -2147483640}},  // the last within
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MenuOriginFor(c.point, c.tpp, c.tpp), c.expected)
            << c.point.x << "," << c.point.y << " at " << c.tpp;
    }
}

TEST(HooksMissedInput, OnlyInputWellAfterTheLastHookEvent) {
    struct Case {
        std::uint32_t lastInput, lastHookEvent, grace;
        bool missed;
    };
    const Case cases[] = {
        {1000, 1000, 0, false},
        {1500, 1000, 500, false},  // exactly at the grace boundary
        {1501, 1000, 500, true},
        {999, 1000, 0, false},                // the hook saw something after the last input
        {0x00000100, 0xFFFFFF00, 500, true},  // 512 ms later, across the wrap
        {0x00000100, 0xFFFFFF00, 512, false},
        {0x00000000, 0xFFFFFFFF, 0, true},
        {0xFFFFFF00, 0x00000100, 500, false},  // earlier, across the wrap
        {0x7FFFFFFF, 0, 1000, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HooksMissedInput(c.lastInput, c.lastHookEvent, c.grace), c.missed)
            << std::hex << c.lastInput << " " << c.lastHookEvent << " " << std::dec << c.grace;
    }
}

}  // namespace
}  // namespace jumpnest
