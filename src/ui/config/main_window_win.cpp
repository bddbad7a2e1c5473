#include "ui/config/main_window_win.h"

#include <memory>
#include <string>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "store/icons_win.h"
#include "store/settings.h"
#include "store/settings_win.h"
#include "ui/config/resource_ids.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestConfig";
constexpr int kMenuIdBase = 2000;
constexpr int kMenuPictureSize = 13;

std::unique_ptr<MainWindow> gMainWindow;

const WindowDesign& Design() {
    return MainWindowDesign();
}

const MenuItemDesign* MenuItem(std::string_view name, int index) {
    for (const MenuItemDesign& item : Design().menu) {
        if (item.name == name && item.index == index) return &item;
    }
    return nullptr;
}

// SetWindowTheme lives in uxtheme.dll, which older systems may lack: it is
// looked up only when the library was found at start-up.
void SetExplorerTheme(HWND window) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme) return;
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme) setTheme(window, L"explorer", nullptr);
}

void SetTopmost(HWND window, bool on) {
    ::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Centred on the primary screen.
void CenterForm(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    ::SetWindowPos(window, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetCheck(HWND button, bool on) {
    ::SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND button) {
    return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

int MenuCommandId(int titlePosition, int itemPosition) {
    return kMenuIdBase + titlePosition * 100 + itemPosition;
}

MainWindow& frmMain() {
    if (!gMainWindow) {
        gMainWindow = std::make_unique<MainWindow>();
        gMainWindow->Load();
    }
    return *gMainWindow;
}

bool IsMainWindowLoaded() {
    return gMainWindow != nullptr;
}

bool MainWindow::Load() {
    const double twipsPerPixel = ScreenTwipsPerPixel();
    const WindowStyles styles = StylesFor(Design());
    if (!Create(kClassName, Widen(Design().caption), styles.style, styles.exStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, 0, 0, nullptr)) {
        return false;
    }
    BuildMenu();
    // The client area is fixed by the design; the frame is what the system
    // adds to it for this style and menu bar.
    const SIZE frame = FrameSizeFor(Design(), twipsPerPixel);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    design_.Build(Design(), hwnd(), twipsPerPixel);
    LoadPictures();
    descriptionBrush_.reset(::CreateSolidBrush(DesignColor(kLightYellow)));
    Form_Load();
    return true;
}

void MainWindow::BuildMenu() {
    HMENU bar = ::CreateMenu();
    std::vector<ACCEL> accelerators;
    HMENU dropDown = nullptr;
    for (const MenuItemDesign& item : Design().menu) {
        const std::wstring caption = Widen(item.caption);
        if (item.itemPosition < 0) {
            dropDown = ::CreatePopupMenu();
            ::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                          caption.c_str());
        } else if (item.caption == "-") {
            ::AppendMenuW(dropDown, MF_SEPARATOR, 0, nullptr);
        } else {
            const int id = MenuCommandId(item.titlePosition, item.itemPosition);
            ::AppendMenuW(dropDown, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
            if (item.shortcut == "F2") {
                accelerators.push_back({FVIRTKEY, VK_F2, static_cast<WORD>(id)});
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
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    imgIcons_.reset(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 8, 8));
    imgPopUp_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
    imgMenu_.reset(
        ImageList_Create(kMenuPictureSize, kMenuPictureSize, ILC_COLOR24 | ILC_MASK, 4, 0));
    for (int id : {IDB_MENU_DELETE, IDB_MENU_PROP, IDB_MENU_DOWN, IDB_MENU_UP}) {
        menuPictures_.emplace_back(static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
        // White is the transparent colour of the pictures on the buttons.
        ImageList_AddMasked(imgMenu_.get(), menuPictures_.back().get(), RGB(255, 255, 255));
    }
    downPicture_.reset(ImageList_GetIcon(imgMenu_.get(), 2, ILD_TRANSPARENT));
    upPicture_.reset(ImageList_GetIcon(imgMenu_.get(), 3, ILD_TRANSPARENT));
}

void MainWindow::Form_Load() {
    ApplyLanguage();
    CenterForm(hwnd());
    ::SetWindowTextW(hwnd(), Widen("Jumpnest V" + gAppVersionText.substr(0, 3)).c_str());

    HWND list = Control("lvwMenu");
    if (gThemed) SetExplorerTheme(list);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // One column that leaves room for a vertical scroll bar, so that no
    // horizontal one is ever needed.
    RECT listRect{};
    ::GetWindowRect(list, &listRect);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = (listRect.right - listRect.left) -
                (::GetSystemMetrics(SM_CXHTHUMB) + ::GetSystemMetrics(SM_CXVSCROLL) + 6);
    ListView_InsertColumn(list, 0, &column);
    ListView_SetImageList(list, imgIcons_.get(), LVSIL_NORMAL);
    ListView_SetImageList(list, imgIcons_.get(), LVSIL_SMALL);

    HMENU bar = ::GetMenu(hwnd());
    auto picture = [&](int title, int item, size_t which) {
        const HBITMAP bitmap = menuPictures_[which].get();
        ::SetMenuItemBitmaps(::GetSubMenu(bar, title), static_cast<UINT>(item), MF_BYPOSITION,
                             bitmap, bitmap);
    };
    picture(0, 0, 1);  // File > Options: "Prop"
    picture(1, 2, 3);  // Edit > up
    picture(1, 3, 2);  // Edit > down
    picture(1, 5, 0);  // Edit > remove: "Delete"
    ::SendMessageW(Control("cmdButton", 2), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(upPicture_.get()));
    ::SendMessageW(Control("cmdButton", 3), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(downPicture_.get()));

    SetCheck(Control("chkOption", 0), FileExists(gStartupLink));
    SetCheck(Control("chkOption", 1), gShowInSysTray);
    if (gIconSize == kSmallIcons) {
        SetCheck(Control("optOption", 0), true);
        SetCheck(Control("optOption", 1), false);
    }
    SetCheck(Control("chkOption", 2), gExplorer);

    SetTopmost(hwnd(), true);
}

void MainWindow::SetMenuCaption(std::string_view name, int index, std::string_view caption) {
    const MenuItemDesign* item = MenuItem(name, index);
    if (!item) return;
    HMENU menu = ::GetMenu(hwnd());
    int position = item->titlePosition;
    if (item->itemPosition >= 0) {
        menu = ::GetSubMenu(menu, item->titlePosition);
        position = item->itemPosition;
    }
    std::wstring text = Widen(caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
}

void MainWindow::ApplyLanguage() {
    for (const CaptionRow& row : CaptionTable()) {
        const std::string_view caption = row.text[LanguageColumn(gLanguage)];
        if (HWND control = Control(row.control, row.index)) {
            ::SetWindowTextW(control, Widen(caption).c_str());
        } else {
            SetMenuCaption(row.control, row.index, caption);
        }
    }
    ::SetWindowTextW(Control("lblDesc"), Widen(HelpText(gLanguage)).c_str());
    // A language index is also the position of its item in the Language
    // menu; an index outside 0 to 3 leaves every item unmarked.
    ::CheckMenuRadioItem(::GetSubMenu(::GetMenu(hwnd()), 2), 0, 3, static_cast<UINT>(gLanguage),
                         MF_BYPOSITION);
    ::DrawMenuBar(hwnd());
    Trace("language: " + std::to_string(gLanguage));
}

void MainWindow::mnuLanguage_Click(int index) {
    gLanguage = index;
    ApplyLanguage();
    // The language is stored at once; Cancel does not take it back.
    RegistrySettings().Write("Language", std::to_string(gLanguage));
}

void MainWindow::SetEntries(std::vector<MenuEntry> entries) {
    entries_ = std::move(entries);
    images_.clear();
    HWND list = Control("lvwMenu");
    ListView_DeleteAllItems(list);
    ImageList_RemoveAll(imgIcons_.get());
    ImageList_RemoveAll(imgPopUp_.get());

    // Each icon handle is copied into its list and destroyed at once.
    auto add = [](HIMAGELIST images, UniqueIcon icon) { ImageList_AddIcon(images, icon.get()); };
    // Position 0 must hold a picture whatever the shell says, or every
    // entry's picture would shift by one.
    auto addFolder = [](HIMAGELIST images, UniqueIcon icon) {
        ImageList_AddIcon(images, icon ? icon.get() : ::LoadIconW(nullptr, IDI_APPLICATION));
    };
    addFolder(imgIcons_.get(), GetFileIcon(kLargeIcons, gAppPath));
    addFolder(imgPopUp_.get(), GetFileIcon(kSmallIcons, gAppPath));
    for (size_t i = 0; i < entries_.size(); ++i) {
        // Both lists keep the same order, so an entry takes a place only when
        // the shell gives both of its pictures; otherwise it shows the
        // folder's picture at 0.
        UniqueIcon large = GetFileIcon(kLargeIcons, entries_[i].target);
        UniqueIcon small = GetFileIcon(kSmallIcons, entries_[i].target);
        int image = 0;
        if (large && small) {
            image = ImageList_GetImageCount(imgIcons_.get());
            add(imgIcons_.get(), std::move(large));
            add(imgPopUp_.get(), std::move(small));
        }

        std::wstring caption = Widen(entries_[i].caption);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = caption.data();
        item.iImage = image;
        images_.push_back(item.iImage);
        ListView_InsertItem(list, &item);
    }
    if (!entries_.empty()) {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    Trace("entries: " + std::to_string(entries_.size()));
}

void MainWindow::Show() {
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
    Trace("configuration window shown");
}

void MainWindow::Hide() {
    ::ShowWindow(hwnd(), SW_HIDE);
}

bool MainWindow::IsShown() const {
    return ::IsWindowVisible(hwnd()) != FALSE;
}

bool MainWindow::PreTranslate(MSG& message) {
    if (!hwnd() || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
    if (accelerators_ && ::TranslateAcceleratorW(hwnd(), accelerators_.get(), &message)) {
        return true;
    }
    return ::IsDialogMessageW(hwnd(), &message) != FALSE;
}

void MainWindow::OnCommand(int id, int code) {
    if (id >= kMenuIdBase) {
        const int title = (id - kMenuIdBase) / 100, item = (id - kMenuIdBase) % 100;
        Trace("menu: " + std::to_string(title) + "." + std::to_string(item));
        if (title == 2) mnuLanguage_Click(item);
        return;
    }
    const BuiltControl* control = design_.FindById(id);
    if (!control || code != BN_CLICKED) return;
    const ControlDesign& design = *control->design;
    if (TraceEnabled()) {
        Trace("click: " + std::string(design.name) + "(" + std::to_string(design.index) + ")");
    }
    if (design.name == "chkOption" && design.index == 2) {
        gExplorer = IsChecked(control->hwnd);
    } else if (design.name == "optOption") {
        gIconSize = design.index == 0 ? kSmallIcons : kLargeIcons;
    }
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
    const BuiltControl* built = design_.FindById(::GetDlgCtrlID(control));
    if (built && built->design->foreColor) {
        ::SetTextColor(dc, DesignColor(*built->design->foreColor));
    }
    if (built && built->design->backColor == kLightYellow) {
        ::SetBkColor(dc, DesignColor(kLightYellow));
        return reinterpret_cast<LRESULT>(descriptionBrush_.get());
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PRINTCLIENT: {
        // Themed check boxes and option buttons paint their parent's
        // background behind them through this message.
        RECT client{};
        ::GetClientRect(hwnd(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return 0;
    }
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_SETCURSOR: {
        const BuiltControl* built =
            design_.FindById(::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
        if (built && (built->design->flags & kHandPointer)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        // The close box only hides the window; the program goes on.
        Hide();
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
