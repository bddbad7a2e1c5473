#include "trigger/keyboard_layout_win.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cwchar>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"

namespace jumpnest {

namespace {

// ToUnicodeEx leaves the keyboard state alone when asked to on Windows 10
// 1607 (build 14393) and later; older systems ignore the bit.
constexpr UINT kKeepKeyboardState = 0x4;

bool KeepsKeyboardState() {
    static const bool keeps = [] {
        const OsVersion os = TrueOsVersion();
        return os.major > 10 || (os.major == 10 && os.build >= 14393);
    }();
    return keeps;
}

std::wstring AskToUnicode(HKL layout, UINT key, const BYTE (&state)[256]) {
    wchar_t text[8] = {};
    const UINT scan = ::MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout);
    const UINT flags = KeepsKeyboardState() ? kKeepKeyboardState : 0;
    const int count = ::ToUnicodeEx(key, scan, state, text, 7, flags, layout);
    if (count < 0 && !flags) {
        // Before 1607 the question itself leaves the dead key pending in this
        // thread's keyboard state, where it would change the next character
        // typed here. The classic cure: a key that completes any dead key
        // (the space), asked until none is left. One the user had left
        // pending before is lost on those systems either way.
        const BYTE none[256] = {};
        wchar_t scratch[8];
        for (int i = 0; i < 4; ++i) {
            if (::ToUnicodeEx(VK_SPACE, ::MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, layout), none,
                              scratch, 7, 0, layout) >= 0) {
                break;
            }
        }
    }
    // A dead key answers its accent: the first half of a character.
    return count < 0 ? std::wstring(text, 1) : std::wstring(text, count > 0 ? count : 0);
}

// The character whose key the layout names as `key`, by the reverse lookup
// VkKeyScanEx, over what Latin-script layouts put on AltGr; 0 for none.
wchar_t CharacterOnKey(HKL layout, const Hotkey& key) {
    // VkKeyScanEx's shift state: 1 Shift, 2 Ctrl, 4 Alt.
    const UINT wanted = ((key.modifiers & MOD_SHIFT) ? 0x100u : 0u) |
                        ((key.modifiers & MOD_CONTROL) ? 0x200u : 0u) |
                        ((key.modifiers & MOD_ALT) ? 0x400u : 0u) | key.virtualKey;
    constexpr std::array<std::pair<wchar_t, wchar_t>, 3> kRanges = {
        {{0x21, 0x7E}, {0xA1, 0x17F}, {0x20AC, 0x20AC}}};
    for (const auto& [first, last] : kRanges) {
        for (wchar_t c = first; c <= last; ++c) {
            if ((static_cast<UINT>(::VkKeyScanExW(c, layout)) & 0xFFFF) == wanted) return c;
        }
    }
    return 0;
}

}  // namespace

std::string TypedOnLayout(HKL layout, const Hotkey& key) {
    BYTE state[256] = {};
    // AltGr is what Windows reports as left Ctrl and right Alt.
    if (key.modifiers & MOD_CONTROL) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (key.modifiers & MOD_ALT) state[VK_MENU] = state[VK_RMENU] = 0x80;
    if (key.modifiers & MOD_SHIFT) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    const std::wstring text = AskToUnicode(layout, key.virtualKey, state);
    if (!text.empty()) return Narrow(text);
    // Wine never answers ToUnicodeEx for Ctrl+Alt, yet its reverse lookup
    // reads AltGr from the X keyboard map. Asked only for Ctrl+Alt: with
    // Ctrl alone no key types a character.
    const UINT both = MOD_CONTROL | MOD_ALT;
    if ((key.modifiers & both) != both) return {};
    const wchar_t found = CharacterOnKey(layout, key);
    return found ? Narrow(std::wstring(1, found)) : std::string();
}

std::string LayoutName(HKL layout) {
    const auto id = reinterpret_cast<std::uintptr_t>(layout);
    const WORD language = LOWORD(id), device = HIWORD(id);
    // A device word of 0xFnnn names a variant by its "Layout Id", which only a
    // search of the registry resolves: the language's own layout stands in.
    wchar_t klid[KL_NAMELENGTH] = {};
    std::swprintf(klid, KL_NAMELENGTH, L"%08X", (device & 0xF000) == 0xF000 ? language : device);
    const std::wstring key =
        std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\") + klid;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) == 0) {
        const UniqueKey layoutKey(opened);
        wchar_t name[128] = {};
        DWORD size = sizeof(name) - sizeof(wchar_t);
        // The display name is in the user's language; the plain text is English.
        if (::RegLoadMUIStringW(opened, L"Layout Display Name", name,
                                sizeof(name) - sizeof(wchar_t), nullptr, 0, nullptr) == 0 &&
            name[0]) {
            return Narrow(name);
        }
        if (::RegGetValueW(opened, nullptr, L"Layout Text", RRF_RT_REG_SZ, nullptr, name, &size) ==
                0 &&
            name[0]) {
            return Narrow(name);
        }
    }
    wchar_t name[128] = {};
    if (::GetLocaleInfoW(MAKELCID((device & 0xF000) == 0xF000 ? language : device, SORT_DEFAULT),
                         LOCALE_SLANGUAGE, name, 128) > 0) {
        return Narrow(name);
    }
    return Narrow(klid);
}

std::vector<KeyboardLayout> InstalledKeyboardLayouts() {
    std::vector<HKL> layouts(
        static_cast<std::size_t>(std::max(::GetKeyboardLayoutList(0, nullptr), 0)));
    layouts.resize(static_cast<std::size_t>(
        std::max(::GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data()), 0)));
    std::vector<KeyboardLayout> installed;
    for (HKL layout : layouts) {
        installed.push_back({LayoutName(layout),
                             [layout](const Hotkey& key) { return TypedOnLayout(layout, key); }});
    }
    return installed;
}

}  // namespace jumpnest
