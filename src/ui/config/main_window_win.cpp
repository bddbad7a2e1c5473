#include "ui/config/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/pictures_win.h"
#include "core/resource_ids.h"
#include "core/scale.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "store/file_security_win.h"
#include "store/shortcut_win.h"
#include "trigger/launch_win.h"
#include "trigger/pass_through_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestConfig";

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

const WindowDesign& Design() {
    return MainWindowDesign();
}

std::string SystemReason(DWORD error, std::int32_t language) {
    if (error == kErrorFileOfAnotherUser) return std::string(FileOfAnotherUserReason(language));
    if (error == kErrorUnsafeEntryFile) return std::string(UnsafeEntryFileReason(language));
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

UINT CommandId(Command command) {
    return static_cast<UINT>(command);
}

void SetMenuText(HMENU bar, UINT item, bool byPosition, std::wstring text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(bar, item, byPosition, &info);
}

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

}  // namespace

bool MainWindow::Load(EntryList& list, const Store& store, Options& options,
                      MainWindowLinks links) {
    entries_ = &list;
    store_ = &store;
    options_ = &options;
    links_ = std::move(links);
    // Made at the system's scale, then laid out again for the monitor the
    // window turns out to be on, and again whenever it moves to another.
    dpi_ = SystemDpi();
    const double twipsPerPixel = TwipsPerPixel(dpi_);
    const WindowStyles styles = StylesFor(Design());
    if (!Create(kClassName, Widen(Design().caption), styles.style, styles.exStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, 0, 0, nullptr)) {
        return false;
    }
    BuildMenu();
    // The client area is fixed by the design; the frame is what the system
    // adds to it for this style and menu bar.
    const SIZE frame = FrameSizeFor(Design(), dpi_);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    design_.Build(Design(), hwnd(), twipsPerPixel);
    LoadPictures();
    descriptionBrush_.reset(
        ::CreateSolidBrush(DesignColor(*FindControl(Design(), "lblDesc")->backColor)));
    dropTarget_ = std::make_unique<FileDropTarget>([this](const std::vector<std::string>& paths) {
        entries_->AddDropped(paths, store_->isFile);
    });
    dropRegistered_ = ::RegisterDragDrop(Control("lvwMenu"), dropTarget_.get()) == S_OK;
    list.Listen([this](EntryList::Change change, size_t index) { OnListChanged(change, index); });
    Form_Load();
    return true;
}

void MainWindow::Close() {
    exclusions_.Close();
    if (dropRegistered_) {
        ::RevokeDragDrop(Control("lvwMenu"));
        dropRegistered_ = false;
    }
    if (hwnd()) SetTopmost(hwnd(), false);
    Destroy();  // with it its menu bar, controls and tooltip
}

