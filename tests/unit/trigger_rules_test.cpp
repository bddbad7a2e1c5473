#include "trigger/hotkey.h"
#include "trigger/keyboard_layout.h"
#include "trigger/pass_through.h"
#include "trigger/trigger_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

using namespace jumpnest;
using M = MouseMessage;

// vk, scan code, hook flags. AltGr sends a left Ctrl with scan code bit 0x200, then right Alt.
constexpr KeyEvent kCtrl{0xA2, 0x1D, 0}, kCtrlUp{0xA2, 0x1D, 0x80}, kCtrlAlt{0xA2, 0x1D, 0x20},
    kCtrlInjected{0xA2, 0x1D, 0x10}, kCtrlExtended{0xA2, 0x1D, 1}, kCtrlLowIl{0xA2, 0x1D, 2},
    kRightCtrl{0xA3, 0x1D, 1}, kShift{0xA0, 0x2A, 0}, kLetter{'C', 0x2E, 0},
    kAltGrCtrl{0xA2, 0x21D, 0}, kAltGrAlt{0xA5, 0x38, 0x21};
constexpr MouseVerdict kPass{false, GestureAction::None}, kSwallow{true, GestureAction::None},
    kTrigger{true, GestureAction::Trigger}, kExplorer{true, GestureAction::OpenExplorer};

// A bool step: whether Windows holds left Ctrl down from then on, whatever the hook saw (held);
// a left Ctrl key step sets it too. An Option step turns the middle-button option on or off.
constexpr bool kUpForWindows = false, kDownForWindows = true;
enum class Option { kOff, kOn };

struct Step {  // a key goes to OnKey; a mouse message must get its verdict
    std::variant<KeyEvent, bool, M, Option> input;
    MouseVerdict expected = kPass;
    bool leftAlone = false;  // the place under the mouse is one to leave alone
};

TEST(GestureRules, Sequences) {
    // clang-format off
    const std::tuple<const char*, std::vector<Step>, bool> sequences[] = {
        {"left ctrl + right click", {{kCtrl}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}}, false},
        {"right ctrl", {{kRightCtrl}, {M::RightDown}, {M::RightUp}}, false},
        {"shift after ctrl", {{kCtrl}, {kShift}, {M::RightDown}, {M::RightUp}}, false},
        {"ctrl with alt, injected", {{kCtrlAlt}, {M::RightDown}, {kCtrlInjected}, {M::RightUp}}, false},
        {"altgr", {{kAltGrCtrl}, {kAltGrAlt}, {M::RightDown}, {M::RightUp}}, false},
        // Every order of Ctrl and the right button: a window gets both halves of a click or neither.
        {"ctrl down, up, click", {{kCtrl}, {kCtrlUp}, {M::RightDown}, {M::RightUp}}, false},
        {"ctrl released between", {{kCtrl}, {M::RightDown, kSwallow}, {kCtrlUp}, {M::RightUp, kSwallow}}, false},
        {"ctrl pressed between", {{M::RightDown}, {kCtrl}, {kCtrlUp}, {M::RightUp}}, false},
        {"ctrl after the press", {{M::RightDown}, {kCtrl}, {M::RightUp}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}, {kCtrlUp}}, false},
        {"ctrl release missed", {{kCtrl}, {kUpForWindows}, {M::RightDown}, {M::RightUp}, {kDownForWindows}, {M::RightUp}}, false},
        {"release seen only by windows", {{kCtrl}, {M::RightDown, kSwallow}, {kUpForWindows}, {M::RightUp, kSwallow}}, false},
        {"ctrl held", {{kCtrl}, {M::RightUp}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}}, false},
        {"ctrl auto-repeat", {{kCtrl}, {M::RightDown, kSwallow}, {kCtrl}, {kCtrl}, {M::RightUp, kTrigger}}, false},
        {"double click, other", {{kCtrl}, {kUpForWindows}, {M::RightDoubleClick}, {M::Other}, {M::MiddleDown}, {kDownForWindows}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger}}, false},
        {"middle, option on", {{kCtrl}, {kUpForWindows}, {M::MiddleDown, kSwallow}, {M::MiddleUp, kExplorer}}, true},
        {"middle, option off", {{kCtrl}, {M::MiddleDown}, {M::MiddleUp}}, false},
        {"option on between", {{M::MiddleDown}, {Option::kOn}, {M::MiddleUp}, {M::MiddleUp}}, false},
        {"option off between", {{M::MiddleDown, kSwallow}, {Option::kOff}, {M::MiddleUp, kSwallow}}, true},
        {"option leaves the right button", {{M::RightDown}, {M::RightUp}}, true},
        // A press over a place left alone decides its release, wherever that is.
        {"press left alone", {{kCtrl}, {M::RightDown, kPass, true}, {M::RightUp}, {M::RightUp}}, false},
        {"release over it", {{kCtrl}, {M::RightDown, kSwallow}, {M::RightUp, kTrigger, true}}, false},
        {"middle left alone", {{M::MiddleDown, kPass, true}, {M::MiddleUp}, {M::MiddleDown, kSwallow}, {M::MiddleUp, kExplorer, true}}, true}};
    // clang-format on
    // In any other hook mode every sequence passes everything on.
    for (const int mode : {kActiveMouseHookMode, 0, 1, 3}) {
        for (auto [name, steps, explorer] : sequences) {
            GestureRules rules;
            bool ctrlNow = false;
            for (const Step& step : steps) {
                if (const auto* key = std::get_if<KeyEvent>(&step.input)) {
                    rules.OnKey(*key);
                    if (key->vkCode == kVkLeftControl) ctrlNow = !(key->flags & 0x80);
                } else if (const bool* windows = std::get_if<bool>(&step.input)) {
                    ctrlNow = *windows;
                } else if (const Option* option = std::get_if<Option>(&step.input)) {
                    explorer = *option == Option::kOn;
                } else {
                    EXPECT_EQ(rules.OnMouse({std::get<M>(step.input), {9, 9}}, mode, explorer,
                                            step.leftAlone, ctrlNow),
                              mode == kActiveMouseHookMode ? step.expected : kPass)
                        << name << ", mode " << mode;
                }
            }
        }
    }
}

