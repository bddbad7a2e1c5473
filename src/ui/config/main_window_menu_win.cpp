// The configuration window's menu bar, its pictures and its language: the
// captions of every control, and the Language menu that switches them.
#include "ui/config/main_window_win.h"

#include <commctrl.h>

#include <string>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/pictures_win.h"
#include "core/resource_ids.h"
#include "core/scale.h"
#include "core/trace_win.h"
#include "ui/config/main_window_parts_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace config_window {

// Where the item of `command` stands in the menu bar, "title.item", for the
// trace.
std::string MenuPlace(Command command) {
    int title = -1, item = 0;
    for (const MenuItemDesign& design : Design().menu) {
        if (design.index < 0) {
            ++title;
            item = 0;
            continue;
        }
        if (design.command == command) {
            return std::to_string(title) + "." + std::to_string(item);
        }
        ++item;
    }
    return "?";
}

// The drop-down of the menu bar that holds `command`.
HMENU DropDownOf(HMENU bar, Command command) {
    for (int i = 0, count = ::GetMenuItemCount(bar); i < count; ++i) {
        HMENU dropDown = ::GetSubMenu(bar, i);
        if (::GetMenuState(dropDown, CommandId(command), MF_BYCOMMAND) != UINT(-1)) {
            return dropDown;
        }
    }
    return nullptr;
}

}  // namespace config_window

using namespace config_window;

namespace {

// The menu items that show a picture beside their caption, and the buttons
// that show one instead of a caption.
struct MenuPicture {
    Command command;
    int bitmap;
};
constexpr MenuPicture kMenuPictures[] = {
    {Command::kOptions, IDB_MENU_PROP},
    {Command::kEntryUp, IDB_MENU_UP},
    {Command::kEntryDown, IDB_MENU_DOWN},
    {Command::kRemove, IDB_MENU_DELETE},
};

// The keys a menu item's design names as its shortcut; the menu shows the
// name after a tab, as every Windows menu does.
struct Shortcut {
    std::string_view name;
    BYTE modifiers;
    WORD key;
};
constexpr Shortcut kShortcuts[] = {
    {"F2", FVIRTKEY, VK_F2},
    {"Ctrl+N", FVIRTKEY | FCONTROL, 'N'},
};

std::wstring MenuCaption(const MenuItemDesign& item, std::string_view caption) {
    std::wstring text = Widen(caption);
    if (!item.shortcut.empty()) text += L"\t" + Widen(item.shortcut);
    return text;
}

void SetMenuText(HMENU bar, UINT item, bool byPosition, std::wstring text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(bar, item, byPosition, &info);
}

}  // namespace

void MainWindow::BuildMenu() {
    HMENU bar = ::CreateMenu();
    std::vector<ACCEL> accelerators;
    HMENU dropDown = nullptr;
    for (const MenuItemDesign& item : Design().menu) {
        const std::wstring caption = MenuCaption(item, item.caption);
        if (item.index < 0) {
            dropDown = ::CreatePopupMenu();
            ::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                          caption.c_str());
        } else if (item.caption == "-") {
            ::AppendMenuW(dropDown, MF_SEPARATOR, 0, nullptr);
        } else {
            const WORD id = static_cast<WORD>(item.command);
            ::AppendMenuW(dropDown, MF_STRING, id, caption.c_str());
            for (const Shortcut& shortcut : kShortcuts) {
                if (item.shortcut == shortcut.name) {
                    accelerators.push_back({shortcut.modifiers, shortcut.key, id});
                }
            }
        }
    }
    ::SetMenu(hwnd(), bar);  // the window owns and destroys its menu bar
    if (!accelerators.empty()) {
        accelerators_.reset(
            ::CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size())));
    }
}

