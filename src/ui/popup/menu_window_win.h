// frmMenu, the popup launcher: a borderless, topmost window that fades in at
// the mouse with the entries, starts the one picked and fades out again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/dpi_win.h"
#include "core/window_win.h"
#include "store/entry_list_win.h"
#include "store/settings.h"
#include "trigger/trigger_rules.h"
#include "ui/popup/foreground_win.h"
#include "ui/popup/popup_filter.h"
#include "ui/popup/popup_keys.h"
#include "ui/popup/popup_layout.h"
#include "ui/popup/popup_sections.h"
#include "ui/text/palette.h"
#include "ui/text/row_tip_win.h"
#include "ui/text/captions.h"
#include "ui/text/design_builder_win.h"

namespace jumpnest {

// The list of the program under the gesture: its entries come first, under
// a heading with its name, then the common ones under a heading of their
// own, unless the program shows its own entries only. Without a list the
// popup shows the common entries alone, without headings.
struct ProgramSection {
    const EntryList* list = nullptr;
    std::string name;  // the heading: the program's file name
    bool ownEntriesOnly = false;
};

class MenuWindow final : public Window {
public:
    MenuWindow() = default;
    ~MenuWindow() override { Destroy(); }

    // Creates the popup hidden, as a view of `list` drawn as `options` say
    // (their icon size and language); it is shown and hidden again for
    // every trigger. Called again, always with the same list and options,
    // only for a window that something outside destroyed. The corner
    // picture calls `openConfiguration`.
    bool Load(const EntryList& list, const Options& options,
              std::function<void()> openConfiguration);
    bool IsOpen() const;
    // Shows the popup on `monitor` (the one under the cursor) with the
    // entries as they are now, its top-left corner at `wanted` (twips at the
    // monitor's scale, clamped onto that monitor), and starts its fade-in.
    // With `section`, that program's entries come first (see ProgramSection);
    // its list must live until the popup closes or opens again.
    void Open(const MonitorPlace& monitor, MenuOrigin wanted, const ProgramSection& section = {});
    // Draws the rows again: pictures of the shown program's list arrived.
    void Refresh();
    // Hides it at once.
    void Close();
    // Brings the open popup to the front and gives it the keyboard.
    void Activate();
    // Draws it in `palette` from now on.
    void SetPalette(const Palette& palette);

    HWND list() const { return design_.Window("lvwMenu"); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Load(const MonitorPlace& monitor, MenuOrigin wanted, const ProgramSection& section);
    void FadeOut();
    void ApplyPalette(const Palette& palette);
    // The selected row, or -1 when there is none to act on.
    int SelectedRow() const;
    const std::string& TargetOf(int row) const;
    void LaunchSelected();
    // Does `action` with the selected entry; the popup closes as after a start.
    void Act(EntryAction action);
    void Command(PopupCommand command);
    // The menu of actions for the selected entry, at a screen point (-1, -1:
    // at the selected row).
    void ShowActions(int x, int y);
    // Selects the row at a point of the list; the row, or -1 for none.
    int SelectAt(POINT inList);
    // Shows the target of the row the mouse rests on.
    void ShowTip();
    void TellFocus(int row) const;
    // Copies the rows of the common list and of `section`'s (see the copy
    // below), and lays them out unfiltered.
    void CopyRows(const ProgramSection& section);
    // Moves the selection for a key over the rows while headings divide
    // them; false for a key the list may have.
    bool MoveOverHeadings(WPARAM key);
    // The row's text as a screen reader is given it.
    std::wstring AccessibleText(size_t row) const;
    const std::string& HeadingOf(size_t section) const;
    // Where row `entry` of the copy has its picture now.
    std::pair<HIMAGELIST, int> PictureOf(size_t entry) const;
    void DrawHeading(const NMLVCUSTOMDRAW& draw, const PopupRow& row) const;
    void Paint();
    void OnListChanged(EntryList::Change change, size_t index);
    // Typing narrows the list to the entries that match.
    void OnCharacter(wchar_t character);
    void ApplyFilter();
    bool noMatch() const { return rows_.empty() && !typed_.empty(); }
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    void PrepareMatchedRows(HDC dc);
    // False, drawing nothing, for a row the list must draw itself.
    bool DrawMatchedRow(const NMLVCUSTOMDRAW& draw) const;
    // Lays the popup out for a monitor of `dpi` dots per inch.
    void UseDpi(int dpi);
    RECT ControlRect(const char* name, int index = -1) const;
    UINT TimerInterval(const char* name) const;

    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

    const EntryList* entries_ = nullptr;
    const Options* options_ = nullptr;
    // Until the program gives one, the system's look as it was at loading.
    Palette palette_{};
    bool paletteGiven_ = false;
    bool listening_ = false;
    std::function<void()> openConfiguration_;
    BuiltDesign design_;
    FadeState fade_;
    UniqueIcon cornerPicture_;
    HWND corner_ = nullptr;       // the corner picture's control, a child of the window
    WNDPROC listProc_ = nullptr;  // the list's own procedure, which ListProc calls on
    RowTip rowTip_;
    // The scale the controls, fonts and pictures are laid out for: that of
    // the monitor the popup last opened on.
    int dpi_ = 0;
    // The rows as they were when the popup opened: the list asks for each
    // one as it draws it, and edits made meanwhile do not reach it. Entries
    // whose file is away are left out; `sources_` holds each row's entry in
    // its list. The first `programRows_` come from the program's list, which
    // draws their pictures while it is unchanged since (`programGeneration_`);
    // the rest from the common list.
    const EntryList* program_ = nullptr;
    std::string programName_;
    std::uint64_t programGeneration_ = 0;
    size_t programRows_ = 0;
    // The entries of each section, and whether headings name them: without
    // a program's list one section and no headings, as a popup always was.
    std::vector<size_t> sectionSizes_;
    bool headings_ = false;
    std::string commonHeading_;
    std::vector<size_t> sources_;
    std::vector<std::string> targets_;
    std::vector<std::wstring> captions_;
    std::vector<int> images_;
    std::uint64_t generation_ = 0;
    // What the window was last given, so that an opening like the last one
    // tells it nothing again: the language of its texts, whether a filter
    // changed its title and name, the list's place and its column's width.
    std::int32_t textsLanguage_ = -1;
    bool filterTexts_ = false;
    PixelRect listPlace_{};
    int columnWidth_ = -1;
    // The typed text (UTF-8), each section's captions as the search compares
    // them, and the rows shown, best match first in each section.
    std::string typed_;
    std::vector<std::vector<FoldedCaption>> folded_;
    std::vector<bool> inPieces_;  // per copied row: may its matched letters be drawn bold
    std::vector<Match> matches_;  // beside rows_: which letters of each row matched
    // The list's font in bold, for the matched letters, and the font it was made from.
    UniqueFont bold_;
    HFONT boldFor_ = nullptr;
    // What the rows of one paint share, found before the first is drawn.
    struct RowLayout {
        HFONT normal = nullptr;
        HIMAGELIST images = nullptr;
        int textHeight = 0, imageHeight = 0, textIndent = 0;
        RECT icon{}, label{};  // within a row whose top is 0
    } rowLayout_;
    std::vector<PopupRow> rows_;
    // Where the mouse last was over the list, in its client area.
    POINT lastMouse_{};
    wchar_t highSurrogate_ = 0;                  // the first half of a character typed in two
    PopupCommand enter_ = PopupCommand::kStart;  // what Enter's release does, as its press decided
};

}  // namespace jumpnest
