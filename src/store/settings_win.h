// The settings store on Windows: one registry key per user,
// HKEY_CURRENT_USER\Software\<application>\<section>, every value a string.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/settings.h"

namespace jumpnest {

inline constexpr std::string_view kSettingsApplication = "kqrJumpnest";
inline constexpr std::string_view kSettingsSection = "Settings";

class RegistrySettings final : public SettingsStore {
public:
    // Other names than the program's own are for tests, which keep to a
    // scratch key of their own.
    explicit RegistrySettings(std::string_view application = kSettingsApplication,
                              std::string_view section = kSettingsSection);

    // REG_SZ and REG_EXPAND_SZ values as stored (environment references are
    // left as they are); any other type reads as absent, like a missing key.
    std::optional<std::string> Read(std::string_view key) const override;
    // Creates the key when it is missing and stores the value as REG_SZ;
    // false, with the registry's reason as the last error, when it cannot.
    bool Write(std::string_view key, std::string_view value) override;

    // Every string value of the key, under its name, known to this version
    // or not; none when there is no key.
    std::vector<std::pair<std::string, std::string>> Values() const;

    // The key below HKEY_CURRENT_USER, "Software\<application>\<section>".
    const std::wstring& KeyPath() const { return keyPath_; }

private:
    std::wstring keyPath_;
};

// Deletes HKEY_CURRENT_USER\Software\<application> with everything in it:
// nothing when there was no such key, else 0 or the registry's reason.
std::optional<unsigned long> RemoveSettingsKey(std::string_view application = kSettingsApplication);

}  // namespace jumpnest