TEST(GestureRules, OnlyThePlainDownOfTheRealLeftCtrlHoldsIt) {
    GestureRules rules;
    EXPECT_TRUE(IsPlainLeftControlDown(kCtrl));
    for (const KeyEvent& key : {kCtrlUp, kCtrlAlt, kCtrlInjected, kCtrlExtended, kCtrlLowIl,
                                kRightCtrl, kShift, kLetter, kAltGrCtrl, kAltGrAlt}) {
        rules.OnKey(kCtrl), rules.OnKey(key);
        EXPECT_FALSE(IsPlainLeftControlDown(key) || rules.leftControlDown())
            << std::hex << key.vkCode << " " << key.flags;
    }
}

TEST(MenuOrigin, ThirtyPixelsUpAndLeftScaledInTwips) {
    // 30 pixels at 96 dots per inch are 450 twips at every scale.
    const std::tuple<ScreenPoint, double, double, MenuOrigin> origins[] = {
        {{130, 80}, 15, 12, {1500, 510}},
        {{60, 50}, 7.5, 10, {0, 50}},         // 200 % and 150 %: 60 and 45 pixels
        {{31, 27}, 12.5, 12.5, {-62, -112}},  // -62.5 and -112.5: halves to even
        // Near the ends of the int range neither the offset nor the twips fit.
        {{INT_MIN, INT_MIN + 30}, 1, 1, {INT_MIN, INT_MIN}},
        {{INT_MAX, INT_MAX}, 1, 1, {INT_MAX - 450, INT_MAX - 450}},
        {{INT_MIN, INT_MAX}, 0.5, 0.5, {-1073742274, 1073741374}},
        {{143165607, -143165547}, 15, 15, {INT_MAX, INT_MIN}},          // just past the ends
        {{143165606, -143165546}, 15, 15, {2147483640, -2147483640}}};  // the last within
    for (const auto& [point, x, y, origin] : origins)
        EXPECT_EQ(MenuOriginFor(point, x, y), origin) << point.x << "," << point.y << " " << x;
}

TEST(HooksMissedInput, OnlyInputWellAfterTheLastHookEvent) {
    // 512 ms from 0xFFFFFF00 to 0x100 across the wrap; half the range back is before.
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, bool> ticks[] = {
        {1500, 1000, 500, false},    {1501, 1000, 500, true},     {999, 1000, 0, false},
        {0x100, ~0xFFu, 511, true},  {0x100, ~0xFFu, 512, false}, {~0xFFu, 0x100, 0, false},
        {0x7FFFFFFF, 0, 1000, true}, {0x80000000, 0, 1000, false}};
    for (const auto& [input, hook, grace, missed] : ticks)
        EXPECT_EQ(HooksMissedInput(input, hook, grace), missed) << input << " " << hook;
}

