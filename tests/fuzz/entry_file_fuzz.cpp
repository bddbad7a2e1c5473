// Fuzzes the entry file reader: the whole input is the file's bytes.
//
// Whether a target "exists" is decided by the target itself, so that both
// answers occur: a target that is empty or ends in a backslash (a folder) is
// no file, and neither is a short one starting with an odd byte. Letter case
// changes neither answer, as on Windows, so a line dropped for a missing file
// and a later one naming it in another case are both dropped.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "store/entry_file.h"

namespace {

using jumpnest::MenuEntry;

[[noreturn]] void Fail(const char* what, std::string_view input) {
    std::fprintf(stderr, "entry_file_fuzz: %s (input of %zu bytes)\n", what, input.size());
    std::abort();
}

bool LooksLikeFile(const std::string& target) {
    if (target.empty() || target.back() == '\\') return false;
    return (static_cast<unsigned char>(target.front()) & 1) == 0 || target.size() > 3;
}

void CheckEntries(const std::vector<MenuEntry>& entries, std::string_view input) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        // A TAB may sit inside a target (the line is split at its first
        // one), but never in a caption, and no line break in either.
        if (entry.caption.find_first_of("\t\r\n") != std::string::npos) {
            Fail("a caption holds a TAB or a line break", input);
        }
        if (entry.target.find_first_of("\r\n") != std::string::npos) {
            Fail("a target holds a line break", input);
        }
        if (!LooksLikeFile(entry.target)) Fail("a target the file check rejected was kept", input);
        for (size_t j = 0; j < i; ++j) {
            if (jumpnest::SameTarget(entries[j].target, entry.target)) {
                Fail("two entries name the same target", input);
            }
        }
    }
}

// SameTarget is an equivalence: reflexive, symmetric, and it never equates
// texts of different lengths (letter case alone never changes a length).
void CheckSameTarget(std::string_view a, std::string_view b, std::string_view input) {
    if (!jumpnest::SameTarget(a, a)) Fail("SameTarget is not reflexive", input);
    if (jumpnest::SameTarget(a, b) != jumpnest::SameTarget(b, a)) {
        Fail("SameTarget is not symmetric", input);
    }
    if (a.size() != b.size() && jumpnest::SameTarget(a, b)) {
        Fail("SameTarget equates texts of different lengths", input);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const jumpnest::EntryFileText file = jumpnest::ClassifyEntryFile(input);
    if (file.utf8 != input.starts_with(jumpnest::kUtf8Bom)) Fail("wrong encoding", input);
    if (!input.ends_with(file.text) ||
        file.text.size() + (file.utf8 ? jumpnest::kUtf8Bom.size() : 0) != input.size()) {
        Fail("the text is not the input after its mark", input);
    }

    const std::vector<MenuEntry> entries = jumpnest::ParseEntries(file.text, LooksLikeFile);
    CheckEntries(entries, input);

    // Writing the list and reading it back gives the same list: nothing a
    // save writes may be lost or changed at the next start.
    const std::string written = jumpnest::FormatEntries(entries);
    if (!entries.empty() && !written.ends_with("\r\n")) Fail("the last line has no CR LF", input);
    if (jumpnest::ParseEntries(written, LooksLikeFile) != entries) {
        Fail("the written list reads back differently", input);
    }
    // And writing what was read back gives the same text.
    if (jumpnest::FormatEntries(jumpnest::ParseEntries(written, LooksLikeFile)) != written) {
        Fail("writing the list twice differs", input);
    }

    // Every parsed caption and target came from the input.
    for (const MenuEntry& entry : entries) {
        if (input.find(entry.target) == std::string_view::npos) {
            Fail("a target that is not in the file", input);
        }
    }

    // The halves of the input as two targets.
    CheckSameTarget(input.substr(0, size / 2), input.substr(size / 2), input);
    return 0;
}
