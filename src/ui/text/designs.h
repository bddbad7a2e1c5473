// The two windows as data: every control with its kind, name, array index,
// container, place and size in twips, tab order, design-time text, font,
// colours and the few flags that shape behaviour. One Win32 builder turns a
// design into a window; every layout rule reads the same numbers from here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace jumpnest {

// 1/1440 inch; 15 twips make a pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;

enum class ControlKind {
    Label,
    CommandButton,
    Frame,
    PictureBox,
    CheckBox,
    OptionButton,
    Timer,
    Line,
    Image,
    Shape,
    ListView,
    ImageList,
    HotKey,  // a box that shows and takes a key combination
};

struct FontDesign {
    std::string_view face;
    double points;
    int weight;  // 400 normal, 700 bold
    bool underline = false;
};

// Colours: 0x00BBGGRR direct, or 0x800000nn for system colour nn.
inline constexpr std::uint32_t kSysColorFlag = 0x80000000;
inline constexpr std::uint32_t kMenuColor = 0x80000004;
inline constexpr std::uint32_t kActiveBorderColor = 0x8000000A;
inline constexpr std::uint32_t kNavy = 0x00800000;
inline constexpr std::uint32_t kLightYellow = 0x00C0FFFF;
inline constexpr std::uint32_t kBlack = 0x00000000;

enum ControlFlag : std::uint32_t {
    kNoFlags = 0,
    kDefaultButton = 1u << 0,   // Enter presses it
    kCancelButton = 1u << 1,    // Escape presses it
    kGraphical = 1u << 2,       // shows a picture instead of text
    kSelected = 1u << 3,        // option button selected at design
    kAccessKeys = 1u << 4,      // "&" marks an access key in a label
    kHandPointer = 1u << 5,     // pointing-hand mouse pointer
    kHelpPointer = 1u << 6,     // arrow with question mark
    kNoColumnHeader = 1u << 7,  // list view rows without a header
    kTwoLines = 1u << 8,        // caption may take two lines
    kBorderless = 1u << 9,      // no sunken edge around a list
    kVirtualList = 1u << 10,    // a list that asks its owner for each row as it draws it
    kEditLabels = 1u << 11,     // captions renamed in place
};

// What a menu item or a control does when it is chosen or clicked. The value
// is the item's command identifier, so a menu can be reordered without
// rebinding anything.
enum class Command : int {
    kNone = 0,
    kOptions = 2001,
    kExit,
    kRename,
    kEntryUp,
    kEntryDown,
    kRemove,
    kEnglish,  // the four languages in language-index order
    kGerman,
    kFrench,
    kSpanish,
    kApply,
    kCancel,
    kStartWithWindows,
    kShowInSysTray,
    kSmallMenuIcons,
    kLargeMenuIcons,
    kExplorer,
    kHelpPage,
    kExclusions,
    kAddProgram,
    kRemoveProgram,
    kAddEntry,  // Edit > Add entry: files chosen in the Open dialog
    // Lists of single programs, and the move to a portable copy.
    kProgramLists,       // Edit > Program lists: the dialog of the programs that have one
    kMoveBesideProgram,  // File > Keep everything beside the program
    kEditList,           // that dialog's default button: the main window edits the chosen list
};

struct ControlDesign {
    ControlKind kind;
    std::string_view name;
    int index;                   // control-array index; -1 when not in an array
    std::string_view container;  // "" for the window itself
    // Left, Top, Width, Height in twips inside the container's client area.
    // A line keeps its two ends here instead: (left, top) to (width, height).
    int left, top, width, height;
    int tabIndex;  // -1 for controls outside the tab order
    std::string_view caption;
    std::optional<FontDesign> font = {};
    std::optional<std::uint32_t> foreColor = {};
    std::optional<std::uint32_t> backColor = {};
    std::uint32_t flags = kNoFlags;
    std::string_view toolTip = {};
    int extra = 0;  // timers: interval in ms; image lists: picture size in pixels
    Command command = Command::kNone;
};

// A menu bar in order: a title (index -1) opens a drop-down that holds the
// items after it, up to the next title.
struct MenuItemDesign {
    std::string_view name;
    int index;                 // -1 for the menu titles
    std::string_view caption;  // "-" is a separator
    Command command = Command::kNone;
    std::string_view shortcut = {};
};

enum class WindowBorder {
    FixedDialog,  // caption, window menu and close box; no resizing, no min/max
    None,         // no caption, no frame, no buttons
};

struct WindowDesign {
    std::string_view caption;
    int clientWidth, clientHeight;  // twips
    WindowBorder border;
    bool inTaskbar;                           // shown in the taskbar while visible
    std::span<const ControlDesign> controls;  // in creation order
    std::span<const MenuItemDesign> menu;
};

const WindowDesign& MainWindowDesign();
const WindowDesign& MenuWindowDesign();
// The small dialog of File > Exclusions and shortcut.
const WindowDesign& ExclusionsWindowDesign();
// The dialog of Edit > Program lists.
const WindowDesign& ProgramListsWindowDesign();

// The control of a design by name and array index (-1 for none); null when
// the design has none.
const ControlDesign* FindControl(const WindowDesign& design, std::string_view name, int index = -1);

struct TwipsRect {
    int left, top, width, height;
    bool operator==(const TwipsRect&) const = default;
};

// Where a control lies in the window's client area: containers are not real
// child windows on Windows, so their offsets are added up.
TwipsRect PlaceInWindow(const WindowDesign& design, const ControlDesign& control);

// Twips to pixels at `twipsPerPixel` (15 at 96 dots per inch), to the nearest
// pixel; and pixels to twips, halves to even.
int TwipsToPixels(int twips, double twipsPerPixel);
int PixelsToTwips(int pixels, double twipsPerPixel);
double TwipsPerPixel(int dotsPerInch);

}  // namespace jumpnest