TEST(Hotkey, FromTheHotKeyControlsValue) {
    // Ctrl+Alt+J, Ctrl+A, Alt+A, and an extended key with every flag: MOD_NOREPEAT always.
    EXPECT_EQ(HotkeyFromControlValue(0x0600 | 'J'), (Hotkey{'J', 0x4003}));
    EXPECT_EQ(HotkeyFromControlValue(0x0241), (Hotkey{'A', 0x4002}));
    EXPECT_EQ(HotkeyFromControlValue(0x0441), (Hotkey{'A', 0x4001}));
    EXPECT_EQ(HotkeyFromControlValue(0x0F2D), (Hotkey{0x2D, 0x4007}));
    // Neither Ctrl nor Alt (A, Shift+A, Shift+F12, extended Insert), no key, stray bits.
    for (std::int32_t none : {0, -1, 65, 0x141, 0x017B, 0x082D, 0x0600, 0x1041, 0x10041})
        EXPECT_FALSE(HotkeyFromControlValue(none)) << none;
}

// The old shortcut is let go to try the new one and taken back when that is
// refused; never claimed when another program took it meanwhile.
TEST(Hotkey, ReplacedOnlyWhenWindowsGivesTheNewOne) {
    constexpr std::int32_t kA = 0x641, kB = 0x642;  // Ctrl+Alt+A and +B
    using O = HotkeyOutcome;
    // Registered, stored, chosen; keys others hold ("*": and any let go); outcome, registered.
    // clang-format off
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::string, O, std::int32_t>
        cases[] = {{0, 0, kA, "", O::kTaken, kA}, {kA, kA, 0, "", O::kTaken, 0},
                   {kA, kA, kB, "", O::kTaken, kB}, {kA, kA, kB, "B", O::kHeld, kA},
                   {kA, kA, kB, "B*", O::kOldLost, 0}, {0, kB, kB, "B", O::kStillHeld, 0},
                   {0, kB, kB, "", O::kTaken, kB}, {kA, kA, 0x141, "", O::kNoShortcut, kA},
                   {kA, kA, kA, "A*", O::kTaken, kA}};
    // clang-format on
    for (auto [registered, stored, chosen, held, outcome, now] : cases) {
        std::string ours = registered ? "A" : "";  // what Windows holds for us
        const auto take = [&](const Hotkey& key) {
            return held.find(char(key.virtualKey)) == held.npos &&
                   (ours += char(key.virtualKey), 1);
        };
        const auto release = [&](const Hotkey& key) {
            std::erase(ours, char(key.virtualKey));
            if (held.ends_with('*')) held += char(key.virtualKey);
        };
        const HotkeyChange change = ReplaceHotkey(registered, stored, chosen, take, release);
        EXPECT_EQ(std::tuple(change.outcome, change.registered, ours),
                  std::tuple(outcome, now, std::string(now ? 1 : 0, char(now & 0xFF))))
            << registered << " " << stored << " " << chosen;
    }
}

// What AltGr (Ctrl+Alt) and Shift+AltGr type on four European layouts, as Windows answers; also
// the control character Ctrl+Q answers and the letter Alt+Q answers for menus.
TEST(Hotkey, RefusedWhereItTypesACharacterAndAPlainKeyGetsOneThatTypesNone) {
    constexpr std::uint32_t kCA = 0x4003, kCSA = 0x4007;
    using Answers = std::map<std::pair<std::uint32_t, std::uint32_t>, std::string>;
    // clang-format off
    const std::pair<std::string, Answers> tables[] = {
        {"German", {{{'Q', kCA}, "@"}, {{'E', kCA}, "\u20AC"}, {{'Q', 0x4002}, "\x11"}, {{'Q', 0x4001}, "q"}}},
        {"French", {{{'0', kCA}, "@"}, {{'E', kCA}, "\u20AC"}, {{'2', kCA}, "~"}}},
        {"Spanish", {{{'2', kCA}, "@"}, {{'E', kCA}, "\u20AC"}, {{'1', kCA}, "|"}}},
        {"Polish", {{{'C', kCA}, "\u0107"}, {{'C', kCSA}, "\u0106"}, {{'L', kCA}, "\u0142"}}}};
    // Control values: Ctrl+Alt+Q, +E, +2, +1, +C, Ctrl+Shift+Alt+C; none for Ctrl+Alt+K, Ctrl+Q,
    // Alt+Q, Ctrl+Alt+F12 and the README's Ctrl+Shift+Alt+J.
    const std::pair<std::int32_t, std::string> typed[] = {
        {0x651, "@ German"}, {0x645, "\u20AC German"}, {0x632, "~ French"}, {0x631, "| Spanish"},
        {0x643, "\u0107 Polish"}, {0x743, "\u0106 Polish"}, {0x64B, ""}, {0x251, ""}, {0x451, ""},
        {0x67B, ""}, {0x74A, ""}};
    // K, Q, C, Shift+Q, Shift+C, and values the box leaves alone: none, Ctrl+Alt+Q, a Shift alone.
    const std::pair<std::int32_t, std::int32_t> shortcuts[] = {{'K', 0x64B}, {'Q', 0x751},
        {'C', 0x343}, {0x151, 0x751}, {0x143, 0x343}, {0, 0}, {0x651, 0x651}, {0x100, 0x100}};
    // clang-format on
    std::vector<KeyboardLayout> layouts;
    for (const auto& [name, answers] : tables) {
        layouts.push_back({name, [&answers](const Hotkey& key) {
                               const auto found = answers.find({key.virtualKey, key.modifiers});
                               return found == answers.end() ? std::string() : found->second;
                           }});
    }
    for (const auto& [value, expected] : typed) {
        const auto found = CharacterTypedBy(*HotkeyFromControlValue(value), layouts);
        EXPECT_EQ(found ? found->character + " " + found->layout : "", expected) << value;
        EXPECT_FALSE(CharacterTypedBy(*HotkeyFromControlValue(value), {})) << value;
    }
    for (const auto& [key, made] : shortcuts)
        EXPECT_EQ(ShortcutForPlainKey(key, layouts), made) << key;
}

