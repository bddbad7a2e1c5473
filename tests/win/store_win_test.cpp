#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "store/entry_store_win.h"
#include "store/icon_loader_win.h"
#include "store/icons_win.h"
#include "store/settings_win.h"
#include "store/shortcut_win.h"
#include "test_support_win.h"

namespace jumpnest {

// Readable failures: gtest would otherwise print the entries as raw bytes.
void PrintTo(const MenuEntry& entry, std::ostream* out) {
    *out << "{\"" << entry.caption << "\", \"" << entry.target << "\"}";
}
const char* Name(SaveFault fault) {
    return std::array{"None", "Write", "Flush", "Replace"}[static_cast<size_t>(fault)];
}
void PrintTo(SaveFault fault, std::ostream* out) {
    *out << Name(fault);
}

namespace {

using test::TempFolder;
using test::WriteFileBytes;
using Names = std::vector<std::string>;

std::string ReadFileBytes(const std::string& path) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), bytes.data(), 1 << 16, &read, nullptr)) return "<none>";
    bytes.resize(read);
    return bytes;
}

Names NamesIn(const std::string& folder) {
    Names names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(Widen(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = Narrow(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Tests of ANSI bytes spell them out for the Western code page.
bool IsWesternCodePage() {
    return ::GetACP() == 1252;
}

// ---------------------------------------------------------------- registry

// A settings key of this test process alone, removed with all below it.
class ScratchKey {
public:
    ScratchKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str()); }
    ~ScratchKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str()); }

    bool Exists() const {
        HKEY raw = nullptr;
        const bool found =
            ::RegOpenKeyExW(HKEY_CURRENT_USER, root_.c_str(), 0, KEY_READ, &raw) == ERROR_SUCCESS;
        UniqueKey key(raw);
        return found;
    }
    // A value as some other tool might leave it.
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, settings.KeyPath().c_str(), name, type, data,
                                    size),
                  ERROR_SUCCESS);
    }

    const std::string application = "kqrJumpnestTest-" + std::to_string(::GetCurrentProcessId());
    RegistrySettings settings{application};

private:
    const std::wstring root_ = L"Software\\" + Widen(application);
};

TEST(RegistrySettings, StringsRoundTrip) {
    EXPECT_EQ(RegistrySettings().KeyPath(), L"Software\\kqrJumpnest\\Settings");
    ScratchKey scratch;
    RegistrySettings& settings = scratch.settings;
    EXPECT_FALSE(settings.Read("Language"));
    EXPECT_FALSE(scratch.Exists()) << "reading must not create the key";

    const std::string path = "C:\\Programme\\Übersicht ✓ 日本\\kqrJumpnest.exe";
    const std::string longText(5000, 'x');  // far beyond any fixed buffer
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"Language", "2"},
                                     {"AppPath", path},
                                     {"Empty", ""},
                                     {"Long", longText},
                                     {"Language", "3"}}) {
        EXPECT_TRUE(settings.Write(key, value)) << key;
    }
    EXPECT_EQ(RegistrySettings(scratch.application, "Settings").Read("Language"), "3");
    EXPECT_EQ(settings.Read("AppPath"), path);
    EXPECT_EQ(settings.Read("Empty"), "");
    EXPECT_EQ(settings.Read("Long"), longText);
    EXPECT_FALSE(settings.Read("Explorer"));
    // A NUL would be stored as a shorter string: refused.
    EXPECT_FALSE(settings.Write("Cut", std::string("a\0b", 3)));
}

