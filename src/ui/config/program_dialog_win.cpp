#include "ui/config/program_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/trace_win.h"
#include "ui/text/appearance_win.h"

namespace jumpnest {

bool IsProgramFile(std::string_view name) {
    return name.size() > 4 &&
           _stricmp(std::string(name.substr(name.size() - 4)).c_str(), ".exe") == 0;
}

bool ProgramDialog::Build(HWND owner, std::int32_t language) {
    if (hwnd()) {
        ::SetForegroundWindow(hwnd());
        return false;
    }
    owner_ = owner;
    language_ = language;
    const int dpi = DpiOf(owner);
    const WindowStyles styles = StylesFor(windowDesign_);
    const SIZE frame = FrameSizeFor(windowDesign_, dpi);
    // Centred over the configuration window.
    RECT over{};
    ::GetWindowRect(owner, &over);
    if (!Create(className_, L"", styles.style, styles.exStyle | WS_EX_TOPMOST,
                (over.left + over.right - frame.cx) / 2, (over.top + over.bottom - frame.cy) / 2,
                frame.cx, frame.cy, owner)) {
        return false;
    }
    // Made afresh for every opening: the controls of the last one are gone.
    design_ = BuiltDesign{};
    design_.Build(windowDesign_, hwnd(), TwipsPerPixel(dpi));
    for (const CaptionRow& row : captions_) {
        const std::wstring text = Widen(row.text[LanguageColumn(language_)]);
        ::SetWindowTextW(row.control.empty() ? hwnd() : Control(row.control, row.index),
                         text.c_str());
    }
    HWND list = List();
    SetExplorerTheme(list);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(list, 0, &column);
    FitColumn(dpi);
    dropTarget_ = std::make_unique<FileDropTarget>(
        [this](const std::vector<std::string>& paths) { AddPrograms(paths); });
    dropRegistered_ = ::RegisterDragDrop(list, dropTarget_.get()) == S_OK;
    return true;
}

void ProgramDialog::ShowModal() {
    // Modal to the configuration window, without a loop of its own.
    ::EnableWindow(owner_, FALSE);
    if (!paletteGiven_) palette_ = SystemPalette();
    PaintWindowWith(hwnd(), palette_);
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetFocus(List());
    Trace(name_ + " opened");
}

void ProgramDialog::Close() {
    if (!hwnd()) return;
    if (dropRegistered_) ::RevokeDragDrop(List());
    dropRegistered_ = false;
    // The owner takes the keyboard back before this window goes, or Windows
    // would hand the activation to another program.
    ::EnableWindow(owner_, TRUE);
    ::SetActiveWindow(owner_);
    Destroy();
    Trace(name_ + " closed");
}

void ProgramDialog::SetPalette(const Palette& palette) {
    palette_ = palette;
    paletteGiven_ = true;
    if (hwnd()) PaintWindowWith(hwnd(), palette_);
}

bool ProgramDialog::PreTranslate(MSG& message) {
    if (!hwnd() || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
    return ::IsDialogMessageW(hwnd(), &message) != FALSE;
}

void ProgramDialog::BrowseForProgram() {
    wchar_t path[MAX_PATH] = {};
    const std::wstring filter = std::wstring(L"*.exe") + L'\0' + L"*.exe" + L'\0' + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // The dialog's own loop may have closed this one meanwhile.
    if (::GetOpenFileNameW(&dialog) && hwnd()) AddPrograms({Narrow(path)});
}

void ProgramDialog::FitColumn(int dpi) {
    HWND list = List();
    // From the outer width: the client width shrinks while a scroll bar shows.
    RECT outer{};
    ::GetWindowRect(list, &outer);
    ListView_SetColumnWidth(list, 0,
                            (outer.right - outer.left) - 2 * MetricForDpi(SM_CXEDGE, dpi) -
                                MetricForDpi(SM_CXVSCROLL, dpi));
}

void ProgramDialog::Say(std::string_view text) {
    ::MessageBoxW(hwnd(), Widen(text).c_str(),
                  Widen(captions_[0].text[LanguageColumn(language_)]).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

LRESULT ProgramDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NEXTDLGCTL:  // a label's access key
        MoveFocus(wParam, lParam);
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the size Windows suggests
        // keeps the client area in proportion.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        const int dpi = HIWORD(wParam);
        design_.Rescale(windowDesign_, TwipsPerPixel(dpi));
        FitColumn(dpi);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Trace(name_ + " at " + std::to_string(dpi) + " dpi");
        return 0;
    }
    case WM_CLOSE:
        Close();
        return 0;
    case WM_CTLCOLORSTATIC:
        return ControlColors(reinterpret_cast<HDC>(wParam), palette_.windowText,
                             palette_.windowBackground);
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
        FillBackground(hwnd(), reinterpret_cast<HDC>(wParam), palette_.windowBackground);
        return message == WM_ERASEBKGND;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
