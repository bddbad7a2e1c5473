// The input picks locale and version and fills the store, so any stored text reaches LoadOptions.
#include <fuzzer/FuzzedDataProvider.h>

#include "core/text.h"
#include "store/portable.h"
#include "store/settings.h"
#include "support/fuzz_check.h"
#include "support/memory_settings_store.h"
#include "ui/text/captions.h"

using namespace jumpnest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool germanLocale = input.ConsumeBool();
    const auto language = input.ConsumeIntegralInRange<std::int32_t>(0, 3);
    const auto version = input.ConsumeIntegral<std::int32_t>();
    test::MemorySettingsStore store, saved;
    for (const char* key : {"Version", "Language", "ShowInSysTray", "IconSize", "Explorer",
                            "ExcludedPrograms", "PassFullScreen"}) {
        if (input.ConsumeBool()) store.values[key] = input.ConsumeRandomLengthString(24);
    }
    const std::string text = input.ConsumeRemainingBytesAsString();
    if (const auto value = ParseInteger(text)) {
        FUZZ_CHECK(ParseInteger(std::to_string(*value)) == value);  // as a save writes it
        FUZZ_CHECK(ParseInteger(" " + text + "\t") == value && ParseFlag(text) == (*value != 0));
    }
    // A plus in front never makes a number negative ("+-1" is none) or another one.
    const auto plus = ParseInteger("+" + text);
    FUZZ_CHECK(!plus || (*plus >= 0 && plus == ParseInteger(text)));

    // A portable copy's settings file as a user may have edited it: what one save wrote reads
    // back the same, and a target on the stick's drive comes back as the same file.
    if (std::optional<IniDocument> file = IniDocument::Parse(text)) {
        IniSettingsStore portable(*file);
        FUZZ_CHECK(portable.Write("Language", "2") && portable.Read("Language") == "2");
        const std::optional<IniDocument> again = IniDocument::Parse(file->Text());
        FUZZ_CHECK(again && again->Text() == file->Text() &&
                   again->Value("Settings", "Language") == "2");
    }
    const std::string target = "E:\\" + text;
    FUZZ_CHECK(EqualsIgnoringAsciiCase(
        ResolvedTarget(StoredTarget(target, "E:\\Jumpnest\\"), "E:\\Jumpnest\\"), target));

    const Options loaded = LoadOptions(store, germanLocale, language);
    FUZZ_CHECK(loaded.iconSize == kLargeIcons || loaded.iconSize == kSmallIcons);
    FUZZ_CHECK(!HelpText(loaded.language).empty() && !QuitQuestion(loaded.language).empty());
    // Saved and loaded again under another locale, the options stay as they are.
    FUZZ_CHECK(SaveOptions(saved, loaded, version) && saved.values.size() == 7);
    FUZZ_CHECK(ParseInteger(saved.values["Version"]) == version);
    FUZZ_CHECK(LoadOptions(saved, !germanLocale, 3 - language) == loaded);
    return 0;
}