void MainWindow::LoadPictures() {
    // The pictures grow with the scale. The menu draws its own on a plain
    // background, which knows no transparency: they get the menu's colour.
    const int size = ScaleForDpi(FindControl(Design(), "imgMenu")->extra, dpi_);
    imgMenu_.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0));
    menuPictures_.clear();
    HMENU bar = ::GetMenu(hwnd());
    for (const MenuPicture& picture : kMenuPictures) {
        UniqueIcon icon = ScaledPicture(picture.bitmap, size);
        menuPictures_.push_back(BitmapOnBackground(icon.get(), size, ::GetSysColor(COLOR_MENU)));
        const HBITMAP bitmap = menuPictures_.back().get();
        ::SetMenuItemBitmaps(bar, CommandId(picture.command), MF_BYCOMMAND, bitmap, bitmap);
        const int image = ImageList_AddIcon(imgMenu_.get(), icon.get());
        if (picture.command == Command::kEntryUp) {
            upPicture_.reset(ImageList_GetIcon(imgMenu_.get(), image, ILD_TRANSPARENT));
        } else if (picture.command == Command::kEntryDown) {
            downPicture_.reset(ImageList_GetIcon(imgMenu_.get(), image, ILD_TRANSPARENT));
        }
    }
    ::SendMessageW(Control("cmdButton", 2), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(upPicture_.get()));
    ::SendMessageW(Control("cmdButton", 3), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(downPicture_.get()));
}

void MainWindow::ApplyLanguage() {
    HMENU bar = ::GetMenu(hwnd());
    for (const CaptionRow& row : CaptionTable()) {
        const int column = LanguageColumn(options_->language);
        const std::wstring caption = Widen(row.text[column]);
        if (HWND control = Control(row.control, row.index)) {
            ::SetWindowTextW(control, caption.c_str());
            continue;
        }
        // A menu item by its command; a menu title by its place in the bar.
        int title = 0;
        for (const MenuItemDesign& item : Design().menu) {
            if (item.name == row.control && item.index == row.index) {
                SetMenuText(bar,
                            item.index < 0 ? static_cast<UINT>(title) : CommandId(item.command),
                            item.index < 0, MenuCaption(item, row.text[column]));
                break;
            }
            if (item.index < 0) ++title;
        }
    }
    ::SetWindowTextW(Control("lblDesc"), Widen(HelpText(options_->language)).c_str());
    // The language's item is marked; an index outside 0 to 3 marks none.
    for (int language = kEnglish; language <= kSpanish; ++language) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        info.fState = language == options_->language ? MFS_CHECKED : MFS_UNCHECKED;
        ::SetMenuItemInfoW(bar, CommandId(Command::kEnglish) + static_cast<UINT>(language), FALSE,
                           &info);
    }
    ::DrawMenuBar(hwnd());
    Trace("language: " + std::to_string(options_->language));
}

void MainWindow::mnuLanguage_Click(int index) {
    options_->language = index;
    ApplyLanguage();
    // The language is stored at once; Cancel does not take it back.
    store_->settings.Write("Language", std::to_string(options_->language));
}

void MainWindow::ShowFileMenuAtCursor() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // The menu closes when the user clicks elsewhere only if our window is
    // in the foreground while it is open.
    ::SetForegroundWindow(hwnd());
    ::TrackPopupMenu(DropDownOf(::GetMenu(hwnd()), Command::kExit), TPM_RIGHTBUTTON, cursor.x,
                     cursor.y, 0, hwnd(), nullptr);
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void MainWindow::OnMenuOpening(HMENU menu) {
    HMENU bar = ::GetMenu(hwnd());
    if (menu == DropDownOf(bar, Command::kRename)) {
        Trace("edit menu opened");
        ::EnableMenuItem(menu, CommandId(Command::kProgramLists),
                         MF_BYCOMMAND | (store_->programs ? MF_ENABLED : MF_GRAYED));
    }
    if (menu == DropDownOf(bar, Command::kOptions)) {
        Trace("file menu opened");
        // Options only makes sense while the window is hidden.
        ::EnableMenuItem(menu, CommandId(Command::kOptions),
                         MF_BYCOMMAND | (IsShown() ? MF_GRAYED : MF_ENABLED));
        // A portable copy keeps everything beside the program already.
        ::EnableMenuItem(
            menu, CommandId(Command::kMoveBesideProgram),
            MF_BYCOMMAND | (gPortable || !links_.moveBesideProgram ? MF_GRAYED : MF_ENABLED));
    }
}

}  // namespace jumpnest
