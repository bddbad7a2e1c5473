#include "store/icons_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/pictures_win.h"
#include "core/scale.h"
#include "core/trace_win.h"
#include "store/settings.h"

namespace jumpnest {

namespace {

// IID_IImageList: the shell's image lists are comctl32 image lists behind
// that interface, and their pointer is the list's handle.
constexpr GUID kImageListId = {
    0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

struct ShellList {
    int size;
    ComPtr<IUnknown> list;
    HIMAGELIST handle() const { return reinterpret_cast<HIMAGELIST>(list.get()); }
};

// The shell's lists of every size it keeps, smallest first.
std::vector<ShellList> ShellLists() {
    std::vector<ShellList> lists;
    for (int which : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
        ShellList shell{0, {}};
        if (FAILED(::SHGetImageList(which, kImageListId, shell.list.put_void())) || !shell.list) {
            continue;
        }
        int cy = 0;
        if (ImageList_GetIconSize(shell.handle(), &shell.size, &cy) && shell.size > 0) {
            lists.push_back(std::move(shell));
        }
    }
    std::sort(lists.begin(), lists.end(),
              [](const ShellList& a, const ShellList& b) { return a.size < b.size; });
    return lists;
}

std::optional<ArgbPicture> PictureFrom(HIMAGELIST list, int index) {
    UniqueIcon icon(ImageList_GetIcon(list, index, ILD_TRANSPARENT));
    return icon ? PictureOfIcon(icon.get()) : std::nullopt;
}

}  // namespace

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

UniqueIcon FileIconAtSize(const std::string& path, int size) {
    if (path.empty() || size <= 0) return {};
    ComApartment com;
    SHFILEINFOW info = {};
    const std::vector<ShellList> lists = ShellLists();
    std::optional<ArgbPicture> picture;
    if (!lists.empty() &&
        ::SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX)) {
        std::vector<int> offered;
        for (const ShellList& list : lists) offered.push_back(list.size);
        const int chosen = PickSourceSize(offered, size);
        const auto at = std::find_if(lists.begin(), lists.end(),
                                     [&](const ShellList& l) { return l.size == chosen; });
        picture = PictureFrom(at->handle(), info.iIcon);
        // A file without a picture as large as the shell's largest size is
        // shown there small and centred; shrinking that would make it tiny.
        // Its real picture is the next smaller one, grown a little instead.
        if (picture && chosen > size && at != lists.begin() &&
            OpaqueCentredEdge(*picture) <= std::prev(at)->size) {
            picture = PictureFrom(std::prev(at)->handle(), info.iIcon);
        }
    }
    if (!picture) {
        // No image lists of the shell to choose from: its one large picture.
        UniqueIcon large = GetFileIcon(kLargeIcons, path);
        if (large) picture = PictureOfIcon(large.get());
    }
    if (!picture) {
        Trace("icon: none for " + path + " at " + std::to_string(size));
        return {};
    }
    if (picture->size != size) picture = ResamplePicture(*picture, size);
    return IconOfPicture(*picture);
}

}  // namespace jumpnest
