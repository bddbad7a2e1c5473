#include "store/entry_file.h"

#include <algorithm>

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
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);

        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        MenuEntry entry{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
        const bool known = std::any_of(entries.begin(), entries.end(), [&](const MenuEntry& e) {
            return SameTarget(e.target, entry.target);
        });
        if (known || !isFile(entry.target)) continue;
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
