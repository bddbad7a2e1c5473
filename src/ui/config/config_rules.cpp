#include "ui/config/config_rules.h"

#include <cstdint>
#include <utility>

#include "core/paths.h"

namespace jumpnest {

namespace {

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

CloseDecision DecideClose(CloseReason reason, bool popupOpen) {
    switch (reason) {
    case CloseReason::CloseBox:
        // While the popup is open it is built from the live list, so throwing the
        // edits away under it would change the menu the user is looking at.
        return {CloseAction::Hide, !popupOpen};
    case CloseReason::FromCode:
        return {CloseAction::Ask, false};
    case CloseReason::SessionEnding:
    case CloseReason::TaskManager:
        // Nobody is there to answer: a question would only hold up log-off.
        return {CloseAction::QuitAtOnce, false};
    }
    // Not a reason the window knows: asking neither loses edits nor quits unasked.
    return {CloseAction::Ask, false};
}

std::string StripAccelerators(std::string_view caption) {
    // One pass over pairs rather than a marker substitution, so no text the
    // caption may already contain is ever mistaken for an escaped "&".
    std::string plain;
    plain.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            plain += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            plain += '&';
            ++i;
        }
    }
    return plain;
}

std::string_view QuitQuestion(int language) {
    switch (language) {
    case 1:
        return "Soll 'kqrJumpnest' endgültig beendet werden?";
    case 2:
        return "Devrait être mis fin 'kqrJumpnest' final?";
    case 3:
        return "Debe darse por concluida 'kqrJumpnest' final?";
    default:
        return "Do you want to quit 'kqrJumpnest'?";
    }
}

std::string_view HelpPageName(int language) {
    return language == 1 ? "jumpnest-help-de.html" : "jumpnest-help-en.html";
}

int CenteredOrigin(int screen, int size) {
    // Widened so that extreme sizes cannot overflow the subtraction; the half
    // always fits back into an int. Division truncates toward zero, so a window
    // larger than the screen hangs over both edges by the same amount.
    return static_cast<int>((static_cast<std::int64_t>(screen) - size) / 2);
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
