#include "ui/popup/popup_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace jumpnest {
namespace {

// A 1920 x 1080 monitor at 96 dpi, in twips.
constexpr int kScreenW = 1920 * 15;
constexpr int kScreenH = 1080 * 15;
constexpr int kPopupW = 3390;
constexpr int kPopupH = 1125;

TEST(PopupHeight, RowsPlusChromeInTwipsCappedAtTheMonitor) {
    EXPECT_EQ(PopupHeightTwips(3, 17, 15.0, kScreenH), 1125);
    EXPECT_EQ(PopupHeightTwips(0, 17, 15.0, kScreenH), 360);  // the title area alone
    // 41 x 12.5 = 512.5 and 43 x 12.5 = 537.5: halves go to the even neighbour.
    EXPECT_EQ(PopupHeightTwips(1, 17, 12.5, kScreenH), 512);
    EXPECT_EQ(PopupHeightTwips(1, 19, 12.5, kScreenH), 538);
    EXPECT_EQ(PopupHeightTwips(100, 17, 15.0, kScreenH), kScreenH);
    EXPECT_EQ(PopupHeightTwips(3, 17, 15.0, 1125), 1125);
    EXPECT_EQ(PopupHeightTwips(3, 17, 15.0, 1124), 1124);
}

constexpr TwipsBounds kPrimary{0, 0, kScreenW, kScreenH};
constexpr TwipsBounds kLeftOfPrimary{-kScreenW, 0, 0, kScreenH};
constexpr TwipsBounds kAbovePrimary{0, -kScreenH, kScreenW, 0};
// 40 px taskbars.
constexpr TwipsBounds kTaskbarBottom{0, 0, kScreenW, kScreenH - 600};
constexpr TwipsBounds kTaskbarTop{0, 600, kScreenW, kScreenH};
constexpr TwipsBounds kTaskbarLeft{600, 0, kScreenW, kScreenH};

struct ClampCase {
    const char* name;
    TwipsBounds area;
    MenuOrigin wanted;
    MenuOrigin expected;
    int width = kPopupW;
    int height = kPopupH;
};

TEST(PopupClamp, KeepsThePopupOnTheMonitorUnderTheCursor) {
    constexpr int kRight = kScreenW - kPopupW;
    constexpr int kBottom = kScreenH - kPopupH;
    const ClampCase cases[] = {
        {"inside", kPrimary, {4500, 3000}, {4500, 3000}},
        {"10 px from the left edge", kPrimary, {-300, 3000}, {0, 3000}},
        {"10 px from the top edge", kPrimary, {4500, -300}, {4500, 0}},
        {"near the right edge", kPrimary, {28000, 3000}, {kRight, 3000}},
        {"touching the right edge", kPrimary, {kRight, 0}, {kRight, 0}},
        {"one twip past the right edge", kPrimary, {kRight + 1, 0}, {kRight, 0}},
        {"near the bottom edge", kPrimary, {4500, 15600}, {4500, kBottom}},
        {"one twip past the bottom edge", kPrimary, {0, kBottom + 1}, {0, kBottom}},
        {"bottom right corner", kPrimary, {28700, 16100}, {kRight, kBottom}},
        {"monitor left of the primary", kLeftOfPrimary, {-27000, 3000}, {-27000, 3000}},
        {"right edge of a left monitor", kLeftOfPrimary, {-300, 3000}, {-kPopupW, 3000}},
        {"left edge of a left monitor", kLeftOfPrimary, {-29000, 3000}, {-kScreenW, 3000}},
        {"monitor above the primary", kAbovePrimary, {4500, -16000}, {4500, -16000}},
        {"bottom of a monitor above", kAbovePrimary, {4500, -600}, {4500, -kPopupH}},
        {"taller than the area", kPrimary, {4500, 5000}, {4500, 0}, kPopupW, kScreenH + 600},
        {"wider than the area", kPrimary, {4500, 5000}, {0, 5000}, kScreenW + 15},
        {"taskbar at the bottom", kTaskbarBottom, {4500, 15000}, {4500, kBottom - 600}},
        {"taskbar at the top", kTaskbarTop, {4500, 300}, {4500, 600}},
        {"taskbar at the left", kTaskbarLeft, {300, 3000}, {600, 3000}},
        {"as tall as the screen, top taskbar",
         kTaskbarTop,
         {4500, 5000},
         {4500, 600},
         kPopupW,
         kScreenH},
    };
    for (const ClampCase& c : cases) {
        EXPECT_EQ(ClampPopupOrigin(c.wanted, c.width, c.height, c.area), c.expected) << c.name;
    }
}

TEST(PopupList, FillsTheClientAreaUnderTheTitleRule) {
    EXPECT_EQ(PopupListRect(20, 226, 235), (PixelRect{1, 21, 225, 234}));
    EXPECT_EQ(PopupListRect(0, 10, 10), (PixelRect{1, 1, 9, 9}));
    EXPECT_EQ(PopupColumnWidth(224, 17, 17), 188);
    EXPECT_EQ(PopupColumnWidth(224, 21, 19), 182);
}

// Runs the fade timer until it stops or the window closes, and records what
// each tick applied.
struct FadeRun {
    std::vector<std::optional<int>> applied;
    bool stopped = false;
    bool closed = false;
};

FadeRun RunFade(FadeState& state) {
    FadeRun run;
    for (int guard = 0; guard < 1000 && !run.stopped && !run.closed; ++guard) {
        const FadeTick tick = NextFadeTick(state);
        run.applied.push_back(tick.applied);
        run.stopped = tick.stopTimer;
        run.closed = tick.close;
    }
    return run;
}

// from, from + by, ... as long as the values stay within [low, high].
std::vector<std::optional<int>> Steps(int from, int by, int low, int high) {
    std::vector<std::optional<int>> values;
    for (int a = from; a >= low && a <= high; a += by) values.push_back(a);
    return values;
}

TEST(Fade, InAppliesZeroToOpaqueAndStops) {
    FadeState state = FadeInStart();
    const FadeRun run = RunFade(state);
    EXPECT_EQ(run.applied, Steps(0, 5, 0, 255));
    EXPECT_EQ(run.applied.size(), 52u);
    EXPECT_TRUE(run.stopped);
    EXPECT_FALSE(run.closed);
    EXPECT_EQ(state.alpha, 260);
}

TEST(Fade, OutAfterACompleteFadeInSkipsTheOverflowAndCloses) {
    FadeState state = FadeInStart();
    RunFade(state);
    StartFadeOut(state);
    EXPECT_EQ(state.alpha, 260);
    const FadeRun run = RunFade(state);
    std::vector<std::optional<int>> expected{std::nullopt};
    for (const std::optional<int>& a : Steps(252, -8, 12, 255)) expected.push_back(a);
    EXPECT_EQ(run.applied, expected);
    EXPECT_EQ(run.applied.size(), 32u);
    EXPECT_TRUE(run.closed);
    EXPECT_FALSE(run.stopped);
    EXPECT_EQ(state.alpha, 4);
}

TEST(Fade, OutDuringTheFadeInReversesFromTheCurrentAlpha) {
    for (int ticksIn : {0, 1, 10, 37, 51}) {
        FadeState state = FadeInStart();
        for (int i = 0; i < ticksIn; ++i) {
            EXPECT_FALSE(NextFadeTick(state).close) << ticksIn;
        }
        StartFadeOut(state);
        StartFadeOut(state);  // a second call, as from the leave check, changes nothing
        const int from = ticksIn * 5;
        ASSERT_EQ(state.alpha, from);
        const FadeRun run = RunFade(state);
        // The value it starts from is applied even when already below 5;
        // after that, each tick applies 8 less while that stays at 5 or more.
        std::vector<std::optional<int>> expected{from};
        for (const std::optional<int>& a : Steps(from - 8, -8, 5, 255)) expected.push_back(a);
        EXPECT_EQ(run.applied, expected) << ticksIn;
        EXPECT_TRUE(run.closed) << ticksIn;
        EXPECT_FALSE(run.stopped) << ticksIn;
        EXPECT_EQ(state.alpha, *expected.back() - 8) << ticksIn;
    }
}

struct LeaveCase {
    ScreenPoint cursor;
    bool left;
};

TEST(Leave, OnlyBeyondAHundredPixelsOfTheWindow) {
    const PixelRect window{300, 200, 526, 435};  // right and bottom exclusive
    const LeaveCase cases[] = {
        {{400, 300}, false}, {{200, 300}, false}, {{199, 300}, true},  {{625, 300}, false},
        {{626, 300}, true},  {{400, 100}, false}, {{400, 99}, true},   {{400, 534}, false},
        {{400, 535}, true},  {{200, 100}, false}, {{625, 534}, false}, {{626, 534}, true},
    };
    for (const LeaveCase& c : cases) {
        EXPECT_EQ(CursorLeftPopup(c.cursor, window), c.left) << c.cursor.x << "," << c.cursor.y;
    }
    // A monitor left of and above the primary one.
    const PixelRect negative{-500, -400, -274, -165};
    EXPECT_FALSE(CursorLeftPopup({-600, -500}, negative));
    EXPECT_TRUE(CursorLeftPopup({-601, -300}, negative));
    EXPECT_TRUE(CursorLeftPopup({-300, -501}, negative));
    EXPECT_FALSE(CursorLeftPopup({-175, -66}, negative));
    EXPECT_TRUE(CursorLeftPopup({-174, -66}, negative));
}

}  // namespace
}  // namespace jumpnest
