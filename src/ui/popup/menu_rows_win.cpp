// The popup's rows: drawn with the typed letters in bold while a filter is
// on, in the palette's colours, selected under the mouse, told to a screen
// reader.
#include <commctrl.h>

#include <algorithm>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "ui/popup/menu_window_win.h"
#include "ui/text/appearance_win.h"

namespace jumpnest {

void MenuWindow::PrepareMatchedRows(HDC dc) {
    // What every row of this paint shares, asked once: the fonts, the text's
    // height, and where the picture and the caption stand within a row.
    HWND listView = list();
    RowLayout& layout = rowLayout_;
    layout.normal = reinterpret_cast<HFONT>(::SendMessageW(listView, WM_GETFONT, 0, 0));
    if (boldFor_ != layout.normal) {
        LOGFONTW font{};
        ::GetObjectW(layout.normal, sizeof(font), &font);
        font.lfWeight = FW_BOLD;
        bold_.reset(::CreateFontIndirectW(&font));
        boldFor_ = layout.normal;
    }
    const HGDIOBJ before = ::SelectObject(dc, layout.normal);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, before);
    layout.textHeight = metrics.tmHeight;
    layout.images = ListView_GetImageList(listView, LVSIL_SMALL);
    int width = 0;
    ImageList_GetIconSize(layout.images, &width, &layout.imageHeight);
    const int row = std::max(ListView_GetTopIndex(listView), 0);
    RECT whole{};
    ListView_GetItemRect(listView, row, &whole, LVIR_BOUNDS);
    ListView_GetItemRect(listView, row, &layout.icon, LVIR_ICON);
    ListView_GetItemRect(listView, row, &layout.label, LVIR_LABEL);
    ::OffsetRect(&layout.icon, 0, -whole.top);
    ::OffsetRect(&layout.label, 0, -whole.top);
    layout.textIndent = MetricForDpi(SM_CXEDGE, dpi_) * 2;
}

bool MenuWindow::DrawMatchedRow(const NMLVCUSTOMDRAW& draw) const {
    const auto row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || static_cast<size_t>(row) >= matches_.size()) return true;
    const Match& match = matches_[static_cast<size_t>(row)];
    const std::wstring& caption = captions_[match.entry];
    // Each piece is laid out on its own: Arabic would lose its joined
    // letters, Hebrew its order, a mark its letter. Such a caption is drawn
    // whole as when nothing is typed, without bold: by the list, or here
    // while headings divide the rows, as the list has not all their pictures.
    const bool inPieces = !match.ranges.empty() && inPieces_[match.entry];
    if (!inPieces && !headings_) return false;
    const RowLayout& layout = rowLayout_;
    HWND listView = list();
    HDC dc = draw.nmcd.hdc;
    const bool selected = ListView_GetItemState(listView, row, LVIS_SELECTED) & LVIS_SELECTED;
    // Every row is laid out as the first one of the paint, moved down.
    RECT whole{}, icon = layout.icon, label = layout.label;
    ListView_GetItemRect(listView, row, &whole, LVIR_BOUNDS);
    ::OffsetRect(&icon, 0, whole.top);
    ::OffsetRect(&label, 0, whole.top);
    // As the list draws a row: the selection behind the caption, the picture
    // tinted with it.
    ::FillRect(dc, &whole, DesignBrush(dc, palette_.popupRowBackground));
    if (selected) ::FillRect(dc, &label, DesignBrush(dc, palette_.selectedBackground));
    const auto [images, image] = PictureOf(match.entry);
    ImageList_DrawEx(images, image, dc, icon.left,
                     icon.top + (icon.bottom - icon.top - layout.imageHeight) / 2, 0, 0, CLR_NONE,
                     selected ? palette_.selectedBackground : CLR_NONE,
                     ILD_TRANSPARENT | (selected ? ILD_BLEND50 : 0));
    // The caption in pieces: the matched letters in bold.
    const HGDIOBJ before = ::SelectObject(dc, layout.normal);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, selected ? palette_.selectedText : palette_.popupRowText);
    if (!inPieces) {
        RECT text{label.left + layout.textIndent, label.top, label.right - layout.textIndent,
                  label.bottom};
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        ::SelectObject(dc, before);
        return true;
    }
    const int y = label.top + (label.bottom - label.top - layout.textHeight) / 2;
    int x = label.left + layout.textIndent;
    struct Piece {
        std::uint32_t begin, end;
        HGDIOBJ font;
        int width;
    };
    const auto width = [&](HGDIOBJ font, std::uint32_t begin, std::uint32_t length) {
        ::SelectObject(dc, font);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, caption.data() + begin, static_cast<int>(length), &extent);
        return static_cast<int>(extent.cx);
    };
    std::vector<Piece> pieces;
    std::uint32_t at = 0;
    int needed = 0;
    const auto add = [&](std::uint32_t end, bool matched) {
        end = std::min<std::uint32_t>(end, static_cast<std::uint32_t>(caption.size()));
        if (end > at) {
            const HGDIOBJ font = matched ? bold_.get() : layout.normal;
            pieces.push_back({at, end, font, width(font, at, end - at)});
            needed += pieces.back().width;
        }
        at = std::max(at, end);
    };
    for (const auto& [begin, end] : match.ranges) {
        add(begin, false);
        add(end, true);
    }
    add(static_cast<std::uint32_t>(caption.size()), false);
    // A caption too long for its row ends in the list's "..." after the
    // letters that fit, each piece measured in its own font. Cut here rather
    // than left to the list whole: the bold letters in view stay bold, and a
    // long caption is where they help most. Nothing in a caption drawn in
    // pieces joins across a cut, which only keeps surrogate pairs whole.
    constexpr std::wstring_view kEllipsis = L"...";  // as DrawText ends a cut line
    int room = label.right - layout.textIndent - x;
    ::SelectObject(dc, layout.normal);
    SIZE dots{};
    ::GetTextExtentPoint32W(dc, kEllipsis.data(), static_cast<int>(kEllipsis.size()), &dots);
    const bool cut = needed > room;
    if (cut) room -= dots.cx;
    for (const Piece& piece : pieces) {
        auto length = piece.end - piece.begin;
        if (cut) {
            ::SelectObject(dc, piece.font);
            int fit = 0;
            SIZE all{};
            ::GetTextExtentExPointW(dc, caption.data() + piece.begin, static_cast<int>(length),
                                    std::max(room, 0), &fit, nullptr, &all);
            auto fits = static_cast<std::uint32_t>(std::max(fit, 0));
            if (fits > 0 && fits < length && IS_HIGH_SURROGATE(caption[piece.begin + fits - 1])) {
                --fits;
            }
            length = std::min(length, fits);
        }
        const bool complete = length == piece.end - piece.begin;
        const int drawn = complete ? piece.width : width(piece.font, piece.begin, length);
        ::SelectObject(dc, piece.font);
        ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &label, caption.data() + piece.begin, length, nullptr);
        x += drawn;
        room -= drawn;
        if (!complete) {
            ::SelectObject(dc, layout.normal);
            ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &label, kEllipsis.data(),
                          static_cast<UINT>(kEllipsis.size()), nullptr);
            break;
        }
    }
    ::SelectObject(dc, before);
    return true;
}