TEST(RegistrySettings, OnlyStringTypesRead) {
    ScratchKey scratch;
    const DWORD number = 1;
    const wchar_t expand[] = L"%TEMP%\\x";
    const wchar_t bare[] = {L'4', L'2'};  // without the terminating NUL
    scratch.SetRaw(L"Number", REG_DWORD, &number, sizeof number);
    scratch.SetRaw(L"Binary", REG_BINARY, "12", 2);
    scratch.SetRaw(L"Expand", REG_EXPAND_SZ, expand, sizeof expand);
    scratch.SetRaw(L"Bare", REG_SZ, bare, sizeof bare);
    EXPECT_FALSE(scratch.settings.Read("Number"));
    EXPECT_FALSE(scratch.settings.Read("Binary"));
    EXPECT_EQ(scratch.settings.Read("Expand"), "%TEMP%\\x");
    EXPECT_EQ(scratch.settings.Read("Bare"), "42");
}

TEST(RegistrySettings, OptionsOnAnEmptyKeyTakeTheirDefaults) {
    ScratchKey scratch;
    EXPECT_EQ(LoadOptions(scratch.settings, false, 0), Options{});
    EXPECT_EQ(LoadOptions(scratch.settings, true, 0).language, 1);

    const Options changed{2, false, kSmallIcons, true};
    EXPECT_TRUE(SaveOptions(scratch.settings, changed, 14004));
    EXPECT_EQ(scratch.settings.Read("ShowInSysTray"), "0");
    EXPECT_EQ(scratch.settings.Read("IconSize"), "257");
    EXPECT_EQ(LoadOptions(scratch.settings, false, 0), changed);
}

// ------------------------------------------------------------- entry file

TEST(EntryFileCodePage, AnsiConversionIsExactOrNothing) {
    EXPECT_EQ(ToAnsi(""), "");
    EXPECT_EQ(ToAnsi("Notepad, \"x\"\t"), "Notepad, \"x\"\t");
    EXPECT_FALSE(ToAnsi("日本 ✓"));
    EXPECT_FALSE(ToAnsi("\xFF\xFE"));  // not UTF-8 at all
    if (!IsWesternCodePage()) GTEST_SKIP() << "code page " << ::GetACP();
    EXPECT_EQ(ToAnsi("Übersicht"), "\334bersicht");
    EXPECT_EQ(FromAnsi("\334bersicht \x80"), "Übersicht €");
    // "ā" has a look-alike "a" in the code page; that is not the same text.
    EXPECT_FALSE(ToAnsi("Lā"));
}

class EntryFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(Widen(data_).c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(Widen(targets_).c_str(), nullptr));
    }
    // An existing file to point an entry at.
    std::string Target(const std::string& name) {
        EXPECT_TRUE(WriteFileBytes(targets_ + name, "MZ"));
        return targets_ + name;
    }

    TempFolder temp_;
    // The entry file alone in its folder, so that a temporary file left
    // behind shows.
    std::string data_ = temp_.path() + "data\\";
    std::string targets_ = temp_.path() + "targets\\";
    std::string file_ = data_ + "kqrJumpnest.user.ini";
    Names justTheFile_ = {"kqrJumpnest.user.ini"};
};

TEST_F(EntryFile, AnsiListRoundTripsByteForByte) {
    ASSERT_TRUE(WriteEntryFile(file_, {}));
    EXPECT_EQ(ReadFileBytes(file_), "");
    EXPECT_EQ(ReadEntryFile(file_), std::vector<MenuEntry>{});

    const std::string notepad = Target("notepad.exe");
    const std::string calc = Target("calc, x.exe");
    std::vector<MenuEntry> entries = {{"Notepad", notepad}, {"  Calc, \"quoted\"", calc}};
    std::string expected = "Notepad\t" + notepad + "\r\n  Calc, \"quoted\"\t" + calc + "\r\n";
    if (IsWesternCodePage()) {
        entries.push_back({"Übersicht", Target("Übersicht.txt")});
        expected += "\334bersicht\t" + targets_ + "\334bersicht.txt\r\n";
    }
    ASSERT_TRUE(WriteEntryFile(file_, entries));
    EXPECT_EQ(ReadFileBytes(file_), expected);
    EXPECT_EQ(ReadEntryFile(file_), entries);
    EXPECT_EQ(NamesIn(data_), justTheFile_);
}

