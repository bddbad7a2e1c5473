#include "ui/text/designs.h"

#include <array>
#include <cmath>

namespace jumpnest {

namespace {

constexpr FontDesign kTahoma825{"Tahoma", 8.25, 400};
constexpr FontDesign kTahoma825Bold{"Tahoma", 8.25, 700};
constexpr FontDesign kTahoma9{"Tahoma", 9, 400};
constexpr FontDesign kTahoma975{"Tahoma", 9.75, 400};
constexpr FontDesign kSansSerifLink{"MS Sans Serif", 8.25, 700, true};

using K = ControlKind;
constexpr std::nullopt_t kNone = std::nullopt;

// clang-format off
// The configuration window. Containers come before their contents.
constexpr std::array kMainControls = {
    ControlDesign{K::CommandButton, "cmdButton", 2, "", 3540, 4260, 375, 375, 8, "",
                  kNone, kNone, kNone, kGraphical, {}, 0, Command::kEntryUp},
    ControlDesign{K::CommandButton, "cmdButton", 3, "", 4020, 4260, 375, 375, 9, "",
                  kNone, kNone, kNone, kGraphical, {}, 0, Command::kEntryDown},
    ControlDesign{K::ListView, "lvwMenu", -1, "", 3540, 60, 3855, 4035, 7, "",
                  kTahoma975, kNone, kNone, kNoColumnHeader | kEditLabels,
                  "Drag & Drop files here "},
    ControlDesign{K::CommandButton, "cmdButton", 1, "", 6060, 4260, 1335, 375, 11, "&Cancel",
                  kTahoma825, kNone, kNone, kCancelButton, {}, 0, Command::kCancel},
    ControlDesign{K::CommandButton, "cmdButton", 0, "", 4560, 4260, 1335, 375, 10, "&Apply",
                  kTahoma825, kNone, kNone, kDefaultButton, {}, 0, Command::kApply},
    ControlDesign{K::Frame, "frmConfig", -1, "", 60, 2160, 3375, 1935, 0, "Configuration",
                  kTahoma825},
    ControlDesign{K::PictureBox, "picFrame", -1, "frmConfig", 60, 240, 3255, 1635, 15, ""},
    ControlDesign{K::CheckBox, "chkOption", 2, "picFrame", 60, 1200, 3135, 435, 5,
                  "Middle mouse button opens Explorer", kTahoma825, kNone, kNone, kTwoLines, {}, 0,
                  Command::kExplorer},
    ControlDesign{K::OptionButton, "optOption", 1, "picFrame", 300, 960, 2535, 255, 4,
                  "&Large Menu Icons", kTahoma825, kNone, kNone, kSelected, {}, 0,
                  Command::kLargeMenuIcons},
    ControlDesign{K::OptionButton, "optOption", 0, "picFrame", 300, 690, 2535, 255, 3,
                  "&Small Menu Icons", kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kSmallMenuIcons},
    ControlDesign{K::CheckBox, "chkOption", 1, "picFrame", 60, 360, 2955, 255, 2,
                  "Show in Sys&Tray", kTahoma825, kNone, kNone, kNoFlags, {}, 0,
                  Command::kShowInSysTray},
    ControlDesign{K::CheckBox, "chkOption", 0, "picFrame", 60, 60, 2655, 255, 1,
                  "Start with &Windows", kTahoma825, kNone, kNone, kNoFlags, {}, 0,
                  Command::kStartWithWindows},
    ControlDesign{K::ImageList, "imgMenu", -1, "picFrame", 2520, 60, 0, 0, -1, "",
                  kNone, kNone, kNone, kNoFlags, {}, 13},
    ControlDesign{K::Label, "lblURL", 1, "", 60, 4440, 2250, 285, 12, "Jumpnest help page",
                  kSansSerifLink, kNavy, kNone, kHandPointer, {}, 0, Command::kHelpPage},
    ControlDesign{K::Label, "lblDesc", -1, "", 60, 60, 3375, 1995, 14, "",
                  kTahoma825, kBlack, kLightYellow, kAccessKeys},
    ControlDesign{K::ImageList, "imgPopUp", -1, "", 2160, 4140, 0, 0, -1, "",
                  kNone, kNone, kNone, kNoFlags, {}, 16},
    ControlDesign{K::ImageList, "imgIcons", -1, "", 2820, 4140, 0, 0, -1, "",
                  kNone, kNone, kNone, kNoFlags, {}, 32},
    ControlDesign{K::Label, "lblURL", 0, "", 60, 4200, 2220, 195, 13, "Kelmarsh: small & quiet",
                  kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kHelpPage},
    // Never drawn (no size): the list's name for screen readers, which look
    // for it in the label just before the list in the tab order.
    ControlDesign{K::Label, "lblEntries", -1, "", 3540, 60, 0, 0, 6, "&Menu entries", kNone, kNone,
                  kNone, kAccessKeys},
};

using C = Command;
constexpr std::array kMainMenu = {
    MenuItemDesign{"mntFile", -1, "&File"},
    MenuItemDesign{"mnuFile", 0, " Options", C::kOptions},
    MenuItemDesign{"mnuFile", 1, "-"},
    MenuItemDesign{"mnuFile", 3, " Exclusions and shortcut...", C::kExclusions},
    MenuItemDesign{"mnuFile", 4, " Keep everything beside the program", C::kMoveBesideProgram},
    MenuItemDesign{"mnuFile", 2, " Exit", C::kExit},
    MenuItemDesign{"mntEdit", -1, "&Edit"},
    MenuItemDesign{"mnuConfig", 6, " Add entry...", C::kAddEntry, "Ctrl+N"},
    MenuItemDesign{"mnuConfig", 0, " Rename entry", C::kRename, "F2"},
    MenuItemDesign{"mnuConfig", 1, "-"},
    MenuItemDesign{"mnuConfig", 2, " Entry up", C::kEntryUp},
    MenuItemDesign{"mnuConfig", 3, " Entry down", C::kEntryDown},
    MenuItemDesign{"mnuConfig", 4, "-"},
    MenuItemDesign{"mnuConfig", 5, " Remove entry", C::kRemove},
    MenuItemDesign{"mnuConfig", 7, "-"},
    MenuItemDesign{"mnuConfig", 8, " Program lists...", C::kProgramLists},
    MenuItemDesign{"mntLanguage", -1, "Language"},
    MenuItemDesign{"mnuLanguage", 0, "Englisch", C::kEnglish},
    MenuItemDesign{"mnuLanguage", 1, "German", C::kGerman},
    MenuItemDesign{"mnuLanguage", 2, "French", C::kFrench},
    MenuItemDesign{"mnuLanguage", 3, "Spain", C::kSpanish},
};

constexpr WindowDesign kMainWindow{
    "Jumpnest", 7470, 4725, WindowBorder::FixedDialog, /*inTaskbar=*/true, kMainControls,
    kMainMenu};

// The popup launcher menu. Timer1 steps the fades, Timer2 checks whether the
// mouse has left.
constexpr std::array kMenuControls = {
    ControlDesign{K::Timer, "Timer2", -1, "", 0, 0, 0, 0, -1, "",
                  kNone, kNone, kNone, kNoFlags, {}, 1000},
    ControlDesign{K::ListView, "lvwMenu", -1, "", 60, 420, 1560, 2175, 0, "",
                  kTahoma9, kNone, kNone, kNoColumnHeader | kBorderless | kVirtualList},
    ControlDesign{K::Timer, "Timer1", -1, "", 0, 0, 0, 0, -1, "",
                  kNone, kNone, kNone, kNoFlags, {}, 10},
    ControlDesign{K::Label, "lbl", 0, "", 75, 60, 2940, 195, 1, "Jumpnest",
                  kTahoma825Bold, kNavy, kMenuColor},
    ControlDesign{K::Line, "Line1", -1, "", 3390, 300, 0, 300, -1, "",
                  kNone, kActiveBorderColor},
    ControlDesign{K::Image, "cmdClose", -1, "", 3165, 60, 195, 195, -1, "",
                  kNone, kNone, kNone, kHelpPointer},
    ControlDesign{K::Shape, "Shape1", -1, "", 0, 0, 3390, 3495, -1, "",
                  kNone, kActiveBorderColor},
    ControlDesign{K::Label, "lbl", 1, "", 3060, 0, 285, 315, 2, "",
                  kTahoma825Bold, kNavy, kMenuColor, kHelpPointer},
};

constexpr WindowDesign kMenuWindow{
    "", 3390, 3525, WindowBorder::None, /*inTaskbar=*/false, kMenuControls, {}};

// The dialog of File > Exclusions and shortcut: the programs the gesture
// leaves alone, full-screen programs, and the keyboard shortcut.
constexpr std::array kExclusionsControls = {
    ControlDesign{K::Label, "lblPrograms", -1, "", 120, 120, 5160, 255, 0,
                  "&Programs the gesture leaves alone:", kTahoma825, kNone, kNone, kAccessKeys},
    ControlDesign{K::ListView, "lvwPrograms", -1, "", 120, 420, 3900, 1740, 1, "",
                  kTahoma825, kNone, kNone, kNoColumnHeader, "Drag & Drop programs here "},
    ControlDesign{K::CommandButton, "cmdProgram", 0, "", 4140, 420, 1140, 375, 2, "&Add...",
                  kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kAddProgram},
    ControlDesign{K::CommandButton, "cmdProgram", 1, "", 4140, 900, 1140, 375, 3, "&Remove",
                  kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kRemoveProgram},
    ControlDesign{K::CheckBox, "chkFullScreen", -1, "", 120, 2280, 5160, 255, 4,
                  "Not over &full-screen programs", kTahoma825},
    ControlDesign{K::Label, "lblHotkey", -1, "", 120, 2700, 5160, 255, 5,
                  "&Keyboard shortcut to open the menu:", kTahoma825, kNone, kNone, kAccessKeys},
    ControlDesign{K::HotKey, "hkyHotkey", -1, "", 120, 3000, 3900, 315, 6, "", kTahoma825},
    ControlDesign{K::CommandButton, "cmdOK", -1, "", 2700, 5220, 1215, 375, 9, "OK",
                  kTahoma825, kNone, kNone, kDefaultButton},
    ControlDesign{K::CommandButton, "cmdCancel", -1, "", 4065, 5220, 1215, 375, 10, "Cancel",
                  kTahoma825, kNone, kNone, kCancelButton},
    // Shown only while another program holds the stored shortcut.
    ControlDesign{K::Label, "lblHotkeyHeld", -1, "", 120, 3390, 5160, 420, 11, "", kTahoma825},
    ControlDesign{K::CheckBox, "chkLogonTask", -1, "", 120, 3900, 5160, 255, 7,
                  "Start as &administrator at sign-in", kTahoma825},
    // Shown only where the program may not be started with full rights.
    ControlDesign{K::Label, "lblLogonTask", -1, "", 360, 4200, 4920, 900, 8, "", kTahoma825},
};

constexpr WindowDesign kExclusionsWindow{
    "Exclusions and shortcut", 5400, 5760, WindowBorder::FixedDialog, /*inTaskbar=*/false,
    kExclusionsControls, {}};

// The dialog of Edit > Program lists: the programs that have a list of their
// own, above them the common list, which every program shares.
constexpr std::array kProgramListsControls = {
    ControlDesign{K::Label, "lblLists", -1, "", 120, 120, 5160, 255, 0,
                  "&Programs with a list of their own:", kTahoma825, kNone, kNone, kAccessKeys},
    ControlDesign{K::ListView, "lvwLists", -1, "", 120, 420, 3900, 1740, 1, "",
                  kTahoma825, kNone, kNone, kNoColumnHeader, "Drag & Drop programs here "},
    ControlDesign{K::CommandButton, "cmdList", 0, "", 4140, 420, 1140, 375, 2, "&Add...",
                  kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kAddProgram},
    ControlDesign{K::CommandButton, "cmdList", 1, "", 4140, 900, 1140, 375, 3, "&Remove",
                  kTahoma825, kNone, kNone, kNoFlags, {}, 0, Command::kRemoveProgram},
    ControlDesign{K::CheckBox, "chkOwnOnly", -1, "", 120, 2280, 5160, 255, 4,
                  "&Only this program's entries", kTahoma825},
    ControlDesign{K::CommandButton, "cmdEdit", -1, "", 2700, 2700, 1215, 375, 5, "&Edit list",
                  kTahoma825, kNone, kNone, kDefaultButton, {}, 0, Command::kEditList},
    ControlDesign{K::CommandButton, "cmdClose", -1, "", 4065, 2700, 1215, 375, 6, "Close",
                  kTahoma825, kNone, kNone, kCancelButton},
};

constexpr WindowDesign kProgramListsWindow{
    "Program lists", 5400, 3195, WindowBorder::FixedDialog, /*inTaskbar=*/false,
    kProgramListsControls, {}};
// clang-format on

}  // namespace

const WindowDesign& MainWindowDesign() {
    return kMainWindow;
}
const WindowDesign& MenuWindowDesign() {
    return kMenuWindow;
}
const WindowDesign& ExclusionsWindowDesign() {
    return kExclusionsWindow;
}
const WindowDesign& ProgramListsWindowDesign() {
    return kProgramListsWindow;
}

const ControlDesign* FindControl(const WindowDesign& design, std::string_view name, int index) {
    for (const ControlDesign& control : design.controls) {
        if (control.name == name && control.index == index) return &control;
    }
    return nullptr;
}

TwipsRect PlaceInWindow(const WindowDesign& design, const ControlDesign& control) {
    TwipsRect rect{control.left, control.top, control.width, control.height};
    for (std::string_view container = control.container; !container.empty();) {
        const ControlDesign* outer = FindControl(design, container);
        if (!outer) break;
        rect.left += outer->left;
        rect.top += outer->top;
        container = outer->container;
    }
    return rect;
}

int TwipsToPixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

int PixelsToTwips(int pixels, double twipsPerPixel) {
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(pixels * twipsPerPixel));
}

double TwipsPerPixel(int dotsPerInch) {
    return dotsPerInch > 0 ? static_cast<double>(kTwipsPerInch) / dotsPerInch : 15.0;
}

}  // namespace jumpnest
