#include "ui/config/main_window_win.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "store/file_security_win.h"
#include "store/icons_win.h"
#include "store/persistence_win.h"
#include "store/shortcut_win.h"
#include "trigger/hooks_win.h"
#include "trigger/launch_win.h"
#include "ui/popup/menu_window_win.h"
#include "store/settings.h"
#include "store/settings_win.h"
#include "ui/config/resource_ids.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestConfig";
constexpr int kMenuIdBase = 2000;
constexpr int kMenuPictureSize = 13;
// The icon loader's results; see store/icon_loader_win.h.
constexpr UINT kPicturesMessage = WM_APP + 21;

std::unique_ptr<MainWindow> gMainWindow;

// Apply could not write a file: the window stays open with the edits.
constexpr std::string_view kWriteFailed[4] = {
    "Jumpnest could not write\n%FILE%\n\n%REASON%\nYour changes are still in the window.",
    "Jumpnest konnte nicht schreiben:\n%FILE%\n\n%REASON%\nIhre \u00c4nderungen sind noch im "
    "Fenster.",
    "Jumpnest n'a pas pu \u00e9crire\n%FILE%\n\n%REASON%\nVos modifications sont toujours dans "
    "la fen\u00eatre.",
    "Jumpnest no pudo escribir\n%FILE%\n\n%REASON%\nSus cambios siguen en la ventana.",
};

constexpr std::string_view kFileOfAnotherUser[4] = {
    "The file belongs to another user.",
    "Die Datei geh\u00f6rt einem anderen Benutzer.",
    "Le fichier appartient \u00e0 un autre utilisateur.",
    "El archivo pertenece a otro usuario.",
};

