#include "ui/popup/fold_win.h"

#include <windows.h>

#include "core/encoding_win.h"
#include "ui/popup/popup_filter.h"

namespace jumpnest {

std::u32string FoldForUser(std::string_view utf8) {
    const std::wstring text = Widen(utf8);
    const int length = static_cast<int>(text.size());
    std::wstring lower(text.size() * 2 + 1, L'\0');
    const int lowered = ::LCMapStringEx(
        LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, text.c_str(), length,
        lower.data(), static_cast<int>(lower.size()), nullptr, nullptr, 0);
    const int needed =
        lowered > 0 ? ::FoldStringW(MAP_COMPOSITE, lower.c_str(), lowered, nullptr, 0) : 0;
    std::wstring decomposed(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed <= 0 ||
        ::FoldStringW(MAP_COMPOSITE, lower.c_str(), lowered, decomposed.data(), needed) != needed) {
        return FoldForSearch(utf8);
    }
    return FoldForSearch(Narrow(decomposed));
}

}  // namespace jumpnest
