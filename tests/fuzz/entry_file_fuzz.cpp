// The input is an entry file's bytes.
#include "store/entry_file.h"
#include "support/fuzz_check.h"

using namespace jumpnest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const EntryFileText file = ClassifyEntryFile(input);
    FUZZ_CHECK(file.utf8 == input.starts_with(kUtf8Bom));
    FUZZ_CHECK(file.text == input.substr(file.utf8 ? kUtf8Bom.size() : 0));
    const std::vector<MenuEntry> entries = ParseEntries(file.text);
    for (size_t i = 0; i < entries.size(); ++i) {
        // Saving refuses a caption with a TAB or a line break.
        FUZZ_CHECK(entries[i].caption.find_first_of("\t\r\n") == std::string::npos);
        FUZZ_CHECK(entries[i].target.find_first_of("\r\n") == std::string::npos);
        for (size_t j = 0; j < i; ++j)
            FUZZ_CHECK(!SameTarget(entries[j].target, entries[i].target));
    }
    // Whatever a save writes comes back the same at the next start.
    FUZZ_CHECK(ParseEntries(FormatEntries(entries)) == entries);
    return 0;
}
