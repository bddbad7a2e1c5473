// The tip of a list view's rows: once the mouse rests on a row it names what
// the row holds, below the pointer, and it goes when the mouse moves to
// another row or leaves the list. A tip of the program's own, shown by
// tracking: a list view's info tips need no more than a style, but not every
// system's list view shows them (Wine's does not).
#pragma once

#include <windows.h>

#include <string>

namespace jumpnest {

class RowTip {
public:
    RowTip() = default;
    RowTip(const RowTip&) = delete;
    RowTip& operator=(const RowTip&) = delete;

    // Makes the tip of `list`'s rows, owned by `owner`: it goes with that
    // window, and is made again for a window made again.
    void Create(HWND owner, HWND list);
    // The row under the mouse (-1: none). Another row than before hides the
    // tip and has the system tell the list, by WM_MOUSEHOVER, when the mouse
    // rests; WM_MOUSELEAVE when it leaves.
    void Follow(int row);
    // The row it follows, or -1.
    int row() const { return row_; }
    // Shows `text` for the row it follows, below the pointer, at `dpi`.
    void Show(std::wstring text, int dpi);

private:
    HWND tip_ = nullptr;
    HWND owner_ = nullptr;
    HWND list_ = nullptr;
    int row_ = -1;
};

}  // namespace jumpnest