std::string SystemReason(DWORD error) {
    if (error == kErrorFileOfAnotherUser) {
        return std::string(kFileOfAnotherUser[LanguageColumn(gLanguage)]);
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    UniqueLocal owner(text);
    std::string reason = length ? Narrow(std::wstring_view(text, length)) : std::string();
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    if (reason.empty()) reason = "Error " + std::to_string(error);
    return reason;
}

std::string Replaced(std::string text, std::string_view key, std::string_view value) {
    for (size_t at = text.find(key); at != std::string::npos;
         at = text.find(key, at + value.size())) {
        text.replace(at, key.size(), value);
    }
    return text;
}

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
    ::SetWindowPos(window, nullptr, CenteredOrigin(::GetSystemMetrics(SM_CXSCREEN), width),
                   CenteredOrigin(::GetSystemMetrics(SM_CYSCREEN), height), 0, 0,
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
    iconLoader_ = std::make_unique<IconLoader>(hwnd(), kPicturesMessage);
    LoadPictures();
    descriptionBrush_.reset(::CreateSolidBrush(DesignColor(kLightYellow)));
    dropTarget_ = std::make_unique<FileDropTarget>(
        [this](const std::vector<std::string>& paths) { DropFiles(paths); });
    ::RegisterDragDrop(Control("lvwMenu"), dropTarget_.get());
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
    SetTray(gShowInSysTray);
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

    // Position 0 must hold a picture whatever the shell says, or every
    // entry's picture would shift by one: the system's application picture
    // stands in until the loader brings the program folder's, first of all.
    ImageList_AddIcon(imgIcons_.get(), ::LoadIconW(nullptr, IDI_APPLICATION));
    ImageList_AddIcon(imgPopUp_.get(), ::LoadIconW(nullptr, IDI_APPLICATION));
    std::vector<std::string> targets = {gAppPath};
    // Every entry shows the folder's picture until its own arrives.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCount(list, static_cast<int>(entries_.size()));
    for (size_t i = 0; i < entries_.size(); ++i) {
        images_.push_back(0);
        InsertRow(i);
        targets.push_back(entries_[i].target);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    if (!entries_.empty()) SelectRow(0);
    if (iconLoader_) {
        pictureBatch_ = iconLoader_->Load(std::move(targets));
        picturesPending_ = true;
    }
    Trace("entries: " + std::to_string(entries_.size()));
}

void MainWindow::OnPictures(std::unique_ptr<LoadedPictures> loaded) {
    // Pictures of a list that has since been loaded again are not wanted.
    if (loaded->batch != pictureBatch_) return;
    if (loaded->batchDone) {
        picturesPending_ = false;
        Trace("pictures: " + std::to_string(ImageList_GetImageCount(imgIcons_.get()) - 1) +
              " loaded");
        return;
    }
    // Both lists keep the same order, so an entry takes a place only when the
    // shell gave both of its pictures. The entry is found by its target: the
    // list may have been edited meanwhile.
    if (!loaded->large || !loaded->small) return;
    if (loaded->target == gAppPath) {
        // The folder's picture, at 0: no entry is a folder.
        ImageList_ReplaceIcon(imgIcons_.get(), 0, loaded->large.get());
        ImageList_ReplaceIcon(imgPopUp_.get(), 0, loaded->small.get());
        ::InvalidateRect(Control("lvwMenu"), nullptr, FALSE);
        if (MenuWindow* menu = OpenMenu()) menu->RefreshPictures();
        return;
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (images_[i] != 0 || entries_[i].target != loaded->target) continue;
        images_[i] = AppendPictures(loaded->large.get(), loaded->small.get());
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.iImage = images_[i];
        ListView_SetItem(Control("lvwMenu"), &item);
        if (MenuWindow* menu = OpenMenu()) menu->RefreshPictures();
        return;
    }
}

int MainWindow::AddPictures(const std::string& target) {
    // Both lists keep the same order, so an entry takes a place only when the
    // shell gives both of its pictures; otherwise it shows the folder's
    // picture at 0. Each icon is copied into its list and destroyed at once.
    UniqueIcon large = GetFileIcon(kLargeIcons, target);
    UniqueIcon small = GetFileIcon(kSmallIcons, target);
    return large && small ? AppendPictures(large.get(), small.get()) : 0;
}

int MainWindow::AppendPictures(HICON large, HICON small) {
    const int image = ImageList_GetImageCount(imgIcons_.get());
    ImageList_AddIcon(imgIcons_.get(), large);
    ImageList_AddIcon(imgPopUp_.get(), small);
    return image;
}

void MainWindow::InsertRow(size_t index) {
    std::wstring caption = Widen(entries_[index].caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(index);
    item.pszText = caption.data();
    item.iImage = images_[index];
    ListView_InsertItem(Control("lvwMenu"), &item);
}

void MainWindow::SelectRow(int index) {
    HWND list = Control("lvwMenu");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, index, FALSE);
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
        if (title == 0 && item == 0) {
            Show();
        } else if (title == 0) {
            QueryClose(CloseReason::FromCode);
        } else if (title == 1) {
            switch (item) {
            case 0:
                RenameSelected();
                break;
            case 2:
                MoveSelected(-1);
                break;
            case 3:
                MoveSelected(+1);
                break;
            case 5:
                RemoveSelected();
                break;
            default:
                break;
            }
        } else if (title == 2) {
            mnuLanguage_Click(item);
        }
        return;
    }
    const BuiltControl* control = design_.FindById(id);
    if (!control) return;
    const ControlDesign& design = *control->design;
    if (design.name == "lblURL" && code == STN_CLICKED) {
        OpenHelp();
        return;
    }
    if (code != BN_CLICKED) return;
    if (TraceEnabled()) {
        Trace("click: " + std::string(design.name) + "(" + std::to_string(design.index) + ")");
    }
    if (design.name == "cmdButton") {
        switch (design.index) {
        case 0:
            Apply();
            break;
        case 1:
            Cancel();
            break;
        case 2:
            MoveSelected(-1);
            break;
        case 3:
            MoveSelected(+1);
            break;
        default:
            break;
        }
    } else if (design.name == "chkOption" && design.index == 1) {
        SetTray(IsChecked(control->hwnd));
    } else if (design.name == "chkOption" && design.index == 2) {
        gExplorer = IsChecked(control->hwnd);
    } else if (design.name == "optOption") {
        gIconSize = design.index == 0 ? kSmallIcons : kLargeIcons;
    }
}

void MainWindow::SetTray(bool shown) {
    if (shown) {
        tray_.Add(hwnd(), reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd(), GCLP_HICONSM)),
                  Widen("Jumpnest V" + gAppVersionText.substr(0, 3)));
    } else {
        tray_.Remove();
    }
    gShowInSysTray = tray_.IsShown();
    Trace(std::string("tray: ") + (gShowInSysTray ? "1" : "0"));
}

