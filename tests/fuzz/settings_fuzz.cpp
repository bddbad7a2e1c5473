// Fuzzes the settings conversions. The input is cut into a few choices and
// the texts of a settings store, so that any stored value, however broken,
// reaches LoadOptions; every result must be one the program can use.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "store/settings.h"
#include "support/memory_settings_store.h"
#include "ui/text/captions.h"

namespace {

using jumpnest::Options;

[[noreturn]] void Fail(const char* what, std::string_view text = {}) {
    std::fprintf(stderr, "settings_fuzz: %s [%.*s]\n", what, static_cast<int>(text.size()),
                 text.data());
    std::abort();
}

using FakeStore = jumpnest::test::MemorySettingsStore;

constexpr std::array<const char*, 5> kKeys = {"Version", "Language", "ShowInSysTray", "IconSize",
                                              "Explorer"};

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Whether `text` is written as a whole decimal number: blanks, at most one
// sign, digits, blanks. Says nothing about its size.
bool IsDecimalNumeral(std::string_view text) {
    text = TrimmedBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

void CheckInteger(std::string_view text) {
    const auto value = jumpnest::ParseInteger(text);
    if (!value) return;
    if (!IsDecimalNumeral(text)) Fail("ParseInteger accepts what is no decimal number", text);
    // The value as SaveOptions writes it reads back the same.
    if (jumpnest::ParseInteger(std::to_string(*value)) != value) {
        Fail("ParseInteger does not read back its own value", text);
    }
    // Digits and sign agree with the text.
    const std::string_view trimmed = TrimmedBlanks(text);
    if ((*value < 0) !=
        (trimmed.front() == '-' && trimmed.find_first_not_of("-0") != trimmed.npos)) {
        Fail("ParseInteger gets the sign wrong", text);
    }
    const std::string digits = std::to_string(*value < 0 ? -static_cast<std::int64_t>(*value)
                                                         : static_cast<std::int64_t>(*value));
    if (!trimmed.ends_with(digits)) Fail("ParseInteger gets the digits wrong", text);
}

void CheckFlag(std::string_view text) {
    const auto flag = jumpnest::ParseFlag(text);
    if (const auto number = jumpnest::ParseInteger(text)) {
        if (flag != (*number != 0)) Fail("ParseFlag disagrees with the number", text);
        return;
    }
    std::string word(TrimmedBlanks(text));
    for (char& c : word) c = static_cast<char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
    const std::optional<bool> expected = word == "true"    ? std::optional(true)
                                         : word == "false" ? std::optional(false)
                                                           : std::nullopt;
    if (flag != expected) Fail("ParseFlag reads a word wrongly", text);
}

// What the rest of the program needs of loaded options.
void CheckUsable(const Options& options) {
    const int column = jumpnest::LanguageColumn(options.language);
    if (column < 0 || column >= jumpnest::kLanguageCount) Fail("language column out of range");
    if (jumpnest::HelpText(options.language).empty()) Fail("no help text for the language");
    if (jumpnest::CaptionOf("cmdButton", 0, options.language).empty()) Fail("no caption");
    // The popup picks its image list by comparing with kLargeIcons and the
    // configuration window its option button by comparing with kSmallIcons:
    // any third value would show one size and select the other.
    if (options.iconSize != jumpnest::kLargeIcons && options.iconSize != jumpnest::kSmallIcons) {
        Fail("an icon size that is neither large nor small", std::to_string(options.iconSize));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool germanLocale = input.ConsumeBool();
    const std::int32_t currentLanguage = input.ConsumeIntegralInRange<std::int32_t>(0, 3);
    const std::int32_t appVersion = input.ConsumeIntegral<std::int32_t>();

    FakeStore store;
    for (const char* key : kKeys) {
        if (input.ConsumeBool()) store.values[key] = input.ConsumeRandomLengthString(24);
    }
    const std::uint8_t failingKeys = input.ConsumeIntegral<std::uint8_t>();

    for (const auto& [key, text] : store.values) {
        CheckInteger(text);
        CheckFlag(text);
    }
    const std::string rest = input.ConsumeRemainingBytesAsString();
    CheckInteger(rest);
    CheckFlag(rest);

    const Options loaded = jumpnest::LoadOptions(store, germanLocale, currentLanguage);
    CheckUsable(loaded);
    // A language the store does not hold comes from the locale.
    const auto storedLanguage = store.values.count("Language")
                                    ? jumpnest::ParseInteger(store.values.at("Language"))
                                    : std::nullopt;
    if (!storedLanguage && loaded.language != (germanLocale ? 1 : currentLanguage)) {
        Fail("an absent language does not follow the locale");
    }

    // Saved and loaded again, the options stay as they are, whatever the
    // locale says by then.
    FakeStore saved;
    if (!jumpnest::SaveOptions(saved, loaded, appVersion)) Fail("a save to a working store failed");
    if (saved.values.size() != kKeys.size()) Fail("a save left out a key");
    if (jumpnest::ParseInteger(saved.values.at("Version")) != appVersion) Fail("version lost");
    const Options reloaded = jumpnest::LoadOptions(saved, !germanLocale, 3 - currentLanguage);
    if (reloaded != loaded) Fail("options change when saved and loaded");
    FakeStore savedAgain;
    jumpnest::SaveOptions(savedAgain, reloaded, appVersion);
    if (savedAgain.values != saved.values) Fail("a second save writes other values");

    // A save that fails for some keys still writes all the others, and says so.
    FakeStore partly;
    for (size_t i = 0; i < kKeys.size(); ++i) {
        if (failingKeys & (1u << i)) partly.failing.insert(kKeys[i]);
    }
    const bool all = jumpnest::SaveOptions(partly, loaded, appVersion);
    if (all != partly.failing.empty()) Fail("a failed write is not reported");
    if (partly.values.size() + partly.failing.size() != kKeys.size()) {
        Fail("a failed write stopped the others");
    }
    return 0;
}