TEST_F(EntryFile, TextBeyondTheCodePageIsUtf8WithMark) {
    const std::string plain = Target("plain.exe");
    ASSERT_TRUE(::CreateDirectoryW(Widen(targets_ + "日本").c_str(), nullptr));
    const std::string deep = Target("日本\\app.exe");
    const std::vector<MenuEntry> entries = {{"Plain", plain}, {"日本 ✓", plain}, {"Deep", deep}};
    ASSERT_TRUE(WriteEntryFile(file_, {entries[0], entries[1]}));
    EXPECT_EQ(ReadFileBytes(file_),
              "\xEF\xBB\xBFPlain\t" + plain + "\r\n日本 ✓\t" + plain + "\r\n");
    // Two lines for one target: the first wins.
    EXPECT_EQ(ReadEntryFile(file_), std::vector<MenuEntry>{entries[0]});
    // Only the target is beyond the code page.
    ASSERT_TRUE(WriteEntryFile(file_, {entries[2]}));
    EXPECT_TRUE(ReadFileBytes(file_).starts_with(kUtf8Bom));
    EXPECT_EQ(ReadEntryFile(file_), std::vector<MenuEntry>{entries[2]});
}

TEST_F(EntryFile, AnsiTextThatLooksLikeTheMarkIsSavedAsUtf8) {
    if (!IsWesternCodePage()) GTEST_SKIP() << "code page " << ::GetACP();
    // "ï»¿" is EF BB BF in code page 1252, the very bytes of the mark.
    const std::vector<MenuEntry> entries = {{"ï»¿Odd", Target("odd.exe")}};
    ASSERT_TRUE(WriteEntryFile(file_, entries));
    EXPECT_TRUE(ReadFileBytes(file_).starts_with("\xEF\xBB\xBF\xC3\xAF"));
    EXPECT_EQ(ReadEntryFile(file_), entries);
}

TEST_F(EntryFile, ReadsWhatOtherEditorsLeave) {
    const std::string a = Target("a.exe");
    const std::string b = Target("b.exe");
    // LF endings, a folder, a missing file and a last line without an end.
    ASSERT_TRUE(WriteFileBytes(
        file_, "A\t" + a + "\nDir\t" + targets_ + "\nGone\t" + targets_ + "gone.exe\nB\t" + b));
    EXPECT_EQ(ReadEntryFile(file_), (std::vector<MenuEntry>{{"A", a}, {"B", b}}));

    EXPECT_EQ(ReadEntryFile(data_ + "missing.ini"), std::nullopt);
    EXPECT_EQ(ReadEntryFile(data_), std::nullopt);  // a folder
    EXPECT_EQ(ReadEntryFile(""), std::nullopt);
}

TEST_F(EntryFile, EntriesTheFileCannotHoldAreRefused) {
    const std::string a = Target("a.exe");
    ASSERT_TRUE(WriteEntryFile(file_, {{"A", a}}));
    const std::string before = ReadFileBytes(file_);
    for (const MenuEntry& bad : std::vector<MenuEntry>{
             {"Tab\there", a}, {"Line\r\nbreak", a}, {"LF\n", a}, {"Target", a + "\r\nX\tY"}}) {
        EXPECT_FALSE(WriteEntryFile(file_, {{"Fine", a}, bad})) << bad.caption;
        EXPECT_EQ(ReadFileBytes(file_), before);
    }
}

TEST_F(EntryFile, SystemFailuresAreReported) {
    const std::vector<MenuEntry> list = {{"A", Target("a.exe")}};
    EXPECT_FALSE(WriteEntryFile(temp_.path() + "missing\\list.ini", list));
    EXPECT_EQ(NamesIn(temp_.path()), (Names{"data", "targets"}));
    // A folder stands where the file should be: the replace step fails.
    ASSERT_TRUE(::CreateDirectoryW(Widen(file_).c_str(), nullptr));
    EXPECT_FALSE(WriteEntryFile(file_, list));
    EXPECT_EQ(NamesIn(data_), justTheFile_);
    EXPECT_EQ(NamesIn(file_ + "\\"), Names{});
}

