// The captions and help text of the configuration window in each interface
// language. All texts are constants of the program; there are no language
// files. The Win32 side writes them into the controls.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace jumpnest {

inline constexpr int kLanguageCount = 4;

// The stored language index; each value is also the Language menu item's
// control-array index and its position in the drop-down.
enum LanguageIndex : int { kEnglish = 0, kGerman = 1, kFrench = 2, kSpanish = 3 };

// The column a stored language index selects: 1, 2 and 3 as they are,
// anything else English. A hand-edited or stale setting must never leave
// the window without text.
int LanguageColumn(std::int32_t language);

// One control's caption in every language. `index` is the control-array
// index, -1 for a control that is not an array member.
struct CaptionRow {
    std::string_view control;
    int index;
    std::array<std::string_view, kLanguageCount> text;
};

// Every row, in the order the captions are applied.
std::span<const CaptionRow> CaptionTable();

// The dialog of File > Exclusions and shortcut: its title (control "") and
// its controls' captions.
std::span<const CaptionRow> ExclusionsCaptionTable();

// Said in that dialog when Windows refuses the shortcut: another program
// holds it.
std::string_view HotkeyTakenMessage(std::int32_t language);
// Said there when the shortcut has neither Ctrl nor Alt.
std::string_view HotkeyNeedsCtrlOrAltMessage(std::int32_t language);
// Said there when another program holds the new shortcut and the one before,
// let go to try it, could not be had back.
std::string_view HotkeyLostMessage(std::int32_t language);

// The caption of one control in a language (any language value; anything but
// 1..3 is English); empty when the table has no such control.
std::string_view CaptionOf(std::string_view control, int index, std::int32_t language);

// The lines of the description label's help text, without separators.
std::span<const std::string_view> HelpLines(std::int32_t language);

// The help text of the description label: the language's lines joined by a
// single carriage return, none at the end.
std::string HelpText(std::int32_t language);

// The quit question of File > Exit program.
std::string_view QuitQuestion(std::int32_t language);

// The page the help link opens, beside the program: German for German, else
// English.
std::string_view HelpPageName(std::int32_t language);

// The message of an Apply that could not write `file`, with the system's
// `reason`.
std::string WriteFailedMessage(std::int32_t language, std::string_view file,
                               std::string_view reason);

// The popup's one grey line when nothing matches the typed text.
std::string_view NoMatchText(std::int32_t language);

// The popup's name, which a screen reader says: "Jumpnest menu", and while
// typing filters it the typed text with how many of the entries it shows,
// as "Jumpnest menu, reg: 2 of 9".
std::string PopupName(std::int32_t language, std::string_view typed, size_t shown, size_t total);

// What can be done with an entry of the popup, as its context menu offers
// it: Open, Run as administrator, Open file location, Copy path.
enum class EntryAction { kOpen, kRunAsAdministrator, kOpenFileLocation, kCopyPath };
inline constexpr int kEntryActionCount = 4;
std::string_view EntryActionCaption(EntryAction action, std::int32_t language);

// The tip of an entry whose file is away: why it is grey and left out of
// the popup, and that it is kept.
std::string_view EntryAwayText(std::int32_t language);

// The reason given for a list that belongs to another user.
std::string_view FileOfAnotherUserReason(std::int32_t language);

// The reason given for a list that is a link to another place, has a second
// name, or that other users may change.
std::string_view UnsafeEntryFileReason(std::int32_t language);

// Said in the shortcut dialog when the shortcut types `character` on the
// installed keyboard layout named `layout`: AltGr reaches programs as
// Ctrl+Alt, so the shortcut would take that character from them.
std::string HotkeyTypesCharacterMessage(std::int32_t language, std::string_view character,
                                        std::string_view layout);

// The message of an Apply that could not store the options in `place` (the
// registry key), with the system's `reason`.
std::string OptionsNotStoredMessage(std::int32_t language, std::string_view place,
                                    std::string_view reason);

// The question of an Apply that found the list `file` changed elsewhere
// (another copy of the program, in another sign-in) since the window read
// it: nothing was saved; load that list?
std::string ListChangedElsewhereQuestion(std::int32_t language, std::string_view file);

// --- Lists of single programs, and portable copies ---

// The heading of the common entries in a popup that shows a program's list
// above them.
std::string_view CommonListHeading(std::int32_t language);
// A row of the popup as a screen reader hears it while headings divide the
// rows: the caption, then the heading it stands under.
std::string RowInSection(std::int32_t language, std::string_view caption, std::string_view heading);
// Said at the start of a portable copy whose settings file `file` could not
// be read as settings: the defaults are used, and the file is left as it is.
std::string PortableSettingsBrokenMessage(std::int32_t language, std::string_view file);

// The dialog of Edit > Program lists: its title (control "") and its
// controls' captions.
std::span<const CaptionRow> ProgramListsCaptionTable();
// Said after File > Keep everything beside the program moved the settings
// into `file` beside the program and the lists beside it.
std::string MovedBesideProgramMessage(std::int32_t language, std::string_view file);
// Said when that move could not write `place`, with the system's `reason`:
// nothing was changed then.
std::string MoveBesideProgramFailedMessage(std::int32_t language, std::string_view place,
                                           std::string_view reason);

// --- The command line ---

// Shown for a command line the program does not know: the switches it knows.
std::string_view CommandLineUsage(std::int32_t language);

// Why the copy running for this sign-in did not end: it could not be asked
// to (another user's, or one with more rights), or it did not end within
// `seconds` of being asked.
enum class EndFailure { kNotAsked, kTimedOut };
// The message of /exit, and of /uninstall (which then removes nothing), that
// could not end the running copy.
std::string EndFailedMessage(std::int32_t language, EndFailure failure, int seconds,
                             bool uninstalling);

// The Yes/No question of /uninstall.
std::string_view UninstallQuestion(std::int32_t language);

// One thing /uninstall removed, or could not remove (`failure`, the system's
// reason, is then not empty). `place` names it: a path, a task or a key.
enum class UninstallItem { kStartupShortcut, kLogonTask, kFile, kFolder, kSettings };
struct UninstallStep {
    UninstallItem item;
    std::string place;
    std::string failure;
};
// What /uninstall says at the end: what it removed, then what it could not,
// each with its reason; or that there was nothing to remove.
std::string UninstallReport(std::int32_t language, std::span<const UninstallStep> steps);

// --- Starting as administrator at sign-in ---

// Said in the shortcut dialog when starting as administrator at sign-in
// could not be switched `on` (or off), with the system's `reason`.
std::string LogonTaskNotSwitchedMessage(std::int32_t language, bool on, std::string_view reason);

}  // namespace jumpnest
