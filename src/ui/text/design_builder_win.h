// Turns a window design into real child windows: one place that converts
// twips to pixels, makes the fonts, and keeps the tab order.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "core/handle_win.h"
#include "ui/text/designs.h"

namespace jumpnest {

struct BuiltControl {
    const ControlDesign* design;
    HWND hwnd;
    int id;
};

class BuiltDesign {
public:
    BuiltDesign() = default;
    BuiltDesign(const BuiltDesign&) = delete;
    BuiltDesign& operator=(const BuiltDesign&) = delete;
    BuiltDesign(BuiltDesign&&) = default;
    BuiltDesign& operator=(BuiltDesign&&) = default;

    // Creates the design's windowed controls inside `parent`, in tab order.
    // Controls without a window of their own (image lists, the borderless
    // option box) are left to their owner.
    void Build(const WindowDesign& design, HWND parent, double twipsPerPixel);
    // Lays the built controls out again at another scale, with fonts made
    // for it: for a window that moved to a monitor of another DPI.
    void Rescale(const WindowDesign& design, double twipsPerPixel);

    HWND Window(std::string_view name, int index = -1) const;
    const BuiltControl* Find(std::string_view name, int index = -1) const;
    const BuiltControl* FindById(int id) const;
    double twipsPerPixel() const { return twipsPerPixel_; }
    // The tip that shows the design's tips of the controls, if any has one.
    HWND toolTip() const { return toolTip_; }

    // Pixels of a design length in this window's scale.
    int Pixels(int twips) const { return TwipsToPixels(twips, twipsPerPixel_); }

private:
    HFONT FontFor(const FontDesign& font);

    std::vector<BuiltControl> controls_;
    // Owned by the parent window, which destroys it with itself.
    HWND toolTip_ = nullptr;
    double twipsPerPixel_ = 15.0;
};

struct WindowStyles {
    DWORD style;
    DWORD exStyle;
    bool hasMenu;
};
// The window styles a design's border and taskbar setting stand for.
WindowStyles StylesFor(const WindowDesign& design);

// Outer size of a window whose client area has the design's size, at `dpi`.
SIZE FrameSizeFor(const WindowDesign& design, int dpi);

// One of the program's small bitmaps (white is their transparent colour),
// resampled to `size` pixels square for the display's scale.
UniqueIcon ScaledPicture(int bitmapId, int size);

// A design colour as a COLORREF: system colours resolved.
COLORREF DesignColor(std::uint32_t color);
// A brush of a design colour for painting on `dc`, owned by the system: the
// system colour's own brush, or the device context's brush set to the colour.
HBRUSH DesignBrush(HDC dc, std::uint32_t color);

// Control identifiers: Enter and Escape reach the default and cancel buttons
// through the dialog manager's IDOK and IDCANCEL.
int ControlId(const ControlDesign& control, int position);

// The explorer look of lists, where visual styles are present.
void SetExplorerTheme(HWND window);

void SetTopmost(HWND window, bool on);

}  // namespace jumpnest
