#include "store/settings.h"

#include <charconv>
#include <limits>

#include "core/text.h"

namespace jumpnest {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    // from_chars takes a minus but no plus: a plus is taken off first, and
    // must not leave a minus behind it ("+-1" is no number).
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<bool> ParseFlag(std::string_view text) {
    if (const auto number = ParseInteger(text)) return *number != 0;
    text = TrimBlanks(text);
    if (EqualsIgnoringAsciiCase(text, "true")) return true;
    if (EqualsIgnoringAsciiCase(text, "false")) return false;
    return std::nullopt;
}

Options LoadOptions(const SettingsStore& store, bool germanLocale, std::int32_t currentLanguage) {
    auto integer = [&](std::string_view key) {
        const auto text = store.Read(key);
        return text ? ParseInteger(*text) : std::nullopt;
    };
    auto flag = [&](std::string_view key) {
        const auto text = store.Read(key);
        return text ? ParseFlag(*text) : std::nullopt;
    };
    const Options defaults;
    Options options;
    options.language = integer("Language").value_or(germanLocale ? 1 : currentLanguage);
    options.showInSysTray = flag("ShowInSysTray").value_or(defaults.showInSysTray);
    // Only kLargeIcons asks for large icons; any other number is taken as
    // small, and saved as kSmallIcons, so that the popup and the
    // configuration window never disagree about a third value.
    const auto iconSize = integer("IconSize");
    options.iconSize = !iconSize                  ? defaults.iconSize
                       : *iconSize == kLargeIcons ? kLargeIcons
                                                  : kSmallIcons;
    options.explorer = flag("Explorer").value_or(defaults.explorer);
    // Kept as stored: the hooks' side reads the names out of it.
    options.excludedPrograms = store.Read("ExcludedPrograms").value_or(defaults.excludedPrograms);
    options.passFullScreen = flag("PassFullScreen").value_or(defaults.passFullScreen);
    options.hotkey = integer("Hotkey").value_or(defaults.hotkey);
    return options;
}

bool SaveOptions(SettingsStore& store, const Options& options, std::int32_t appVersion) {
    bool all = store.Write("Version", std::to_string(appVersion));
    all &= store.Write("Language", std::to_string(options.language));
    all &= store.Write("ShowInSysTray", options.showInSysTray ? "1" : "0");
    all &= store.Write("IconSize", std::to_string(options.iconSize));
    all &= store.Write("Explorer", options.explorer ? "1" : "0");
    all &= store.Write("ExcludedPrograms", options.excludedPrograms);
    all &= store.Write("PassFullScreen", options.passFullScreen ? "1" : "0");
    return all;
}

}  // namespace jumpnest
