// A portable copy: its settings in a file beside the exe instead of the
// registry, and targets on its own drive stored so that they still work when
// the stick comes back under another drive letter.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"
#include "store/settings.h"

namespace jumpnest {


// A settings file as a user may edit it in Notepad: "[Section]" and
// "Key=Value" lines, blank lines and comments (";" or "#"). Every line is
// kept as it stands, so that comments, other sections and keys this version
// does not know survive the program's saves.
class IniDocument {
public:
    // Nothing when the text is no settings file: not UTF-8, a NUL, or a line
    // that is neither blank, a comment, a section nor a key with "=". An
    // empty file is a settings file without settings.
    static std::optional<IniDocument> Parse(std::string_view text);

    // The value of the first such key of the first such section, blanks
    // around it taken away; names compare without regard to ASCII case.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Replaces the value in its line, or adds the key at the end of the
    // section, or the section at the end. False, and nothing changed, for a
    // value holding a line break or a NUL, which the file could not hold.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The file's text: its lines with CR LF, after a UTF-8 mark when it had one.
    std::string Text() const;

private:
    // Where a section's lines end: one past its last key line, or past its
    // header when it has none; nothing when there is no such section.
    std::optional<std::size_t> SectionEnd(std::string_view section) const;

    std::vector<std::string> lines_;
    bool mark_ = false;
};

// Section "Settings" of a portable settings file, under the registry's names.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(IniDocument& document) : document_(document) {}
    std::optional<std::string> Read(std::string_view key) const override;
    bool Write(std::string_view key, std::string_view value) override;

private:
    IniDocument& document_;
};

// How a portable copy whose exe lies in `exeFolder` ("E:\Jumpnest\") stores a
// target: below that folder, relative to it ("Tools\run.exe"), so that it
// travels with the folder; elsewhere on the same drive, from the drive's root
// ("\Photos\index.html"); anything else (another drive, a share, an address)
// as it stands.
std::string StoredTarget(std::string_view target, std::string_view exeFolder);

// The target a stored one names for a copy in `exeFolder`: the reverse of
// StoredTarget. A stored target that is neither relative nor from the root
// is returned as it stands, and so is one starting with "%", which names its
// own place once its variables are expanded.
std::string ResolvedTarget(std::string_view stored, std::string_view exeFolder);

}  // namespace jumpnest
