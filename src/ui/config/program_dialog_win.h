// What the small dialogs of the configuration window share that list
// programs: made from a design over the configuration window, which they
// disable while they are open, with a list that takes dropped programs and
// an Add... button that picks one in the Open dialog; drawn in the
// program's palette and laid out again for a monitor of another scale.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/window_win.h"
#include "ui/config/drop_target_win.h"
#include "ui/text/captions.h"
#include "ui/text/design_builder_win.h"
#include "ui/text/palette.h"

namespace jumpnest {

// Whether a file name is a program's: it ends in ".exe", in any case.
bool IsProgramFile(std::string_view name);

class ProgramDialog : public Window {
public:
    // Closes it without taking anything.
    void Close();
    // Draws it in `palette` from now on.
    void SetPalette(const Palette& palette);
    // Keyboard navigation of the open dialog: Tab, Enter, Escape, access keys.
    bool PreTranslate(MSG& message);

protected:
    // `name` is the dialog's in the trace ("<name> opened"), `listName` its
    // list's in the design.
    ProgramDialog(const WindowDesign& design, std::span<const CaptionRow> captions,
                  const wchar_t* className, std::string_view name, std::string_view listName)
        : windowDesign_(design),
          captions_(captions),
          className_(className),
          name_(name),
          listName_(listName) {}
    ~ProgramDialog() override { Close(); }

    // Makes the dialog, hidden, centred over `owner`, with the captions of
    // `language` and its list's one column; dropped programs go to
    // AddPrograms. False when it is open already (brought forward) or could
    // not be made.
    bool Build(HWND owner, std::int32_t language);
    // Shows the built dialog, modal to its owner, the keys in its list.
    void ShowModal();
    // Files picked in the Open dialog, as dropped files.
    void BrowseForProgram();
    // Dropped or picked files: only programs are the dialog's concern.
    virtual void AddPrograms(const std::vector<std::string>& paths) = 0;
    // A message over the dialog, with its title.
    void Say(std::string_view text);

    HWND Control(std::string_view name, int index = -1) const {
        return design_.Window(name, index);
    }
    HWND List() const { return Control(listName_); }
    // The design's control of a command identifier; null for none.
    const BuiltControl* FindById(int id) const { return design_.FindById(id); }
    std::int32_t language() const { return language_; }

    // The messages every such dialog answers alike; the rest to Window.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // One column as wide as the list, leaving room for a vertical scroll bar
    // at `dpi`, so that no horizontal one is ever needed.
    void FitColumn(int dpi);

    const WindowDesign& windowDesign_;
    std::span<const CaptionRow> captions_;
    const wchar_t* className_;
    std::string name_;
    std::string_view listName_;
    BuiltDesign design_;
    HWND owner_ = nullptr;
    std::int32_t language_ = 0;
    Palette palette_{};  // the system's look until the program gives its own
    bool paletteGiven_ = false;
    std::unique_ptr<FileDropTarget> dropTarget_;
    bool dropRegistered_ = false;
};

}  // namespace jumpnest
