#include "store/shortcut_win.h"

#include <shlobj.h>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"

namespace jumpnest {

bool CreateShortcut(const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& description,
                    const std::string& workingFolder, const std::string& iconFile, int iconIndex) {
    // Declared first so that it ends last: the interfaces below must be
    // released while COM is still up.
    ComApartment com;
    if (!com.ok()) return false;

    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) {
        Trace("shortcut: no shell link object");
        return false;
    }

    const std::string folder = workingFolder.empty() ? GetParentFolder(target) : workingFolder;
    const bool withIcon = !iconFile.empty() && iconIndex > 0;
    // A half-made shortcut would start the program in the wrong place or not
    // at all; better none, and the caller told so.
    if (FAILED(link->SetPath(Widen(target).c_str())) ||
        FAILED(link->SetArguments(Widen(arguments).c_str())) ||
        FAILED(link->SetWorkingDirectory(Widen(folder).c_str())) ||
        (withIcon && FAILED(link->SetIconLocation(Widen(iconFile).c_str(), iconIndex))) ||
        FAILED(link->SetDescription(Widen(description).c_str()))) {
        Trace("shortcut: a setting was refused for " + target);
        return false;
    }
    if (FAILED(file->Save(Widen(linkFile).c_str(), FALSE))) {
        Trace("shortcut: cannot save " + linkFile);
        return false;
    }
    return true;
}

std::optional<DWORD> RemoveShortcut(const std::string& linkFile) {
    if (!FileExists(linkFile)) return std::nullopt;
    return ::DeleteFileW(Widen(linkFile).c_str()) ? 0 : ::GetLastError();
}

}  // namespace jumpnest