TEST_F(EntryFile, OnlyWhatCutShortSavesLeftIsRemoved) {
    ASSERT_TRUE(WriteEntryFile(file_, {{"A", Target("a.exe")}}));
    for (const char* name :
         {"kqrJumpnest.user.ini.12-0.tmp", "kqrJumpnest.user.ini.7-31.tmp",
          "kqrJumpnest.other.ini.12-0.tmp", "notes.tmp", "kqrJumpnest.user.ini.bak"}) {
        ASSERT_TRUE(WriteFileBytes(data_ + name, "x"));
    }
    RemoveLeftoverSaves(file_);
    EXPECT_EQ(NamesIn(data_), (Names{"kqrJumpnest.other.ini.12-0.tmp", "kqrJumpnest.user.ini",
                                     "kqrJumpnest.user.ini.bak", "notes.tmp"}));
}

// A save that breaks off at any step keeps the previous list, byte for byte,
// and leaves nothing of the new one behind.
class EntryFileSave : public EntryFile, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(EntryFileSave, FailureKeepsThePreviousList) {
    const std::vector<MenuEntry> listA = {{"A", Target("a.exe")}, {"B", Target("b.exe")}};
    std::vector<MenuEntry> listB;
    for (int i = 0; i < 50; ++i) {
        const std::string name = std::to_string(i);
        listB.push_back({"Entry " + name, Target(name + ".exe")});
    }
    ASSERT_TRUE(WriteEntryFile(file_, listA));
    const std::string bytesA = ReadFileBytes(file_);

    EXPECT_FALSE(WriteEntryFile(file_, listB, GetParam()));
    EXPECT_EQ(ReadFileBytes(file_), bytesA);
    EXPECT_EQ(NamesIn(data_), justTheFile_);

    // With no previous file there is none afterwards either.
    ASSERT_TRUE(::DeleteFileW(Widen(file_).c_str()));
    EXPECT_FALSE(WriteEntryFile(file_, listB, GetParam()));
    EXPECT_EQ(NamesIn(data_), Names{});

    EXPECT_TRUE(WriteEntryFile(file_, listB));
    EXPECT_EQ(ReadEntryFile(file_), listB);
    EXPECT_EQ(NamesIn(data_), justTheFile_);
}

std::string StepName(const ::testing::TestParamInfo<SaveFault>& step) {
    return Name(step.param);
}
INSTANTIATE_TEST_SUITE_P(Steps, EntryFileSave,
                         ::testing::Values(SaveFault::kWrite, SaveFault::kFlush,
                                           SaveFault::kReplace),
                         StepName);

// --------------------------------------------------------------- shortcut

struct Link {
    std::wstring path, arguments, folder, description, iconFile;
    int iconIndex = -1;
};

Link ReadLink(const std::string& linkFile) {
    Link fields;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(Widen(linkFile).c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load " << linkFile;
        return fields;
    }
    wchar_t text[1024];
    auto get = [&text](HRESULT result) { return std::wstring(SUCCEEDED(result) ? text : L"?"); };
    fields.path = get(link->GetPath(text, 1024, nullptr, SLGP_RAWPATH));
    fields.arguments = get(link->GetArguments(text, 1024));
    fields.folder = get(link->GetWorkingDirectory(text, 1024));
    fields.description = get(link->GetDescription(text, 1024));
    fields.iconFile = get(link->GetIconLocation(text, 1024, &fields.iconIndex));
    return fields;
}

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(target_, "MZ"));
        ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override { ::CoUninitialize(); }

    TempFolder temp_;
    std::string target_ = temp_.path() + "kqrJumpnest.exe";
    std::string link_ = temp_.path() + "kqrJumpnest.lnk";
};

