#include "ui/text/row_tip_win.h"

#include <commctrl.h>

#include "core/scale.h"

namespace jumpnest {

namespace {

constexpr int kBelowPointer = 20;  // pixels at 96 dpi: the height of an arrow pointer

// The tip's one tool: the owner, its text set for each row.
TOOLINFOW Tool(HWND owner, wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = text;
    return tool;
}

}  // namespace

void RowTip::Create(HWND owner, HWND list) {
    owner_ = owner;
    list_ = list;
    row_ = -1;
    // The mouse passes through it: it never takes a click meant for a row.
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TRANSPARENT, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    wchar_t none[] = L"";
    TOOLINFOW tool = Tool(owner_, none);
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void RowTip::Follow(int row) {
    if (row == row_ || !tip_) return;
    if (row_ >= 0) {
        wchar_t none[] = L"";
        TOOLINFOW tool = Tool(owner_, none);
        ::SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
    row_ = row;
    if (row < 0) return;
    TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, list_, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
}

void RowTip::Show(std::wstring text, int dpi) {
    if (row_ < 0 || !tip_) return;
    TOOLINFOW tool = Tool(owner_, text.data());
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Below the pointer, as the system places tips, so that it never hides it.
    POINT at{};
    ::GetCursorPos(&at);
    at.y += ScaleForDpi(kBelowPointer, dpi);
    ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace jumpnest
