#include "ui/text/designs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace jumpnest {
namespace {

const ControlDesign& Main(std::string_view name, int index = -1) {
    const ControlDesign* control = FindControl(MainWindowDesign(), name, index);
    EXPECT_NE(control, nullptr) << name << "(" << index << ")";
    static const ControlDesign kMissing{ControlKind::Label, "", -1, "", 0, 0, 0, 0, -1, ""};
    return control ? *control : kMissing;
}

TEST(Units, TwipsAndPixels) {
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(120), 12.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(144), 10.0);
    EXPECT_EQ(TwipsToPixels(7470, 15), 498);
    EXPECT_EQ(TwipsToPixels(4725, 15), 315);
    EXPECT_EQ(TwipsToPixels(7470, 12), 623);  // 622.5 at 120 dpi
    EXPECT_EQ(PixelsToTwips(30, 15), 450);
    // Halves go to the even neighbour.
    EXPECT_EQ(PixelsToTwips(1, 12.5), 12);
    EXPECT_EQ(PixelsToTwips(3, 12.5), 38);
}

TEST(MainDesign, WindowAndTheNumbersLayoutRulesUse) {
    const WindowDesign& design = MainWindowDesign();
    EXPECT_EQ(design.clientWidth, 7470);
    EXPECT_EQ(design.clientHeight, 4725);
    EXPECT_FALSE(design.pixelScale);
    EXPECT_EQ(design.border, WindowBorder::FixedDialog);
    EXPECT_TRUE(design.inTaskbar);
    EXPECT_EQ(Main("lvwMenu").width, 3855);
    EXPECT_EQ(Main("lvwMenu").toolTip, "Drag & Drop files here ");
    // The last option is tall enough for the two-line Spanish caption.
    EXPECT_EQ(Main("chkOption", 2).height, 435);
    EXPECT_EQ(Main("chkOption", 0).height, 255);
    EXPECT_EQ(Main("chkOption", 1).height, 255);
}

TEST(MainDesign, ContainersComeFirstAndOffsetTheirContents) {
    const WindowDesign& design = MainWindowDesign();
    std::set<std::string> created;
    for (const ControlDesign& control : design.controls) {
        if (!control.container.empty()) {
            EXPECT_TRUE(created.count(std::string(control.container))) << control.name;
        }
        created.insert(std::string(control.name));
    }
    // The options sit in a borderless box inside the frame.
    EXPECT_EQ(PlaceInWindow(design, Main("chkOption", 0)), (TwipsRect{180, 2460, 2655, 255}));
    EXPECT_EQ(PlaceInWindow(design, Main("optOption", 1)), (TwipsRect{420, 3360, 2535, 255}));
    EXPECT_EQ(PlaceInWindow(design, Main("cmdButton", 0)), (TwipsRect{4560, 4260, 1335, 375}));
}

TEST(MainDesign, KeyboardRoles) {
    int defaults = 0, cancels = 0;
    std::set<int> tabs;
    for (const ControlDesign& control : MainWindowDesign().controls) {
        defaults += (control.flags & kDefaultButton) ? 1 : 0;
        cancels += (control.flags & kCancelButton) ? 1 : 0;
        if (control.tabIndex >= 0) {
            EXPECT_TRUE(tabs.insert(control.tabIndex).second) << "tab " << control.tabIndex;
        }
    }
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(Main("cmdButton", 0).flags & kDefaultButton);
    EXPECT_TRUE(Main("cmdButton", 1).flags & kCancelButton);
    EXPECT_TRUE(Main("optOption", 1).flags & kSelected);
    EXPECT_FALSE(Main("optOption", 0).flags & kSelected);
}

TEST(MainDesign, LanguageItemsArePositionsOfTheThirdMenu) {
    int languageItems = 0;
    for (const MenuItemDesign& item : MainWindowDesign().menu) {
        if (item.name == "mnuLanguage") {
            ++languageItems;
            EXPECT_EQ(item.titlePosition, 2);
            EXPECT_EQ(item.itemPosition, item.index);
            EXPECT_NE(item.caption, "-");
        }
        if (item.name == "mnuConfig" && item.index == 0) {
            EXPECT_EQ(item.shortcut, "F2");
        }
        if (item.itemPosition >= 0) {
            EXPECT_EQ(item.itemPosition, item.index) << item.name;
        }
    }
    EXPECT_EQ(languageItems, 4);
}

TEST(MenuDesign, PopupMeasuresInPixelsAndStartsWithItsTimers) {
    const WindowDesign& design = MenuWindowDesign();
    EXPECT_TRUE(design.pixelScale);
    EXPECT_EQ(design.border, WindowBorder::None);
    EXPECT_FALSE(design.inTaskbar);
    EXPECT_TRUE(design.keyPreview);
    EXPECT_EQ(TwipsToPixels(design.clientWidth, 15), 226);
    const ControlDesign* line = FindControl(design, "Line1");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(TwipsToPixels(line->top, 15), 20);
    const ControlDesign* leaveCheck = FindControl(design, "Timer2");
    const ControlDesign* fade = FindControl(design, "Timer1");
    ASSERT_TRUE(leaveCheck && fade);
    EXPECT_EQ(leaveCheck->extra, 1000);
    EXPECT_TRUE(leaveCheck->flags & kTimerRunning);
    EXPECT_EQ(fade->extra, 10);
    EXPECT_FALSE(fade->flags & kTimerRunning);
    EXPECT_EQ(FindControl(design, "lbl", 2), nullptr);
}

}  // namespace
}  // namespace jumpnest