TEST_F(Shortcut, StartsInTheTargetsFolderByDefault) {
    // As the start-up shortcut is made; an icon index of 0 sets no icon.
    ASSERT_TRUE(CreateShortcut(link_, target_, "", "", "", temp_.path() + "icons.dll", 0));
    const Link link = ReadLink(link_);
    EXPECT_EQ(link.path, Widen(target_));
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.folder, Widen(temp_.path()));
    EXPECT_EQ(link.folder.back(), L'\\');
    EXPECT_EQ(link.description, L"");
    EXPECT_EQ(link.iconFile, L"");

    EXPECT_FALSE(CreateShortcut(temp_.path() + "missing\\x.lnk", target_, "", "", "", "", 0));
}

TEST_F(Shortcut, GivenFieldsAreKeptAndAnOldLinkReplaced) {
    ASSERT_TRUE(CreateShortcut(link_, target_, "/old", "old", "", "", 0));
    const std::string icons = temp_.path() + "icons.dll";
    ASSERT_TRUE(
        CreateShortcut(link_, target_, "/tray \"x y\"", "Jumpnest ✓", "C:\\Work\\", icons, 2));
    const Link link = ReadLink(link_);
    EXPECT_EQ(link.arguments, L"/tray \"x y\"");
    EXPECT_EQ(link.description, L"Jumpnest ✓");
    EXPECT_EQ(link.folder, L"C:\\Work\\");
    EXPECT_EQ(link.iconFile, Widen(icons));
    EXPECT_EQ(link.iconIndex, 2);
}

TEST(ShortcutThread, ComIsLeftAsItWas) {
    TempFolder temp;
    const std::string target = temp.path() + "a.exe";
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));
    bool saved = false;
    HRESULT afterwards = E_FAIL;
    // A thread without COM gets it for the call only: afterwards it can still
    // choose the multithreaded apartment.
    std::thread([&] {
        saved = CreateShortcut(temp.path() + "a.lnk", target, "", "", "", "", 0);
        afterwards = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards)) ::CoUninitialize();
    }).join();
    EXPECT_TRUE(saved);
    EXPECT_EQ(afterwards, S_OK);

    // A multithreaded thread keeps its apartment and still gets its link.
    saved = false;
    std::thread([&] {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        saved = CreateShortcut(temp.path() + "b.lnk", target, "", "", "", "", 0);
        afterwards = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ::CoUninitialize();
        ::CoUninitialize();
    }).join();
    EXPECT_TRUE(saved);
    EXPECT_EQ(afterwards, S_FALSE);
}

// ------------------------------------------------------------------ icons

std::string ThisProgram() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return Narrow(path);
}

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info)) return 0;
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap color(info.hbmColor);
    BITMAP bitmap = {};
    ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    return bitmap.bmWidth;
}

TEST(FileIcon, LargeSmallOrNone) {
    const std::string program = ThisProgram();
    EXPECT_EQ(IconWidth(GetFileIcon(kLargeIcons, program).get()), ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconWidth(GetFileIcon(kSmallIcons, program).get()), ::GetSystemMetrics(SM_CXSMICON));
    TempFolder temp;
    EXPECT_TRUE(GetFileIcon(kLargeIcons, temp.path()));  // a folder has one
    EXPECT_FALSE(GetFileIcon(kLargeIcons, temp.path() + "missing.exe"));
    EXPECT_FALSE(GetFileIcon(kSmallIcons, temp.path() + "missing.exe"));
    EXPECT_FALSE(GetFileIcon(kLargeIcons, ""));
    // SHGFI_PIDL (0x8) would make the shell take the path for an item list.
    for (std::uint32_t flags : {0u, 1u, 0x108u, 0x109u, 0x4100u}) {
        EXPECT_FALSE(GetFileIcon(flags, program)) << flags;
    }
}