void MainWindow::ShowFileMenuAtCursor() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // The menu closes when the user clicks elsewhere only if our window is
    // in the foreground while it is open.
    ::SetForegroundWindow(hwnd());
    ::TrackPopupMenu(::GetSubMenu(::GetMenu(hwnd()), 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                     hwnd(), nullptr);
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void MainWindow::OpenHelp() {
    const std::string page = gAppPath + std::string(HelpPageName(gLanguage));
    Trace("help: " + page);
    LaunchTarget(page);
}

int MainWindow::SelectedIndex() const {
    return ListView_GetNextItem(Control("lvwMenu"), -1, LVNI_SELECTED);
}

void MainWindow::RefreshList(int select) {
    ListView_DeleteAllItems(Control("lvwMenu"));
    for (size_t i = 0; i < entries_.size(); ++i) InsertRow(i);
    if (select >= 0 && select < static_cast<int>(entries_.size())) SelectRow(select);
}

void MainWindow::MoveSelected(int direction) {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    const size_t moved = MoveEntry(entries_, static_cast<size_t>(selected), direction);
    if (moved != static_cast<size_t>(selected)) {
        std::swap(images_[moved], images_[static_cast<size_t>(selected)]);
        RefreshList(static_cast<int>(moved));
    }
    ::SetFocus(Control("lvwMenu"));
}

void MainWindow::RemoveSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    entries_.erase(entries_.begin() + selected);
    images_.erase(images_.begin() + selected);
    // The next entry takes the removed one's place, ready for the next Delete.
    RefreshList(std::min(selected, static_cast<int>(entries_.size()) - 1));
    Trace("entries: " + std::to_string(entries_.size()));
}

void MainWindow::RenameSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    ::SetFocus(Control("lvwMenu"));
    ListView_EditLabel(Control("lvwMenu"), selected);
}

void MainWindow::DropFiles(const std::vector<std::string>& paths) {
    const std::vector<MenuEntry> added =
        EntriesFromDrop(paths, entries_, [](const std::string& path) { return FileExists(path); });
    for (const MenuEntry& entry : added) {
        // Every dropped file gets pictures of its own, whatever its name.
        entries_.push_back(entry);
        images_.push_back(AddPictures(entry.target));
        InsertRow(entries_.size() - 1);
        SelectRow(static_cast<int>(entries_.size()) - 1);
    }
    Trace("dropped: " + std::to_string(paths.size()) + " paths, " + std::to_string(added.size()) +
          " entries added; entries: " + std::to_string(entries_.size()));
}

void MainWindow::ReportWriteFailure(const std::string& file, DWORD error) {
    const std::string text =
        Replaced(Replaced(std::string(kWriteFailed[LanguageColumn(gLanguage)]), "%FILE%", file),
                 "%REASON%", SystemReason(error));
    Trace("apply failed: " + file);
    ::MessageBoxW(hwnd(), Widen(text).c_str(), L"Jumpnest", MB_OK | MB_ICONERROR);
}

bool MainWindow::Apply() {
    if (IsChecked(Control("chkOption", 0))) {
        // The Startup folder may have been deleted; Windows still starts
        // what it holds once it is back.
        if (gStartupLink.empty() || !CreatePath(GetParentFolder(gStartupLink))) {
            ReportWriteFailure(gStartupLink, ERROR_PATH_NOT_FOUND);
            return false;
        }
        if (!CreateShortcut(gStartupLink, gAppPath + ExecutableName() + ".exe", "", "", "", "",
                            0)) {
            ReportWriteFailure(gStartupLink, ::GetLastError());
            return false;
        }
    } else if (FileExists(gStartupLink) && !::DeleteFileW(Widen(gStartupLink).c_str())) {
        ReportWriteFailure(gStartupLink, ::GetLastError());
        return false;
    }
    if (!SaveSettings()) {
        ReportWriteFailure(gIniFile, ::GetLastError());
        return false;
    }
    Hide();
    Trace("applied");
    return true;
}

