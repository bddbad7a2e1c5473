// frmMain, the configuration window: a view of the entry list that edits it,
// the options and the language menu. It is loaded once, hidden, and lives as
// long as the program.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/handle_win.h"
#include "core/window_win.h"
#include "store/entry_list_win.h"
#include "store/persistence_win.h"
#include "ui/config/config_rules.h"
#include "ui/config/drop_target_win.h"
#include "ui/config/exclusions_window_win.h"
#include "ui/config/program_lists_window_win.h"
#include "ui/text/design_builder_win.h"
#include "ui/text/palette.h"
#include "ui/text/row_tip_win.h"

namespace jumpnest {

// What the window asks of the rest of the program.
struct MainWindowLinks {
    // Whether the popup is open: closing the window keeps the edits then.
    std::function<bool()> popupOpen;
    // Asks the program to end.
    std::function<void()> quit;
    // Whether it is ending: after a message box or menu returns, nothing
    // more is done then.
    std::function<bool()> ending;
    // The options changed: what else acts on them (the hooks) takes them.
    std::function<void()> optionsChanged;
    // Shows or removes the notification-area icon; whether it is shown.
    std::function<bool(bool shown)> showTray;
    // The values of File > Exclusions and shortcut, and where OK sends them.
    std::function<ChordOptions()> chordOptions;
    ChordOptionsSink applyChordOptions;
    // File > Keep everything beside the program: moves the settings and the
    // window's lists beside the exe; what could not be written, if anything.
    std::function<MoveOutcome()> moveBesideProgram = {};
};

class MainWindow final : public Window {
public:
    MainWindow() = default;
    // The window goes before the pictures, brush and drop target it uses.
    ~MainWindow() override { Close(); }

    // Creates the window hidden from its design, as a view of `list` (the
    // common list), of the program lists of `store`, and of `options`, which
    // its boxes change at once, and runs its load handler.
    bool Load(EntryList& list, const Store& store, Options& options, MainWindowLinks links);
    // Revokes the drop target and destroys the window: OLE must not keep a
    // target whose window is gone.
    void Close();

    void Show();
    void Hide();
    bool IsShown() const;

    // Keyboard handling that belongs to the window: F2, Tab, Enter, Escape
    // and access keys. True when the message was consumed.
    bool PreTranslate(MSG& message);

    // Puts the stored options into the boxes, the tray icon and the hooks.
    void ShowOptions();
    // "Start with Windows" as the Startup shortcut and the logon task have it.
    void ShowStartWithWindows();
    void ApplyLanguage();
    void mnuLanguage_Click(int index);

    // Apply stores options and list, then the start-up shortcut, and hides
    // the window; false (with a message, the window left open) when something
    // could not be written. Cancel reads the stored state back and hides it.
    bool Apply();
    void Cancel();
    // The window is asked to close, for one of the reasons a window closes.
    void QueryClose(CloseReason reason);
    // Draws the window, and the dialog it opens, in `palette` from now on
    // (given before Load, from the start).
    void SetPalette(const Palette& palette);
    // The File menu at the mouse, as the tray icon's right click shows it.
    void ShowFileMenuAtCursor();

    // Edit > Add entry: files picked in the Open dialog become entries, as
    // dropped files do.
    void AddEntries();
    // Makes entries of dropped or picked files in the list shown: folders,
    // files gone and files already in the list are skipped.
    void AddFiles(const std::vector<std::string>& paths);
    void MoveSelected(int direction);
    void RemoveSelected();
    void RenameSelected();
    int SelectedIndex() const;

    // Shows and edits the list of the program `key` ("" or a program without
    // a list: the common list); the title names the program.
    void ShowList(const std::string& key);
    // The program whose list is shown; "" for the common list.
    const std::string& shownProgram() const { return shownProgram_; }
    // Edit > Program lists.
    void OpenProgramLists();
    // File > Keep everything beside the program; says what became of it.
    void KeepEverythingBesideProgram();

    HWND Control(std::string_view name, int index = -1) const {
        return design_.Window(name, index);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Load();
    void BuildMenu();
    void LoadPictures();
    // Lays the window out for a monitor of `dpi` dots per inch: controls,
    // fonts, pictures and the list's column.
    void UseDpi(int dpi);
    void RunCommand(Command command);
    // A box of the options panel was clicked: the option acts at once.
    void OnOption(Command command);
    void OnMenuOpening(HMENU menu);
    void OnCommand(int id, int code, HWND control);
    void OnListChanged(EntryList::Change change, size_t index);
    // Hears `list` from now on, once; its changes are shown while it is.
    void ListenTo(const EntryList& list);
    // Lists were added, removed or read again: a shown one may be gone.
    void OnProgramListsChanged();
    LRESULT OnNotify(const NMHDR& header, LPARAM lParam);
    // The mouse and keys over the list: the tip of the row the mouse rests on.
    void FollowMouseOverList(const MSG& message);
    // The row under the mouse, -1 for none.
    void PointAtRow(int row);
    // What the tip of an entry says.
    std::wstring EntryTip(size_t item) const;
    LRESULT OnControlColor(HDC dc, HWND control);
    // The Edit menu as the list's context menu, at a point of the screen.
    void ShowEditMenu(POINT at);
    // WM_CONTEXTMENU of `control`: by the mouse at `place`, or -1 from the
    // keyboard. False when it is not the list's.
    bool OnContextMenu(HWND control, LPARAM place);
    void InsertRow(size_t index);
    void SelectRow(int index);
    void RefreshList(int select);
    bool ApplyStartupLink(bool startWithWindows);
    bool Ending() const { return links_.ending && links_.ending(); }
    // Says that `file` (or with `options`, the options' place) could not be
    // written, and why.
    void ReportWriteFailure(const std::string& file, DWORD error, bool options = false);
    // Apply found the list changed by someone else: asks whether to load it.
    void OfferChangedList(const std::string& file);
    void OpenHelp();

    EntryList* entries_ = nullptr;  // the list shown
    EntryList* common_ = nullptr;
    std::string shownProgram_;
    // The lists heard, each with a mark its listener holds: a list gone and
    // another made at its address is heard afresh.
    std::map<const EntryList*, std::weak_ptr<char>> heard_;
    const Store* store_ = nullptr;
    Options* options_ = nullptr;
    MainWindowLinks links_;
    BuiltDesign design_;
    UniqueAccelerators accelerators_;
    int dpi_ = 96;
    UniqueImageList imgMenu_;
    std::vector<UniqueBitmap> menuPictures_;
    UniqueIcon upPicture_;
    UniqueIcon downPicture_;
    // The system's look at loading, unless the program gave its palette.
    Palette palette_{};
    bool paletteGiven_ = false;
    // The tip of the row the mouse rests on; around the rows, the list's own
    // tip of the design speaks, while `listTipActive_`.
    RowTip rowTip_;
    bool listTipActive_ = true;
    std::unique_ptr<FileDropTarget> dropTarget_;
    bool dropRegistered_ = false;
    ExclusionsWindow exclusions_;
    ProgramListsWindow programLists_;
};

}  // namespace jumpnest