TEST(FileIcon, EveryIconIsDestroyedWithItsOwner) {
    const std::string program = ThisProgram();
    // The first call fills the shell's own caches; measure after it.
    GetFileIcon(kSmallIcons, program);
    HANDLE process = ::GetCurrentProcess();
    ::SetLastError(ERROR_SUCCESS);
    const DWORD gdiBefore = ::GetGuiResources(process, GR_GDIOBJECTS);
    // Wine has no object counts (a stub that gives 0): there the check of
    // each handle below is what tells a leak.
    const bool counted = ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    const DWORD userBefore = ::GetGuiResources(process, GR_USEROBJECTS);
    for (int i = 0; i < 100; ++i) {
        UniqueIcon icon = GetFileIcon(i % 2 ? kSmallIcons : kLargeIcons, program);
        const HICON raw = icon.get();
        ASSERT_GT(IconWidth(raw), 0);
        UniqueIcon moved = std::move(icon);
        moved.reset();
        ICONINFO info = {};
        ASSERT_FALSE(::GetIconInfo(raw, &info)) << "icon " << i << " outlived its owner";
    }
    if (counted) {
        EXPECT_EQ(::GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
        EXPECT_EQ(::GetGuiResources(process, GR_USEROBJECTS), userBefore);
    }
}

}  // namespace
}  // namespace jumpnest

namespace jumpnest {
namespace {

// ---------------------------------------------------------------- pictures

constexpr UINT kLoaded = WM_APP + 7;

// What the loader posts to a message-only window, in the order it came, up
// to the end of batch `until`.
std::vector<std::unique_ptr<LoadedPictures>> Receive(HWND window, std::uint64_t until) {
    std::vector<std::unique_ptr<LoadedPictures>> received;
    const ULONGLONG end = ::GetTickCount64() + 20000;
    while (::GetTickCount64() < end) {
        MSG message;
        if (!::PeekMessageW(&message, window, kLoaded, kLoaded, PM_REMOVE)) {
            ::Sleep(1);
            continue;
        }
        received.push_back(IconLoader::Take(message.lParam));
        if (received.back()->batchDone && received.back()->batch == until) break;
    }
    return received;
}

TEST(IconLoaderTest, AnswersEveryFileInOrderThenEndsTheBatch) {
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    ASSERT_TRUE(window);
    {
        IconLoader loader(window, kLoaded);
        // An empty name (a program folder that could not be found, say) is an
        // answer like any other, not the end of the batch.
        const std::uint64_t batch =
            loader.Load({"", "C:\\windows\\notepad.exe", "C:\\no\\such\\file.exe"});
        const auto received = Receive(window, batch);
        ASSERT_EQ(received.size(), 4u);
        for (const auto& answer : received) EXPECT_EQ(answer->batch, batch);
        EXPECT_EQ(received[0]->target, "");
        EXPECT_FALSE(received[0]->batchDone);
        EXPECT_EQ(received[1]->target, "C:\\windows\\notepad.exe");
        EXPECT_TRUE(received[1]->large && received[1]->small);
        EXPECT_EQ(received[2]->target, "C:\\no\\such\\file.exe");
        EXPECT_FALSE(received[2]->large || received[2]->small);
        EXPECT_TRUE(received[3]->batchDone);

        // A new batch takes the place of the one before: its end comes last.
        loader.Load({"C:\\windows\\notepad.exe", "C:\\windows\\regedit.exe"});
        const std::uint64_t last = loader.Load({"C:\\windows\\regedit.exe"});
        const auto again = Receive(window, last);
        ASSERT_FALSE(again.empty());
        EXPECT_TRUE(again.back()->batchDone);
        EXPECT_EQ(again.back()->batch, last);
        std::vector<std::string> ofLast;
        for (const auto& answer : again) {
            if (answer->batch == last && !answer->batchDone) ofLast.push_back(answer->target);
        }
        EXPECT_EQ(ofLast, std::vector<std::string>{"C:\\windows\\regedit.exe"});
    }
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace jumpnest