void MainWindow::Cancel() {
    LoadSettings();
    Hide();
    Trace("cancelled");
}

void MainWindow::QueryClose(CloseReason reason) {
    const CloseDecision decision = DecideClose(reason, IsMenuOpen());
    switch (decision.action) {
    case CloseAction::Hide:
        if (decision.pressCancel) Cancel();
        Hide();
        return;
    case CloseAction::Ask: {
        const std::string title(StripAccelerators(CaptionOf("mnuFile", 2, gLanguage)));
        const int answer =
            ::MessageBoxW(hwnd(), Widen(QuitQuestion(gLanguage)).c_str(), Widen(title).c_str(),
                          MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL);
        if (answer == IDYES) Quit();
        return;
    }
    case CloseAction::QuitAtOnce:
        Quit();
        return;
    }
}

void MainWindow::Quit() {
    Trace("quit");
    RemoveHooks();
    tray_.Remove();
    SetTopmost(hwnd(), false);
    DestroyMenu();
    ::RevokeDragDrop(Control("lvwMenu"));
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(0);
}

LRESULT MainWindow::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.hwndFrom != Control("lvwMenu")) return 0;
    switch (header.code) {
    case NM_DBLCLK: {
        const int selected = SelectedIndex();
        if (selected >= 0) {
            Trace("try: " + entries_[static_cast<size_t>(selected)].target);
            LaunchTarget(entries_[static_cast<size_t>(selected)].target);
        }
        return 0;
    }
    case NM_RCLICK: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::TrackPopupMenu(::GetSubMenu(::GetMenu(hwnd()), 1), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                         hwnd(), nullptr);
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) RemoveSelected();
        return 0;
    case LVN_ENDLABELEDITW: {
        const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
        const int index = edit->item.iItem;
        if (!edit->item.pszText || index < 0 || index >= static_cast<int>(entries_.size())) {
            return FALSE;
        }
        // A TAB or a line break would break the entry file: they never get in.
        entries_[static_cast<size_t>(index)].caption = CleanCaption(Narrow(edit->item.pszText));
        // The macro keeps only the pointer: the text must outlive it.
        std::wstring caption = Widen(entries_[static_cast<size_t>(index)].caption);
        ListView_SetItemText(Control("lvwMenu"), index, 0, caption.data());
        Trace("renamed: " + entries_[static_cast<size_t>(index)].caption);
        return FALSE;  // the text is set above, cleaned
    }
    default:
        return 0;
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
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        tray_.Restore();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case kPicturesMessage:
        OnPictures(IconLoader::Take(lParam));
        return 0;
    case kTrayMessage:
        if (LOWORD(lParam) == WM_LBUTTONUP) Show();
        if (LOWORD(lParam) == WM_RBUTTONUP) ShowFileMenuAtCursor();
        return 0;
    case WM_INITMENUPOPUP:
        // Options only makes sense while the window is hidden.
        if (reinterpret_cast<HMENU>(wParam) == ::GetSubMenu(::GetMenu(hwnd()), 1)) {
            Trace("edit menu opened");
        }
        if (reinterpret_cast<HMENU>(wParam) == ::GetSubMenu(::GetMenu(hwnd()), 0)) {
            Trace("file menu opened");
            ::EnableMenuItem(reinterpret_cast<HMENU>(wParam), 0,
                             MF_BYPOSITION | (IsShown() ? MF_GRAYED : MF_ENABLED));
        }
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) QueryClose(CloseReason::SessionEnding);
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
        QueryClose(CloseReason::CloseBox);
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
