#include "store/settings_win.h"

#include <windows.h>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/trace_win.h"

namespace jumpnest {

namespace {

// The registry keeps a value up to about 1 MB well; anything near the DWORD
// limit of its size field is not a setting of ours.
constexpr size_t kMaxValueBytes = 16u * 1024 * 1024;

}  // namespace

RegistrySettings::RegistrySettings(std::string_view application, std::string_view section)
    : keyPath_(L"Software\\" + Widen(application) + L"\\" + Widen(section)) {}

std::optional<std::string> RegistrySettings::Read(std::string_view key) const {
    UniqueKey settings;
    {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        settings.reset(raw);
    }
    const std::wstring name = Widen(key);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status =
        ::RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type, nullptr, &size);
    // Another writer may grow the value between asking for its size and
    // reading it; then the read reports ERROR_MORE_DATA with the new size.
    std::wstring text;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxValueBytes) {
            return std::nullopt;
        }
        // Room for one more character than asked: a value stored without its
        // terminating NUL still reads as a whole string.
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD room = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(text.data()), &room);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
            text.resize(room / sizeof(wchar_t));
            // Text ends at the first NUL, the terminator or anything stored
            // after one.
            const size_t end = text.find(L'\0');
            if (end != std::wstring::npos) text.resize(end);
            return Narrow(text);
        }
        size = room;
    }
    return std::nullopt;
}

bool RegistrySettings::Write(std::string_view key, std::string_view value) {
    // A NUL would cut the stored text short; refuse rather than keep less
    // than was asked for.
    if (value.find('\0') != std::string_view::npos) return false;
    const std::wstring text = Widen(value);
    if (!value.empty() && text.empty()) return false;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (bytes > kMaxValueBytes) return false;

    UniqueKey settings;
    {
        HKEY raw = nullptr;
        const LSTATUS status =
            ::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &raw, nullptr);
        if (status != ERROR_SUCCESS) {
            Trace("settings: cannot create the key");
            ::SetLastError(static_cast<DWORD>(status));
            return false;
        }
        settings.reset(raw);
    }
    const LSTATUS status =
        ::RegSetValueExW(settings.get(), Widen(key).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(bytes));
    if (status == ERROR_SUCCESS) return true;
    Trace("settings: cannot write " + std::string(key));
    ::SetLastError(static_cast<DWORD>(status));
    return false;
}

std::vector<std::pair<std::string, std::string>> RegistrySettings::Values() const {
    std::vector<std::pair<std::string, std::string>> values;
    UniqueKey settings;
    {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &raw) !=
            ERROR_SUCCESS) {
            return values;
        }
        settings.reset(raw);
    }
    // Value names are at most 16383 characters.
    std::wstring name(16384, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status = ::RegEnumValueW(settings.get(), index, name.data(), &length,
                                               nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        const std::string key = Narrow(std::wstring_view(name.data(), length));
        // Read as Read reads it: other types are no settings of ours.
        if (std::optional<std::string> value = Read(key)) values.emplace_back(key, *value);
    }
    return values;
}

std::optional<unsigned long> RemoveSettingsKey(std::string_view application) {
    const std::wstring key = L"Software\\" + Widen(application);
    const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return static_cast<unsigned long>(status);
}

}  // namespace jumpnest
