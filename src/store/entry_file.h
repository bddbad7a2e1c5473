// The entry file: one line per menu entry, "caption TAB target CR LF", in list
// order, with nothing before the first line or after the last. Written in the
// ANSI code page, which earlier versions and the users' own scripts read,
// whenever that code page holds every character; else as UTF-8 with a
// byte-order mark. Read as UTF-8 after the mark or when the bytes are UTF-8
// (as Notepad saves), else in the ANSI code page. The conversion itself is
// the Win32 side's business.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jumpnest {

struct MenuEntry {
    std::string caption;  // UTF-8; no TAB, CR or LF
    std::string target;   // full path of a file, which may be away for now; unique in the list
    bool operator==(const MenuEntry&) const = default;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The file's bytes split into how they are encoded and the text after the
// mark. Without a mark, bytes that are well-formed UTF-8 and not plain ASCII
// are taken as UTF-8: in an ANSI code page such text is letter pairs like
// "Ã©" that nobody writes, while Notepad saves UTF-8 without a mark.
struct EntryFileText {
    bool utf8 = false;      // false: the ANSI code page
    std::string_view text;  // without the byte-order mark
};
EntryFileText ClassifyEntryFile(std::string_view bytes);

// The text in the ANSI code page, or nothing when a character would not come
// back from it as it was.
using AnsiEncoder = std::function<std::optional<std::string>(std::string_view utf8)>;

// The file's bytes for these entries: in the ANSI code page when `toAnsi`
// keeps every character and ClassifyEntryFile would read the result as ANSI
// again (not, say, a caption "Ã©" whose bytes are UTF-8 for "é"); else UTF-8
// after a byte-order mark.
std::string EncodeEntryFile(const std::vector<MenuEntry>& entries, const AnsiEncoder& toAnsi);

// The entries of the file's text (already UTF-8). Lines end in LF, CR LF or
// CR CR LF; the last may have no end. A line is split at its first TAB: a
// line without one is skipped, and so is one whose target holds a CR or an
// earlier line already named, compared without regard to case as Windows
// compares paths. A CR inside a caption is dropped. Whether a target is
// there is not asked: a file on a drive that is away for a while is still
// the user's entry, and the file system is no business of the reader.
std::vector<MenuEntry> ParseEntries(std::string_view text);

// Of entries naming the same target (SameTarget), only the first stays.
void KeepFirstOfEachTarget(std::vector<MenuEntry>& entries);

// The file's text for these entries, UTF-8, every line ended by CR LF.
std::string FormatEntries(const std::vector<MenuEntry>& entries);

// Whether two targets name the same file by Windows' rules for letter case
// (ASCII letters only; other letters must match exactly).
bool SameTarget(std::string_view a, std::string_view b);

// Moves the entry at `index` one place up (-1) or down (+1). Returns the new
// index of the moved entry, or `index` unchanged when it cannot move (first
// up, last down, out of range).
size_t MoveEntry(std::vector<MenuEntry>& entries, size_t index, int direction);

// The entries a drop of `paths` adds to `existing`, in drop order: only
// paths `isFile` accepts (existing files, not folders), each target once
// (compared as Windows compares paths), none already in `existing`. The
// caption is the file name without its extension.
std::vector<MenuEntry> EntriesFromDrop(const std::vector<std::string>& paths,
                                       const std::vector<MenuEntry>& existing,
                                       const std::function<bool(const std::string&)>& isFile);

// A caption as typed in place, made safe for the entry file: TAB, CR and LF
// are removed.
std::string CleanCaption(std::string_view typed);

}  // namespace jumpnest
