#include "store/icons_win.h"

#include <shellapi.h>

#include "core/encoding_win.h"
#include "store/settings.h"
#include "core/handle_win.h"
#include "core/trace_win.h"

namespace jumpnest {

UniqueIcon GetFileIcon(std::uint32_t flagWord, const std::string& path) {
    // The stored icon size reaches this call as a flag word, so it is checked
    // against the two sizes rather than passed on: other SHGFI flags change
    // what the path argument means (SHGFI_PIDL takes it for a pointer).
    UINT flags = 0;
    if (flagWord == static_cast<std::uint32_t>(kLargeIcons)) {
        flags = SHGFI_ICON | SHGFI_LARGEICON;
    } else if (flagWord == static_cast<std::uint32_t>(kSmallIcons)) {
        flags = SHGFI_ICON | SHGFI_SMALLICON;
    } else {
        return {};
    }
    if (path.empty()) return {};

    // Icon handlers of some file types are COM objects.
    ComApartment com;
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, flags) || !info.hIcon) {
        Trace("icon: none for " + path + ", error " + std::to_string(::GetLastError()) +
              (com.ok() ? "" : ", no COM"));
        return {};
    }
    return UniqueIcon(info.hIcon);
}

}  // namespace jumpnest
