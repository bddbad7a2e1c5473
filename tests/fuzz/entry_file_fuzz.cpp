// The input is an entry file's bytes; Latin-1 stands in for the ANSI code page.
#include "core/text.h"
#include "store/entry_file.h"
#include "support/fuzz_check.h"
#include "support/latin1_code_page.h"

using namespace jumpnest;

static std::string Decode(std::string_view bytes) {
    const EntryFileText file = ClassifyEntryFile(bytes);
    return file.utf8 ? std::string(file.text) : test::FromLatin1(file.text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const EntryFileText file = ClassifyEntryFile(input);
    FUZZ_CHECK(file.text == input.substr(input.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0));
    const std::string text = Decode(input);
    // UTF-8 without a mark, as Notepad saves it, is read as it is.
    FUZZ_CHECK(!IsUtf8(file.text) || text == file.text);
    const std::vector<MenuEntry> entries = ParseEntries(text);
    for (size_t i = 0; i < entries.size(); ++i) {
        // Saving refuses a caption with a TAB or a line break.
        FUZZ_CHECK(entries[i].caption.find_first_of("\t\r\n") == std::string::npos);
        FUZZ_CHECK(entries[i].target.find_first_of("\r\n") == std::string::npos);
        for (size_t j = 0; j < i; ++j)
            FUZZ_CHECK(!SameTarget(entries[j].target, entries[i].target));
    }
    // Whatever a save writes, in the code page or as UTF-8, comes back the
    // same at the next start.
    FUZZ_CHECK(ParseEntries(Decode(EncodeEntryFile(entries, test::ToLatin1))) == entries);
    return 0;
}