void MainWindow::BuildMenu() {
    HMENU bar = ::CreateMenu();
    std::vector<ACCEL> accelerators;
    HMENU dropDown = nullptr;
    for (const MenuItemDesign& item : Design().menu) {
        const std::wstring caption = Widen(item.caption);
        if (item.index < 0) {
            dropDown = ::CreatePopupMenu();
            ::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown),
                          caption.c_str());
        } else if (item.caption == "-") {
            ::AppendMenuW(dropDown, MF_SEPARATOR, 0, nullptr);
        } else {
            const WORD id = static_cast<WORD>(item.command);
            ::AppendMenuW(dropDown, MF_STRING, id, caption.c_str());
            if (item.shortcut == "F2") accelerators.push_back({FVIRTKEY, VK_F2, id});
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

void MainWindow::UseDpi(int dpi) {
    if (dpi != dpi_) design_.Rescale(Design(), TwipsPerPixel(dpi));
    dpi_ = dpi;
    LoadPictures();
    HWND list = Control("lvwMenu");
    // One column that leaves room for a vertical scroll bar, so that no
    // horizontal one is ever needed.
    RECT listRect{};
    ::GetWindowRect(list, &listRect);
    ListView_SetColumnWidth(
        list, 0,
        (listRect.right - listRect.left) - (MetricForDpi(SM_CXHTHUMB, dpi) +
                                            MetricForDpi(SM_CXVSCROLL, dpi) + ScaleForDpi(6, dpi)));
    ListView_SetImageList(list, entries_->Images(true, dpi), LVSIL_NORMAL);
    ListView_SetImageList(list, entries_->Images(true, dpi), LVSIL_SMALL);
    RefreshList(std::max(SelectedIndex(), 0));
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Trace("configuration window at " + std::to_string(dpi) + " dpi");
}

void MainWindow::Form_Load() {
    ApplyLanguage();
    CenterForm(hwnd());
    ::SetWindowTextW(hwnd(), Widen(ProgramTitle(gAppVersionText)).c_str());

    HWND list = Control("lvwMenu");
    SetExplorerTheme(list);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                                        LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(list, 0, &column);
    // Centred on the primary monitor, whose scale may since have changed
    // from the one the system started with: the frame is made for that
    // monitor's scale too, and centred again.
    const int dpi = DpiOf(hwnd());
    if (dpi != dpi_) {
        const SIZE frame = FrameSizeFor(Design(), dpi);
        ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.cx, frame.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CenterForm(hwnd());
    }
    UseDpi(dpi);
    ShowOptions();
    SetTopmost(hwnd(), true);
}

void MainWindow::ShowOptions() {
    SetCheck(Control("chkOption", 0), FileExists(gStartupLink));
    Options& options = *options_;
    SetCheck(Control("chkOption", 1), options.showInSysTray);
    if (links_.showTray) options.showInSysTray = links_.showTray(options.showInSysTray);
    SetCheck(Control("optOption", 0), options.iconSize == kSmallIcons);
    SetCheck(Control("optOption", 1), options.iconSize != kSmallIcons);
    SetCheck(Control("chkOption", 2), options.explorer);
    if (links_.optionsChanged) links_.optionsChanged();
}

void MainWindow::ApplyLanguage() {
    HMENU bar = ::GetMenu(hwnd());
    for (const CaptionRow& row : CaptionTable()) {
        const std::wstring caption = Widen(row.text[LanguageColumn(options_->language)]);
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
                            item.index < 0, caption);
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

void MainWindow::OnListChanged(EntryList::Change change, size_t index) {
    HWND list = Control("lvwMenu");
    switch (change) {
    case EntryList::Change::kReset:
        RefreshList(0);
        return;
    case EntryList::Change::kAdded:
        for (size_t i = index; i < entries_->entries().size(); ++i) InsertRow(i);
        SelectRow(static_cast<int>(entries_->entries().size()) - 1);
        return;
    case EntryList::Change::kCaption: {
        // The macro keeps only the pointer: the text must outlive it.
        std::wstring caption = Widen(entries_->entries()[index].caption);
        ListView_SetItemText(list, static_cast<int>(index), 0, caption.data());
        return;
    }
    case EntryList::Change::kPresence:
        ListView_RedrawItems(list, static_cast<int>(index), static_cast<int>(index));
        return;
    case EntryList::Change::kPicture:
        if (index == EntryList::kAllEntries) {
            ::InvalidateRect(list, nullptr, FALSE);
            return;
        }
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(index);
        item.iImage = entries_->Image(index, dpi_);
        ListView_SetItem(list, &item);
        return;
    }
}

void MainWindow::InsertRow(size_t index) {
    std::wstring caption = Widen(entries_->entries()[index].caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(index);
    item.pszText = caption.data();
    item.iImage = entries_->Image(index, dpi_);
    ListView_InsertItem(Control("lvwMenu"), &item);
}

void MainWindow::SelectRow(int index) {
    HWND list = Control("lvwMenu");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, index, FALSE);
}

void MainWindow::RefreshList(int select) {
    HWND list = Control("lvwMenu");
    const size_t count = entries_->entries().size();
    // Drawn once at the end rather than for every row.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    ListView_SetItemCount(list, static_cast<int>(count));
    for (size_t i = 0; i < count; ++i) InsertRow(i);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    if (select >= 0 && select < static_cast<int>(count)) SelectRow(select);
}

void MainWindow::Show() {
    // Entries found away are asked after again: the window greys only
    // those still away.
    entries_->Recheck();
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
    if (exclusions_.PreTranslate(message)) return true;
    if (!hwnd() || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
    if (accelerators_ && ::TranslateAcceleratorW(hwnd(), accelerators_.get(), &message)) {
        return true;
    }
    return ::IsDialogMessageW(hwnd(), &message) != FALSE;
}

void MainWindow::RunCommand(Command command) {
    // The one table from a command to what it does, for menu items, buttons,
    // boxes and the link alike.
    struct Handler {
        Command command;
        void (*run)(MainWindow& window);
    };
    static constexpr Handler kHandlers[] = {
        {Command::kOptions, [](MainWindow& w) { w.Show(); }},
        {Command::kExit, [](MainWindow& w) { w.QueryClose(CloseReason::FromCode); }},
        {Command::kRename, [](MainWindow& w) { w.RenameSelected(); }},
        {Command::kEntryUp, [](MainWindow& w) { w.MoveSelected(-1); }},
        {Command::kEntryDown, [](MainWindow& w) { w.MoveSelected(+1); }},
        {Command::kRemove, [](MainWindow& w) { w.RemoveSelected(); }},
        {Command::kEnglish, [](MainWindow& w) { w.mnuLanguage_Click(kEnglish); }},
        {Command::kGerman, [](MainWindow& w) { w.mnuLanguage_Click(kGerman); }},
        {Command::kFrench, [](MainWindow& w) { w.mnuLanguage_Click(kFrench); }},
        {Command::kSpanish, [](MainWindow& w) { w.mnuLanguage_Click(kSpanish); }},
        {Command::kApply, [](MainWindow& w) { w.Apply(); }},
        {Command::kCancel, [](MainWindow& w) { w.Cancel(); }},
        // Options act at once on the values in force; Apply stores them.
        {Command::kShowInSysTray,
         [](MainWindow& w) {
             const bool wanted = IsChecked(w.Control("chkOption", 1));
             w.options_->showInSysTray = w.links_.showTray ? w.links_.showTray(wanted) : false;
         }},
        {Command::kExplorer,
         [](MainWindow& w) {
             w.options_->explorer = IsChecked(w.Control("chkOption", 2));
             if (w.links_.optionsChanged) w.links_.optionsChanged();
         }},
        {Command::kSmallMenuIcons, [](MainWindow& w) { w.options_->iconSize = kSmallIcons; }},
        {Command::kLargeMenuIcons, [](MainWindow& w) { w.options_->iconSize = kLargeIcons; }},
        {Command::kHelpPage, [](MainWindow& w) { w.OpenHelp(); }},
        {Command::kExclusions,
         [](MainWindow& w) {
             w.exclusions_.Open(w.hwnd(),
                                w.links_.chordOptions ? w.links_.chordOptions() : ChordOptions{},
                                w.options_->language, w.links_.applyChordOptions);
         }},
    };
    for (const Handler& handler : kHandlers) {
        if (handler.command == command) {
            handler.run(*this);
            return;
        }
    }
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    // A control's command comes from its design; a menu item's or an
    // accelerator's identifier is its command.
    if (const BuiltControl* built = control ? design_.FindById(id) : nullptr) {
        const ControlDesign& design = *built->design;
        const bool clicked =
            design.kind == ControlKind::Label ? code == STN_CLICKED : code == BN_CLICKED;
        if (!clicked) return;
        if (TraceEnabled()) {
            Trace("click: " + std::string(design.name) + "(" + std::to_string(design.index) + ")");
        }
        RunCommand(design.command);
        return;
    }
    if (control) return;
    const Command command = static_cast<Command>(id);
    if (TraceEnabled()) Trace("menu: " + MenuPlace(command));
    RunCommand(command);
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

void MainWindow::OpenHelp() {
    const std::string page = gAppPath + std::string(HelpPageName(options_->language));
    Trace("help: " + page);
    LaunchTarget(page);
}

int MainWindow::SelectedIndex() const {
    return ListView_GetNextItem(Control("lvwMenu"), -1, LVNI_SELECTED);
}

void MainWindow::MoveSelected(int direction) {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    const size_t moved = entries_->Move(static_cast<size_t>(selected), direction);
    SelectRow(static_cast<int>(moved));
    ::SetFocus(Control("lvwMenu"));
}

void MainWindow::RemoveSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    entries_->Remove(static_cast<size_t>(selected));
    // The next entry takes the removed one's place, ready for the next Delete.
    const int count = static_cast<int>(entries_->entries().size());
    if (count > 0) SelectRow(std::min(selected, count - 1));
}

void MainWindow::RenameSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    ::SetFocus(Control("lvwMenu"));
    ListView_EditLabel(Control("lvwMenu"), selected);
}

void MainWindow::ReportWriteFailure(const std::string& file, DWORD error) {
    Trace("apply failed: " + file);
    ::MessageBoxW(
        hwnd(),
        Widen(WriteFailedMessage(options_->language, file, SystemReason(error, options_->language)))
            .c_str(),
        L"Jumpnest", MB_OK | MB_ICONERROR);
}

bool MainWindow::ApplyStartupLink(bool startWithWindows) {
    if (startWithWindows) {
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
    return true;
}

bool MainWindow::Apply() {
    // Read before anything is written: a message box below runs a loop of
    // its own, and a request to end that arrives in it ends this Apply.
    const bool startWithWindows = IsChecked(Control("chkOption", 0));
    // The list and the options are saved whatever becomes of the shortcut:
    // a shortcut that cannot be written must not cost the user the edits.
    const bool saved = SaveSettings(*store_, *entries_, *options_);
    if (!saved) ReportWriteFailure(gIniFile, ::GetLastError());
    if (Ending()) return false;
    const bool linked = ApplyStartupLink(startWithWindows);
    if (!saved || !linked) return false;
    Hide();
    Trace(std::string("applied: start with Windows ") + (startWithWindows ? "1" : "0"));
    return true;
}

void MainWindow::Cancel() {
    LoadSettings(*store_, *entries_, *options_);
    ShowOptions();
    Hide();
    Trace("cancelled");
}

void MainWindow::QueryClose(CloseReason reason) {
    const CloseDecision decision = DecideClose(reason, links_.popupOpen && links_.popupOpen());
    switch (decision.action) {
    case CloseAction::Hide:
        if (decision.pressCancel) Cancel();
        Hide();
        return;
    case CloseAction::Ask: {
        const std::string title(StripAccelerators(CaptionOf("mnuFile", 2, options_->language)));
        const int answer =
            ::MessageBoxW(hwnd(), Widen(QuitQuestion(options_->language)).c_str(),
                          Widen(title).c_str(), MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL);
        if (answer == IDYES && links_.quit) links_.quit();
        return;
    }
    case CloseAction::QuitAtOnce:
        if (links_.quit) links_.quit();
        return;
    }
}

LRESULT MainWindow::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.hwndFrom != Control("lvwMenu")) return 0;
    const std::vector<MenuEntry>& entries = entries_->entries();
    switch (header.code) {
    case NM_DBLCLK: {
        const int selected = SelectedIndex();
        if (selected >= 0) {
            Trace("try: " + entries[static_cast<size_t>(selected)].target);
            LaunchTarget(entries[static_cast<size_t>(selected)].target);
        }
        return 0;
    }
    case NM_RCLICK: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::TrackPopupMenu(DropDownOf(::GetMenu(hwnd()), Command::kRename), TPM_RIGHTBUTTON, cursor.x,
                         cursor.y, 0, hwnd(), nullptr);
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) RemoveSelected();
        return 0;
    case NM_CUSTOMDRAW: {
        // An entry whose file is away is drawn greyed.
        auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
            !entries_->available(static_cast<size_t>(draw.nmcd.dwItemSpec))) {
            draw.clrText = ::GetSysColor(COLOR_GRAYTEXT);
        }
        return CDRF_DODEFAULT;
    }
    case LVN_GETINFOTIPW: {
        // The tip names the file, and for one that is away says why it is
        // grey and that it is kept.
        auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
        const auto item = static_cast<size_t>(tip.iItem);
        if (item >= entries.size() || tip.cchTextMax <= 0) return 0;
        std::string text = entries[item].target;
        if (!entries_->available(item))
            text = std::string(EntryAwayText(options_->language)) + "\n" + text;
        lstrcpynW(tip.pszText, Widen(text).c_str(), tip.cchTextMax);
        return 0;
    }
    case LVN_ENDLABELEDITW: {
        const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
        if (edit->item.pszText && edit->item.iItem >= 0) {
            entries_->Rename(static_cast<size_t>(edit->item.iItem), Narrow(edit->item.pszText));
        }
        return FALSE;  // the row shows the cleaned caption the list now holds
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
    if (built && built->design->backColor) {
        ::SetBkColor(dc, DesignColor(*built->design->backColor));
        return reinterpret_cast<LRESULT>(descriptionBrush_.get());
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the size Windows suggests
        // keeps the client area in proportion.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        UseDpi(HIWORD(wParam));
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_INITMENUPOPUP: {
        const HMENU menu = reinterpret_cast<HMENU>(wParam);
        HMENU bar = ::GetMenu(hwnd());
        if (menu == DropDownOf(bar, Command::kRename)) Trace("edit menu opened");
        if (menu == DropDownOf(bar, Command::kOptions)) {
            Trace("file menu opened");
            // Options only makes sense while the window is hidden.
            ::EnableMenuItem(menu, CommandId(Command::kOptions),
                             MF_BYCOMMAND | (IsShown() ? MF_GRAYED : MF_ENABLED));
        }
        return 0;
    }
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
    case WM_SYSCOMMAND:
        // The close box, the window menu and Alt+F4 come this way; a bare
        // WM_CLOSE comes from another program.
        if ((wParam & 0xFFF0) != SC_CLOSE) break;
        QueryClose(CloseReason::CloseBox);
        return 0;
    case WM_CLOSE:
        QueryClose(CloseReason::FromOutside);
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
