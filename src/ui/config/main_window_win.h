// frmMain, the configuration window: the entry list, the options, the
// language menu. It is loaded once, hidden, and lives as long as the program.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/handle_win.h"
#include "core/window_win.h"
#include "store/entry_file.h"
#include "store/icon_loader_win.h"
#include "ui/config/config_rules.h"
#include "ui/config/design_builder_win.h"
#include "ui/config/drop_target_win.h"
#include "ui/config/tray_win.h"

namespace jumpnest {

using UniqueImageList = Unique<HIMAGELIST, NullTraits<HIMAGELIST, ::ImageList_Destroy>>;

class MainWindow final : public Window {
public:
    MainWindow() = default;
    ~MainWindow() override = default;

    // Creates the window hidden from its design and runs its load handler.
    bool Load();

    void Show();
    void Hide();
    bool IsShown() const;

    // Keyboard handling that belongs to the window: F2, Tab, Enter, Escape
    // and access keys. True when the message was consumed.
    bool PreTranslate(MSG& message);

    // The live entry list, shown in lvwMenu with the entries' shell icons.
    // Position 0 of both image lists holds the program folder's icon, which
    // an entry shows until its own has been fetched.
    void SetEntries(std::vector<MenuEntry> entries);
    // Whether the entries' own pictures are still being fetched.
    bool PicturesPending() const { return picturesPending_; }
    const std::vector<MenuEntry>& entries() const { return entries_; }
    // The picture of entry `i` in both image lists.
    int EntryImage(size_t i) const { return i < images_.size() ? images_[i] : 0; }
    HIMAGELIST imgIcons() const { return imgIcons_.get(); }
    HIMAGELIST imgPopUp() const { return imgPopUp_.get(); }
    // The four menu pictures: 0 Delete, 1 Prop, 2 down, 3 up.
    HIMAGELIST imgMenu() const { return imgMenu_.get(); }

    void ApplyLanguage();
    void mnuLanguage_Click(int index);

    // Apply stores options, list and the start-up shortcut and hides the
    // window; false (with a message, the window left open) when something
    // could not be written. Cancel reads the stored state back and hides it.
    bool Apply();
    void Cancel();
    // The window is asked to close, for one of the reasons a window closes.
    void QueryClose(CloseReason reason);
    // Adds the files as entries at the end of the list.
    void DropFiles(const std::vector<std::string>& paths);
    void MoveSelected(int direction);
    void RemoveSelected();
    void RenameSelected();
    int SelectedIndex() const;
    bool trayShown() const { return tray_.IsShown(); }

    HWND Control(std::string_view name, int index = -1) const {
        return design_.Window(name, index);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Load();
    void Quit();
    void SetTray(bool shown);
    void ShowFileMenuAtCursor();
    void OpenHelp();
    int AddPictures(const std::string& target);
    // Adds an entry's two pictures to the end of both lists; their position.
    int AppendPictures(HICON large, HICON small);
    void OnPictures(std::unique_ptr<LoadedPictures> loaded);
    void InsertRow(size_t index);
    void SelectRow(int index);
    void RefreshList(int select);
    LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
    void ReportWriteFailure(const std::string& file, DWORD error);
    void BuildMenu();
    void LoadPictures();
    void OnCommand(int id, int code);
    void SetMenuCaption(std::string_view name, int index, std::string_view caption);
    LRESULT OnControlColor(HDC dc, HWND control);

    BuiltDesign design_;
    UniqueAccelerators accelerators_;
    UniqueImageList imgIcons_;
    UniqueImageList imgPopUp_;
    UniqueImageList imgMenu_;
    std::vector<UniqueBitmap> menuPictures_;  // Delete, Prop, down, up
    UniqueIcon upPicture_;
    UniqueIcon downPicture_;
    UniqueBrush descriptionBrush_;
    std::vector<MenuEntry> entries_;
    std::vector<int> images_;
    TrayIcon tray_;
    std::unique_ptr<FileDropTarget> dropTarget_;
    std::unique_ptr<IconLoader> iconLoader_;
    std::uint64_t pictureBatch_ = 0;
    bool picturesPending_ = false;
};

// The configuration window, loaded on first use.
MainWindow& frmMain();
bool IsMainWindowLoaded();

// Command identifiers of the menu bar: drop-down position and item position.
int MenuCommandId(int titlePosition, int itemPosition);

}  // namespace jumpnest
