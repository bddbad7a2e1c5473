#include "store/entry_file.h"

#include <algorithm>
#include <unordered_set>

#include "core/paths.h"
#include "core/text.h"

namespace jumpnest {

namespace {

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

EntryFileText ClassifyEntryFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return {true, bytes.substr(kUtf8Bom.size())};
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return {!ascii && IsUtf8(bytes), bytes};
}

std::string EncodeEntryFile(const std::vector<MenuEntry>& entries, const AnsiEncoder& toAnsi) {
    std::string text = FormatEntries(entries);
    std::optional<std::string> ansi = toAnsi(text);
    if (ansi && !ClassifyEntryFile(*ansi).utf8) return std::move(*ansi);
    return std::string(kUtf8Bom) + text;
}

bool SameTarget(std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(a, b);
}

void KeepFirstOfEachTarget(std::vector<MenuEntry>& entries) {
    // Looked up by the target's folded form, which is what SameTarget
    // compares: a scan of the list for every entry would make a large file
    // take minutes to read.
    std::unordered_set<std::string> targets;
    std::erase_if(entries, [&targets](const MenuEntry& entry) {
        return !targets.insert(AsciiLower(entry.target)).second;
    });
}

std::vector<MenuEntry> ParseEntries(std::string_view text) {
    std::vector<MenuEntry> entries;
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
        entries.push_back(std::move(entry));
    }
    KeepFirstOfEachTarget(entries);
    return entries;
}

std::string FormatEntries(const std::vector<MenuEntry>& entries) {
    std::string text;
    for (const MenuEntry& entry : entries) {
        text.append(entry.caption).append("\t").append(entry.target).append("\r\n");
    }
    return text;
}

size_t MoveEntry(std::vector<MenuEntry>& entries, size_t index, int direction) {
    if (index >= entries.size() || direction == 0) return index;
    if (direction < 0) {
        if (index == 0) return index;
        std::swap(entries[index], entries[index - 1]);
        return index - 1;
    }
    if (index + 1 == entries.size()) return index;
    std::swap(entries[index], entries[index + 1]);
    return index + 1;
}

std::vector<MenuEntry> EntriesFromDrop(const std::vector<std::string>& paths,
                                       const std::vector<MenuEntry>& existing,
                                       const std::function<bool(const std::string&)>& isFile) {
    auto known = [](const std::vector<MenuEntry>& entries, std::string_view target) {
        for (const MenuEntry& entry : entries) {
            if (SameTarget(entry.target, target)) return true;
        }
        return false;
    };
    std::vector<MenuEntry> added;
    for (const std::string& path : paths) {
        // A line break would split the entry file's line; Windows forbids it in
        // file names, so such a path can only come from a malformed drop.
        if (HasLineBreak(path)) continue;
        if (!isFile(path)) continue;
        if (known(existing, path) || known(added, path)) continue;
        added.push_back({CleanCaption(GetFileName(path, false)), path});
    }
    return added;
}

std::string CleanCaption(std::string_view typed) {
    // TAB separates caption from target and CR LF ends the line in the entry
    // file. None of the three bytes occurs inside a UTF-8 sequence, so
    // removing them byte by byte leaves every other character whole.
    std::string clean;
    clean.reserve(typed.size());
    for (const char c : typed) {
        if (c != '\t' && c != '\r' && c != '\n') clean += c;
    }
    return clean;
}

}  // namespace jumpnest
