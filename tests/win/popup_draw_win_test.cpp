// The popup as the screen shows it: filtered rows in every script, its transparency.
#include "support_win.h"

#include <algorithm>

namespace jumpnest::test {
using Pixels = std::vector<std::vector<COLORREF>>;  // a column of them for each x

// The caption's part of a row of the list as it paints itself now.
static Pixels Print(HWND list, int row) {
    RECT r{};
    ListView_GetItemRect(list, row, &r, LVIR_LABEL);
    HDC screen = ::GetDC(nullptr), dc = ::CreateCompatibleDC(screen);
    const UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, r.right, r.bottom));
    ::ReleaseDC(nullptr, screen);
    ::SelectObject(dc, bitmap.get());
    ::SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    Pixels pixels(r.right - r.left);
    for (LONG x = r.left; x < r.right; ++x)
        for (LONG y = r.top; y < r.bottom; ++y) pixels[x - r.left].push_back(::GetPixel(dc, x, y));
    ::DeleteDC(dc);
    return pixels;
}

// How far down the ink of the last inked column begins: an ellipsis's dots sit on the baseline.
static std::ptrdiff_t TopOfTheEnd(const Pixels& pixels) {
    std::ptrdiff_t top = 0;
    for (const auto& column : pixels) {
        const auto ink = std::ranges::find_if(column, [](auto c) { return GetBValue(c) < 0xF0; });
        if (ink != column.end()) top = ink - column.begin();
    }
    return top;
}

// A filtered Arabic or Hebrew row is drawn whole, as unfiltered: bold pieces would lose their
// joins and order. A long one still ends in "...". Closed, it shows again fully transparent.
TEST(PopupDrawing, FilteredRowsReadAsUnfilteredAndEachOpeningFadesIn) {
    TestPopup p({{"\u0645\u0643\u062A\u0628\u0629 \u0627\u0644\u0635\u0648\u0631", "C:\\a.exe"},
                 {"\u05E2\u05D5\u05E8\u05DA \u05D4\u05E8\u05D9\u05E9\u05D5\u05DD", "C:\\b.exe"},
                 {"Microsoft Management Console Snap-In Manager For Every Setting", "C:\\c.exe"}});
    ASSERT_TRUE(p.loaded);
    p.Open();
    const HWND rows = p.popup.list();
    // Wine's Tahoma has none of these letters: the list's font, the system's DejaVu Sans.
    const UniqueFont font(::CreateFontW(-ScaleForDpi(13, SystemDpi()), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        0, 0, L"DejaVu Sans"));
    ::SendMessageW(rows, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    const std::vector<Pixels> unfiltered{Print(rows, 0), Print(rows, 1), Print(rows, 2)};
    const auto dots = TopOfTheEnd(unfiltered[2]);
    EXPECT_GT(dots, std::ssize(unfiltered[2][0]) / 2);  // cut: dots on the baseline
    for (const auto& [typed, row] : {std::pair{L"\u0628", 0}, {L"\u05D4", 1}, {L"snap", 2}}) {
        for (const wchar_t* c = typed; *c; ++c) ::SendMessageW(rows, WM_CHAR, *c, 0);
        ASSERT_EQ(ListView_GetItemCount(rows), 1) << row;
        ListView_SetItemState(rows, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);  // as unfiltered
        const Pixels filtered = Print(rows, 0);
        EXPECT_TRUE(row < 2 ? filtered == unfiltered[row] : TopOfTheEnd(filtered) == dots) << row;
        ::SendMessageW(rows, WM_KEYUP, VK_ESCAPE, 0);  // the filter cleared
    }
    const auto opacity = [&](BYTE alpha = 0) {
        return ::GetLayeredWindowAttributes(p.popup.hwnd(), nullptr, &alpha, nullptr), alpha;
    };
    ASSERT_TRUE(PumpUntil([&] { return opacity() == 255; }, 5000));
    p.popup.Close();
    p.Open();
    EXPECT_EQ(opacity(), 0) << "shown, before the first step of its fade-in";
}

}  // namespace jumpnest::test
