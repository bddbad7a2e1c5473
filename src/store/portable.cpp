#include "store/portable.h"

#include "core/text.h"

namespace jumpnest {
namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";
constexpr std::string_view kSection = "Settings";
constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The name of a "[Section]" line; nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trimmed(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return Trimmed(line.substr(1, line.size() - 2));
}

bool IsComment(std::string_view line) {
    line = Trimmed(line);
    return line.empty() || line.front() == ';' || line.front() == '#';
}

// A key line's name and value; nothing for a line that holds no "=" or
// nothing before it.
std::optional<std::pair<std::string_view, std::string_view>> KeyOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (IsComment(line) || equals == std::string_view::npos ||
        Trimmed(line.substr(0, equals)).empty()) {
        return std::nullopt;
    }
    return std::pair(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
}

bool IsDriveRoot(std::string_view path) {
    return path.size() >= 3 && AsciiLower(path[0]) >= 'a' && AsciiLower(path[0]) <= 'z' &&
           path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::optional<IniDocument> IniDocument::Parse(std::string_view text) {
    IniDocument document;
    document.mark_ = text.starts_with(kMark);
    if (document.mark_) text.remove_prefix(kMark.size());
    if (!IsUtf8(text) || text.find('\0') != std::string_view::npos) return std::nullopt;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!IsComment(line) && !SectionOf(line) && !KeyOf(line)) return std::nullopt;
        document.lines_.emplace_back(line);
    }
    return document;
}

std::optional<std::size_t> IniDocument::SectionEnd(std::string_view section) const {
    std::optional<std::size_t> end;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionOf(lines_[i])) {
            if (end) break;  // the next section: the first one found is the one read
            if (EqualsIgnoringAsciiCase(*name, section)) end = i + 1;
        } else if (end && KeyOf(lines_[i])) {
            end = i + 1;
        }
    }
    return end;
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
    bool inside = false;
    bool seen = false;
    for (const std::string& line : lines_) {
        if (const auto name = SectionOf(line)) {
            if (inside) return std::nullopt;
            inside = !seen && EqualsIgnoringAsciiCase(*name, section);
            seen = seen || inside;
        } else if (const auto pair = KeyOf(line); inside && pair) {
            if (EqualsIgnoringAsciiCase(pair->first, key)) return std::string(pair->second);
        }
    }
    return std::nullopt;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
    const std::string line = std::string(key).append("=").append(value);
    const std::optional<std::size_t> end = SectionEnd(section);
    if (!end) {
        lines_.push_back(std::string("[").append(section).append("]"));
        lines_.push_back(line);
        return true;
    }
    std::size_t header = *end;
    while (!SectionOf(lines_[header - 1])) --header;
    for (std::size_t i = header; i < *end; ++i) {
        const auto pair = KeyOf(lines_[i]);
        if (pair && EqualsIgnoringAsciiCase(pair->first, key)) {
            lines_[i] = line;
            return true;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*end), line);
    return true;
}

std::string IniDocument::Text() const {
    std::string text(mark_ ? kMark : "");
    for (const std::string& line : lines_) text += line + "\r\n";
    return text;
}

std::optional<std::string> IniSettingsStore::Read(std::string_view key) const {
    return document_.Value(kSection, key);
}

bool IniSettingsStore::Write(std::string_view key, std::string_view value) {
    return document_.Set(kSection, key, value);
}

std::string StoredTarget(std::string_view target, std::string_view exeFolder) {
    if (!IsDriveRoot(target) || !IsDriveRoot(exeFolder) ||
        AsciiLower(target[0]) != AsciiLower(exeFolder[0])) {
        return std::string(target);
    }
    const bool below = exeFolder.ends_with('\\') && target.size() > exeFolder.size() &&
                       EqualsIgnoringAsciiCase(target.substr(0, exeFolder.size()), exeFolder);
    // Kept whole wherever reading it back would name another file: a name
    // that starts with "%" or holds a stream's ":".
    for (const std::string_view stored :
         {below ? target.substr(exeFolder.size()) : "", target.substr(2)}) {
        if (!stored.empty() && EqualsIgnoringAsciiCase(ResolvedTarget(stored, exeFolder), target)) {
            return std::string(stored);
        }
    }
    return std::string(target);
}

std::string ResolvedTarget(std::string_view stored, std::string_view exeFolder) {
    if (stored.empty() || !IsDriveRoot(exeFolder) || stored.starts_with('%') ||
        stored.find(':') != std::string_view::npos || stored.starts_with("\\\\") ||
        stored.starts_with('/')) {
        return std::string(stored);
    }
    std::string target(stored.starts_with('\\') ? exeFolder.substr(0, 2) : exeFolder);
    return target.append(stored);
}

}  // namespace jumpnest
