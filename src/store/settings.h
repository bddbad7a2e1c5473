// The options and how they are kept in the per-user settings store: section
// "Settings" of application "kqrJumpnest", every value a string.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jumpnest {

// Icon sizes of the popup menu, named by the shell icon flags that fetch them.
inline constexpr std::int32_t kLargeIcons = 256;
inline constexpr std::int32_t kSmallIcons = 257;

struct Options {
    std::int32_t language = 0;  // 0 English, 1 German, 2 French, 3 Spanish
    bool showInSysTray = true;
    std::int32_t iconSize = kLargeIcons;
    bool explorer = false;  // the middle button opens Explorer
    // Programs the gestures leave alone, as stored: "mstsc.exe;vmconnect.exe".
    std::string excludedPrograms;
    // The gestures stand aside while a full-screen program is in front. Off
    // unless chosen, so that the gestures work over every window; players and
    // presenters switch it on.
    bool passFullScreen = false;
    // The shortcut that opens the popup, as stored: a hot-key control's
    // value, 0 for none. Kept as the user chose it even while another
    // program holds it or it is no shortcut at all.
    std::int32_t hotkey = 0;
    bool operator==(const Options&) const = default;
};

// The seam to the real store (the registry on Windows).
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key is absent.
    virtual std::optional<std::string> Read(std::string_view key) const = 0;
    // False when the value could not be written.
    virtual bool Write(std::string_view key, std::string_view value) = 0;
};

// A stored whole decimal number (blanks around it allowed); anything else,
// or a number outside 32 bits, reads as absent.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// A stored flag: any whole number ParseInteger reads, 0 being false, or the
// words True and False in any case; anything else reads as absent.
std::optional<bool> ParseFlag(std::string_view text);

// Reads the options. Absent or unreadable values take their defaults: the
// language is German on a German locale, else `currentLanguage`. Any icon
// size but kLargeIcons reads as kSmallIcons. A language outside 0 to 3 is
// kept: every text reads it as English.
Options LoadOptions(const SettingsStore& store, bool germanLocale, std::int32_t currentLanguage);

// Writes "Version", "Language", "ShowInSysTray", "IconSize", "Explorer",
// "ExcludedPrograms" and "PassFullScreen", in that order, each even when one
// before it failed. True when all were written. "Hotkey" is the shortcut
// dialog's alone to write: only it knows whether Windows granted the key.
bool SaveOptions(SettingsStore& store, const Options& options, std::int32_t appVersion);

}  // namespace jumpnest