LRESULT MenuWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    // While typing filters, or headings divide the rows, the rows are drawn
    // here, with the matched letters in bold; the list still gives each
    // row's text to a screen reader. A row that cannot be drawn so is the
    // list's, as below.
    if ((!typed_.empty() || headings_) && !noMatch()) {
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            PrepareMatchedRows(draw.nmcd.hdc);
            return CDRF_NOTIFYITEMDRAW;
        }
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        const auto row = static_cast<size_t>(draw.nmcd.dwItemSpec);
        if (row < rows_.size() && rows_[row].heading) {
            DrawHeading(draw, rows_[row]);
            return CDRF_SKIPDEFAULT;
        }
        if (DrawMatchedRow(draw)) return CDRF_SKIPDEFAULT;
    }
    // In light mode and high contrast the list draws its rows itself, as it
    // always did; only "No match" is grey. In dark mode the selected row
    // takes the palette's selection instead of the light theme's.
    if (!noMatch() && !palette_.dark) return CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    if (noMatch()) {
        draw.clrText = palette_.grayText;
    } else if (draw.nmcd.uItemState & CDIS_SELECTED) {
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        draw.clrText = palette_.selectedText;
        draw.clrTextBk = palette_.selectedBackground;
    }
    return CDRF_NEWFONT;
}

void MenuWindow::SetPalette(const Palette& palette) {
    paletteGiven_ = true;
    ApplyPalette(palette);
}

void MenuWindow::ApplyPalette(const Palette& palette) {
    palette_ = palette;
    if (!hwnd()) return;
    HWND listView = list();
    ListView_SetBkColor(listView, palette_.popupRowBackground);
    ListView_SetTextBkColor(listView, palette_.popupRowBackground);
    ListView_SetTextColor(listView, palette_.popupRowText);
    UseDarkControls(listView, palette_.dark);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int MenuWindow::SelectAt(POINT inList) {
    LVHITTESTINFO hit{};
    hit.pt = inList;
    int item = noMatch() ? -1 : ListView_HitTest(list(), &hit);
    if (item >= static_cast<int>(rows_.size()) || (item >= 0 && rows_[size_t(item)].heading)) {
        item = -1;  // a heading is never picked
    }
    if (item < 0) {
        // Cleared only when something is selected: the mouse moves over the
        // space around the rows often, and clearing draws.
        if (ListView_GetSelectedCount(list()) > 0) {
            ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
        }
    } else if (!(ListView_GetItemState(list(), item, LVIS_SELECTED) & LVIS_SELECTED)) {
        ListView_SetItemState(list(), item, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        TellFocus(item);
    }
    return item;
}

void MenuWindow::ShowTip() {
    const int row = rowTip_.row();
    if (row < 0 || row >= static_cast<int>(rows_.size()) || rows_[size_t(row)].heading ||
        !IsOpen()) {
        return;
    }
    rowTip_.Show(Widen(TargetOf(row)), dpi_);
}

void MenuWindow::TellFocus(int row) const {
    // A screen reader says the row that has the focus. The list raises the
    // event itself on Windows; raised here as well, as not every system's
    // list does (Wine's does not).
    if (::GetFocus() == list()) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, list(), OBJID_CLIENT, row + 1);
}

}  // namespace jumpnest