TEST(PassThrough, ProgramListsAndNames) {
    using Names = std::vector<std::string>;
    // clang-format off
    const std::pair<const char*, Names> lists[] = {
        {"mstsc.exe;vmconnect.exe", {"mstsc.exe", "vmconnect.exe"}},
        {"", {}}, {";;", {}}, {" ; \t;", {}}, {"C:\\Tools\\", {}},
        {" MSTSC.Exe ;;VMConnect.EXE;", {"mstsc.exe", "vmconnect.exe"}},
        {"C:\\Windows\\System32\\mstsc.exe; \"D:/VM/My VM.exe\" ", {"mstsc.exe", "my vm.exe"}},
        {"\xC3\x84rger.EXE", {"\xC3\x84rger.exe"}}};  // only ASCII letters are folded
    // clang-format on
    for (const auto& [text, names] : lists) EXPECT_EQ(ParseProgramList(text), names) << text;
    const Names listed = ParseProgramList("mstsc.exe;\xC3\x84rger.exe");
    for (const char* name : {"mstsc.exe", "MSTSC.EXE", "\xC3\x84RGER.EXE"})
        EXPECT_TRUE(IsListedProgram(listed, name)) << name;
    for (const char* name : {"", "mstsc", "mstsc.exe.bak", "xmstsc.exe", "\xC3\xA4rger.exe"})
        EXPECT_FALSE(IsListedProgram(listed, name)) << name;
}

TEST(PassThrough, FullScreenCoversItsMonitorWithoutCaptionAndCountsOnlyThere) {
    const WindowBox monitor{1920, 0, 3200, 800};  // the second of two
    // Exactly, larger; maximised with the taskbar hidden; the taskbar shows; the other monitor.
    // clang-format off
    const std::tuple<WindowBox, bool, bool> windows[] = {
        {{1920, 0, 3200, 800}, false, true}, {{1912, -8, 3208, 808}, false, true},
        {{1912, -8, 3208, 808}, true, false}, {{1920, 0, 3200, 799}, false, false},
        {{0, 0, 1920, 1080}, false, false}};
    // clang-format on
    for (const auto& [window, captioned, full] : windows)
        EXPECT_EQ(IsFullScreenWindow(window, monitor, captioned), full) << window.left;
    // Only a press on the front window's monitor stands aside; the shell's word counts there.
    const WindowBox first{0, 0, 1920, 1080};
    const FrontWindow game{monitor, monitor, false, false}, framed{first, first, true, false},
        desktop{first, first, false, true};
    // clang-format off
    const std::tuple<FrontWindow, WindowBox, bool, bool> presses[] = {
        {game, monitor, false, true}, {game, first, false, false}, {game, first, true, false},
        {framed, first, true, true}, {framed, first, false, false}, {framed, monitor, true, false},
        {desktop, first, false, false}, {desktop, first, true, true}};
    // clang-format on
    for (const auto& [front, mouse, shell, aside] : presses)
        EXPECT_EQ(FullScreenUnderMouse(front, mouse, shell), aside) << mouse.left << shell;
}
