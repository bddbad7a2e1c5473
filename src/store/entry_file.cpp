#include "store/entry_file.h"

#include <unordered_set>

#include "core/text.h"

namespace jumpnest {

EntryFileText ClassifyEntryFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return {true, bytes.substr(kUtf8Bom.size())};
    return {false, bytes};
}

bool SameTarget(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}

std::vector<MenuEntry> ParseEntries(std::string_view text,
                                    const std::function<bool(const std::string&)>& isFile) {
    std::vector<MenuEntry> entries;
    std::unordered_set<std::string> targets;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        // A file that went through a second LF to CR LF conversion ends its
        // lines in CR CR LF: every CR before the line's end is part of it.
        while (line.ends_with('\r')) line.remove_suffix(1);

        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        MenuEntry entry{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
        // A CR inside a line is in no Windows path, and the saving side
        // refuses a list whose caption holds one: the caption drops it, as a
        // caption typed in place does, and such a target names no file.
        if (entry.target.find('\r') != std::string::npos) continue;
        std::erase(entry.caption, '\r');
        // Looked up by the target's folded form, which is what SameTarget
        // compares: a scan of the list for every line would make a large
        // file take minutes to read.
        std::string folded = AsciiLower(entry.target);
        if (targets.contains(folded) || !isFile(entry.target)) continue;
        targets.insert(std::move(folded));
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FormatEntries(const std::vector<MenuEntry>& entries) {
    std::string text;
    for (const MenuEntry& entry : entries) {
        text.append(entry.caption).append("\t").append(entry.target).append("\r\n");
    }
    return text;
}

}  // namespace jumpnest
