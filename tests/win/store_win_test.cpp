// Settings, the entry file and its security, the start-up shortcut, icons.
#include "../support/memory_settings_store.h"
#include "support_win.h"

namespace jumpnest::test {

using Entries = std::vector<MenuEntry>;

TEST(RegistrySettings, StringsRoundTripOnlyStringsAreReadEmptyGivesDefaults) {
    ScratchKey key;
    EXPECT_EQ(key.settings.Read("Language"), std::nullopt) << "never written";
    for (const std::string& value : {std::string("C:\\Über ✓ 日本"), std::string(5000, 'x')}) {
        ASSERT_TRUE(key.settings.Write("Value", value));
        EXPECT_EQ(RegistrySettings(key.name).Read("Value"), value);
    }
    const DWORD number = 1;
    const wchar_t* path = key.settings.KeyPath().c_str();
    ASSERT_FALSE(::RegSetKeyValueW(HKEY_CURRENT_USER, path, L"A", REG_DWORD, &number, 4) ||
                 ::RegSetKeyValueW(HKEY_CURRENT_USER, path, L"B", REG_EXPAND_SZ, L"%TEMP%", 14));
    EXPECT_FALSE(key.settings.Read("A"));
    EXPECT_EQ(key.settings.Read("B"), "%TEMP%");
}

// The Unix path of a file under Wine, for the Unix programs that plant what
// Windows programs cannot make there; "" elsewhere.
std::wstring UnixPath(const std::string& path) {
    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    return unixName ? Widen(unixName(Widen(path).c_str())) : L"";
}

class EntryFile : public testing::Test {
protected:
    std::string Target(const std::string& name) {  // an existing file for an entry
        EXPECT_TRUE(WriteFileBytes(temp_.path + name, "MZ"));
        return temp_.path + name;
    }
    bool SaveLeftBehind() const {
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW(Widen(file_ + ".*.tmp").c_str(), &found);
        return search != INVALID_HANDLE_VALUE && ::FindClose(search);
    }
    // Neither read nor replaced, and `error` says why both times.
    void Refused(const std::string& list, DWORD error, const std::string& bytes) {
        EXPECT_EQ(ReadEntryFile(list), std::nullopt) << list;
        EXPECT_EQ(::GetLastError(), error) << list;
        EXPECT_FALSE(WriteEntryFile(list, {{"New", a_}})) << list;
        EXPECT_EQ(::GetLastError(), error) << list;
        EXPECT_EQ(ReadFileBytes(list), bytes) << list;
    }
    TempFolder temp_;
    std::string file_ = temp_.path + "kqrJumpnest.user.ini", a_ = Target("a, x.exe");
};

TEST_F(EntryFile, InTheCodePageWhenItHoldsEveryCharacterElseAsUtf8WithMark) {
    ASSERT_EQ(::GetACP(), 1252u) << "the tests run in the Western code page";
    const std::string b = Target("Übersicht.txt"), bom(kUtf8Bom);
    const std::pair<Entries, std::string> cases[] = {
        {{{" A, \"x\"", a_}}, " A, \"x\"\t" + a_ + "\r\n"},
        {{{"A", a_}, {"Übersicht", b}},  // octal: "\xDCb" would be one escape
         "A\t" + a_ + "\r\n\334bersicht\t" + temp_.path + "\334bersicht.txt\r\n"},
        {{{"日本 ✓", a_}}, bom + "日本 ✓\t" + a_ + "\r\n"},
        {{{"Ārvid", a_}}, bom + "Ārvid\t" + a_ + "\r\n"},  // no look-alike "A"
        {{}, ""},
        {{{"ï»¿Odd", a_}}, bom + "ï»¿Odd\t" + a_ + "\r\n"},  // as the code page, these bytes
        {{{"Ã©", a_}}, bom + "Ã©\t" + a_ + "\r\n"}};         // would read back as UTF-8
    for (const auto& [entries, bytes] : cases) {
        ASSERT_TRUE(WriteEntryFile(file_, entries));
        EXPECT_EQ(ReadFileBytes(file_), bytes);
        EXPECT_EQ(ReadEntryFile(file_), entries);
        EXPECT_FALSE(SaveLeftBehind());
    }
    // Notepad saves UTF-8 without a mark; the next save is in the code page.
    ASSERT_TRUE(WriteFileBytes(file_, "José\t" + a_ + "\r\n"));
    EXPECT_EQ(ReadEntryFile(file_), (Entries{{"José", a_}}));
    ASSERT_TRUE(WriteEntryFile(file_, {{"José", a_}}));
    EXPECT_EQ(ReadFileBytes(file_), "Jos\351\t" + a_ + "\r\n");
}

TEST_F(EntryFile, ALinkInPlaceOfTheFileOrOfItsFolderIsNotFollowed) {
    // Wine 8 makes no junctions and no Windows symbolic links (CreateSymbolicLinkW
    // says it did), but passes Unix ones through; it does not report ln's or rm's end.
    const std::string elsewhere = temp_.path + "elsewhere", theirs = "Theirs\t" + a_ + "\r\n";
    ASSERT_TRUE(CreatePath(elsewhere) && WriteFileBytes(elsewhere + "\\x.ini", theirs));
    for (const std::string& link : {file_, temp_.path + "data"}) {
        const std::string list = link == file_ ? file_ : link + "\\x.ini";
        const std::wstring to = UnixPath(link == file_ ? elsewhere + "\\x.ini" : elsewhere);
        ::_wspawnl(_P_NOWAIT, L"/bin/ln", L"ln", L"-s", to.c_str(), UnixPath(link).c_str(),
                   nullptr);
        for (int i = 0; i < 50 && ReadFileBytes(list) != theirs; ++i) ::Sleep(100);
        ASSERT_EQ(ReadFileBytes(list), theirs) << "the link leads there";
        Refused(list, kErrorUnsafeEntryFile, theirs);
        // Removing the test's folder would follow the link.
        ::_wspawnl(_P_NOWAIT, L"/bin/rm", L"rm", UnixPath(link).c_str(), nullptr);
        for (int i = 0; i < 50 && ReadFileBytes(list) == theirs; ++i) ::Sleep(100);
    }
}

TEST_F(EntryFile, EntriesItCannotHoldAreRefusedAndFailuresReported) {
    ASSERT_TRUE(WriteFileBytes(file_, "old"));
    for (const MenuEntry& bad : Entries{{"T\tab", a_}, {"CR\rLF\n", a_}, {"T", a_ + "\r\nX\tY"}})
        EXPECT_FALSE(WriteEntryFile(file_, {{"Fine", a_}, bad})) << bad.caption;
    EXPECT_FALSE(WriteEntryFile(temp_.path + "missing\\list.ini", {{"A", a_}}));
    EXPECT_EQ(::GetLastError(), ERROR_PATH_NOT_FOUND);
    {
        // Another program has the file open: the new one cannot take its place.
        const UniqueFile lock(::CreateFileW(Widen(file_).c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(WriteEntryFile(file_, {{"A", a_}}));
        const DWORD error = ::GetLastError();
        EXPECT_TRUE(error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) << error;
    }
    EXPECT_EQ(ReadFileBytes(file_), "old");
    EXPECT_FALSE(SaveLeftBehind());
}

TEST_F(EntryFile, OnlyWhatCutShortSavesLeftIsRemovedOnceAMinuteOld) {
    // A younger save may be under way in another copy of the program.
    const auto write = [](const std::string& name, int age) {  // last written `age` s ago
        const auto now = std::filesystem::file_time_type::clock::now();
        ASSERT_TRUE(WriteFileBytes(name, ""));
        std::filesystem::last_write_time(Path(name), now - std::chrono::seconds(age));
    };
    const std::string kept[] = {file_, file_ + ".bak", file_ + ".tmp", temp_.path + "b.1-0.tmp"};
    for (const std::string& name : kept) write(name, 61);
    for (const char* tail : {".1-0.tmp", ".7-31.tmp"}) write(file_ + tail, 61);
    write(file_ + ".5-2.tmp", 50);
    RemoveLeftoverSaves(file_);
    EXPECT_FALSE(FileExists(file_ + ".1-0.tmp") || FileExists(file_ + ".7-31.tmp"));
    for (const std::string& name : kept) EXPECT_TRUE(FileExists(name)) << name;
    EXPECT_TRUE(FileExists(file_ + ".5-2.tmp"));
}

// Answers the next message box with `button`, from another thread; what it said.
std::string Answer(int button) {
    HWND box = nullptr;
    for (int i = 0; i < 250 && !(box = ::FindWindowW(L"#32770", L"Jumpnest")); ++i) ::Sleep(20);
    const std::string said = WindowText(::GetDlgItem(box, 0xFFFF));
    ::PostMessageW(box, WM_COMMAND, button, 0);
    return said;
}

// Another copy of the program, in another sign-in, saves the list after this one read it.
TEST(Apply, NeverUndoesAListSavedElsewhereAndSaysWhatItCouldNotStore) {
    TempFolder temp;
    std::tie(gIniFile, gStartupLink) = std::pair(temp.path + "l.ini", temp.path + "a.lnk");
    MemorySettingsStore settings;
    const Store store{settings, FileExists};
    Options options;
    EntryList list{StuckPictures};
    MainWindow window;
    const std::string theirs = "Theirs\t" + SystemProgram(L"notepad.exe") + "\r\n";
    ASSERT_TRUE(WriteFileBytes(gIniFile, "Mine\t" + ExecutablePath() + "\r\n"));
    ASSERT_TRUE(!LoadSettings(store, list, options) && window.Load(list, store, options, {}));
    ASSERT_TRUE(WriteFileBytes(gIniFile, theirs));
    list.Replace({{"Edited", ExecutablePath()}});
    window.Show();
    const auto apply = [&](int button) {
        std::string said;
        std::thread answer([&] { said = Answer(button); });
        EXPECT_FALSE(window.Apply());
        answer.join();
        EXPECT_TRUE(window.IsShown());
        return said;
    };
    // No keeps the edits and writes nothing; Yes loads their list.
    for (const auto& [button, shown] : {std::pair(IDNO, "Edited"), std::pair(IDYES, "Theirs")}) {
        EXPECT_TRUE(apply(button).starts_with("The list was changed elsewhere"));
        EXPECT_EQ(std::tuple(ReadFileBytes(gIniFile), list.entries()[0].caption,
                             settings.values.contains("Version")),
                  std::tuple(theirs, shown, false));
    }
    settings.failing = {"Language"};
    list.Replace({{"Edited", ExecutablePath()}});
    EXPECT_TRUE(apply(IDOK).starts_with("Jumpnest could not store the options in"));
    EXPECT_EQ(ReadFileBytes(gIniFile), "Edited\t" + ExecutablePath() + "\r\n");
    EXPECT_EQ(settings.values.count("Explorer"), 1u);  // the other values stored all the same
}

// Owner and access list of a file: "O:<owner>D:(A;;FA;;;SY)...".
std::string Sddl(const std::string& path) {
    const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t* text = nullptr;
    ::GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT, what, nullptr, nullptr, nullptr,
                            nullptr, &descriptor);
    ::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, what, &text,
                                                           nullptr);
    const UniqueLocal keep(descriptor), keepText(text);
    return text ? Narrow(text) : "";
}

TEST_F(EntryFile, ASavedListIsOpenOnlyToItsUserTheSystemAndTheAdministrators) {
    ASSERT_TRUE(WriteFileBytes(file_, "Old\r\n"));  // with the folder's open defaults
    ASSERT_TRUE(WriteEntryFile(file_, {{"A", a_}}));
    const std::string sddl = Sddl(file_);
    const std::regex ace(R"(\(A;[^;]*;[^;]*;[^;]*;[^;]*;([^)]*)\))");
    std::set<std::string> allowed;
    for (std::sregex_iterator i(sddl.begin(), sddl.end(), ace), end; i != end; ++i)
        allowed.insert((*i)[1]);
    // Wine keeps Unix mode bits only: the Administrators and the protection
    // ("D:P") are lost there, but anyone else let in would show.
    const std::set<std::string> only = {CurrentUserSid(), "SY", "BA"};
    EXPECT_TRUE(std::includes(only.begin(), only.end(), allowed.begin(), allowed.end())) << sddl;
    EXPECT_TRUE(allowed.contains(CurrentUserSid())) << sddl;
}

TEST(FileSecurity, TrustedOwnersAreThisUserTheSystemAndTheAdministrators) {
    // TrustedInstaller trusted; Anonymous (S-1-5-7) is how Wine shows another Unix user.
    // clang-format off
    const std::pair<std::string, bool> owners[] = {{CurrentUserSid(), true}, {"S-1-5-18", true},
        {"S-1-5-32-544", true}, {"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", true},
        {"S-1-1-0", false}, {"S-1-5-32-545", false}, {"S-1-5-11", false}, {"S-1-5-7", false},
        {"S-1-5-21-1004336348-1177238915-682003330-1001", false}};
    // clang-format on
    for (const auto& [text, trusted] : owners) {
        PSID sid = nullptr;
        ASSERT_TRUE(::ConvertStringSidToSidW(Widen(text).c_str(), &sid)) << text;
        const UniqueLocal owner(sid);
        EXPECT_EQ(IsTrustedOwner(sid), trusted) << text;
    }
    EXPECT_FALSE(IsTrustedOwner(nullptr));
}

TEST_F(EntryFile, AListOfAnotherUserIsNeitherReadNorReplaced) {
    ASSERT_TRUE(WriteFileBytes(file_, "Theirs\t" + a_ + "\r\n"));
    // Wine shows the Unix owner: the file goes to "nobody", by a Unix program
    // whose end Wine does not report.
    ::_wspawnl(_P_NOWAIT, L"/bin/chown", L"chown", L"65534", UnixPath(file_).c_str(), nullptr);
    for (int i = 0; i < 50 && !Sddl(file_).starts_with("O:AN"); ++i) ::Sleep(100);
    ASSERT_TRUE(Sddl(file_).starts_with("O:AN")) << Sddl(file_);
    Refused(file_, kErrorFileOfAnotherUser, "Theirs\t" + a_ + "\r\n");
    // Where no volume keeps owners (FAT) only the link checks remain.
    const UniqueFile open(::CreateFileW(Widen(file_).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(IsSafeEntryFile(open.get(), false) && !IsSafeEntryFile(open.get()));
}

// The access list of a security descriptor's SDDL text, kept by `owner`.
PACL Dacl(const std::wstring& sddl, UniqueLocal& owner) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                               &descriptor, nullptr)) {
        owner.reset(descriptor);
        ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    }
    return dacl;
}

TEST(FileSecurity, OnlyTrustedAccountsMayChangeTheFile) {
    // Lists that let others change the file, then lists that do not. Wine keeps only
    // Everyone's rights on a file: most of these are seen here alone.
    const std::wstring me = L"(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + Widen(CurrentUserSid()) + L")";
    const std::vector<std::wstring> lists[] = {
        {L"(A;;FW;;;BU)", L"(A;;0x4;;;AU)", L"(A;;SD;;;WD)", L"(A;;GA;;;IU)",
         L"(A;;WD;;;S-1-5-21-1-2-3-1001)", me + L"(A;;WO;;;WD)"},
        {L"", me + L"(A;;FRFX;;;WD)(A;OICIIO;FA;;;BU)(D;;FA;;;WD)(A;;FA;;;CO)(A;;FA;;;OW)"}};
    for (const bool trusted : {false, true}) {
        for (const std::wstring& aces : lists[trusted]) {
            UniqueLocal owner;
            const PACL dacl = Dacl(L"D:" + aces, owner);
            EXPECT_TRUE(dacl && OnlyTrustedMayChange(dacl) == trusted) << Narrow(aces);
        }
    }
    EXPECT_FALSE(OnlyTrustedMayChange(nullptr));  // no access list lets everybody in
}

TEST_F(EntryFile, AListWithASecondNameOrOpenToOthersIsNeitherReadNorReplaced) {
    const std::string mine = "Mine\t" + a_ + "\r\n", other = temp_.path + "elsewhere.ini";
    const std::wstring everyoneWrites = L"D:(A;;FA;;;" + Widen(CurrentUserSid()) + L")(A;;FW;;;WD)";
    for (const bool linked : {true, false}) {
        for (const std::string& gone : {file_, other}) ::DeleteFileW(Widen(gone).c_str());
        UniqueLocal owner;
        // The program's own list reads back until it gets a second name or Everyone may write it.
        ASSERT_TRUE(WriteEntryFile(file_, {{"Mine", a_}}) && ReadEntryFile(file_) &&
                    (linked ? ::CreateHardLinkW(Widen(other).c_str(), Widen(file_).c_str(), nullptr)
                            : !::SetNamedSecurityInfoW(Widen(file_).data(), SE_FILE_OBJECT,
                                                       DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                                       Dacl(everyoneWrites, owner), nullptr)));
        Refused(file_, kErrorUnsafeEntryFile, mine);
    }
}

TEST(DataFolder, EveryUserMayAddTheirOwnAndNobodyTakeAnothersAway) {
    // This user as an ordinary one, the Administrators only denying.
    HANDLE process = nullptr, restricted = nullptr, user = nullptr;
    PSID admins = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, &process) &&
                ::ConvertStringSidToSidW(L"S-1-5-32-544", &admins));
    SID_AND_ATTRIBUTES denyOnly{admins, 0};
    ASSERT_TRUE(
        ::CreateRestrictedToken(process, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted) &&
        ::DuplicateToken(restricted, SecurityImpersonation, &user));
    const UniqueHandle tokens[] = {UniqueHandle(process), UniqueHandle(restricted),
                                   UniqueHandle(user)};
    const UniqueLocal keepAdmins(admins);
    // What it may do in a folder another user made. Wine lets an owner change
    // the access list whatever OWNER RIGHTS say: a folder of its own is not asked.
    const auto granted = [&](bool dataFolder) {
        UniqueLocal descriptor;
        Dacl(L"O:S-1-5-21-1-2-3-1001G:SY" + std::wstring(SharedFolderSecurity(dataFolder)),
             descriptor);
        GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                                FILE_ALL_ACCESS};
        PRIVILEGE_SET privileges{};
        DWORD size = sizeof privileges, access = 0;
        BOOL status = FALSE;
        ::AccessCheck(descriptor.get(), user, MAXIMUM_ALLOWED, &mapping, &privileges, &size,
                      &access, &status);
        return status ? access : DWORD(0);
    };
    const DWORD asked = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER |
                        FILE_WRITE_ATTRIBUTES | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY;
    EXPECT_EQ(granted(true) & asked, FILE_ADD_FILE);
    EXPECT_EQ(granted(false) & asked, FILE_ADD_SUBDIRECTORY);
    // Made by the real code. Wine keeps only Unix mode bits: Everyone is not let in.
    TempFolder temp;
    const std::string maker = temp.path + "Kelmarsh\\", data = maker + "kqrJumpnest\\";
    ASSERT_TRUE(CreateSharedDataFolder(temp.path, data) && DirExists(data));
    for (const std::string& folder : {maker, data})
        EXPECT_EQ(Sddl(folder).find(";WD)"), std::string::npos) << Sddl(folder);
}

TEST(Shortcut, WrittenWithItsFieldsOverTheOldOneLeavingComAsItWas) {
    TempFolder temp;
    const std::string target = temp.path + "kqrJumpnest.exe", link = temp.path + "a.lnk";
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));
    for (const bool multithreaded : {false, true}) {
        HRESULT after = E_FAIL;
        std::thread([&] {
            if (multithreaded) ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            EXPECT_TRUE(CreateShortcut(link, target, "/old", "old", "C:\\Old\\", target, 1));
            after = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_OK: COM was left down
            for (int i = SUCCEEDED(after) + multithreaded; i > 0; --i) ::CoUninitialize();
        }).join();
        EXPECT_EQ(after, multithreaded ? S_FALSE : S_OK);
    }
    // An empty working folder is the target's own; an icon index of 0 sets no icon.
    ASSERT_TRUE(CreateShortcut(link, target, "/tray \"x y\"", "Jumpnest ✓", "", target, 0));
    const ComApartment com;
    ComPtr<IShellLinkW> read;
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, read.put_void())) &&
                SUCCEEDED(read->QueryInterface(IID_IPersistFile, file.put_void())) &&
                SUCCEEDED(file->Load(Widen(link).c_str(), STGM_READ)));
    wchar_t text[5][MAX_PATH] = {};
    int icon = -1;
    read->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH), read->GetArguments(text[1], MAX_PATH);
    read->GetWorkingDirectory(text[2], MAX_PATH), read->GetDescription(text[3], MAX_PATH);
    read->GetIconLocation(text[4], MAX_PATH, &icon);
    EXPECT_EQ(std::vector<std::wstring>(text, text + 5),
              (std::vector<std::wstring>{Widen(target), L"/tray \"x y\"", Widen(temp.path),
                                         L"Jumpnest ✓", L""}));
}

TEST(FileIcon, LargeSmallOrNone) {
    const char* dpi = std::getenv("JUMPNEST_TEST_DPI");  // set by the runs at other scales
    ASSERT_EQ(SystemDpi(), dpi ? std::atoi(dpi) : SystemDpi()) << "the scale did not take";
    // Its edge, and how far it is filled as much as the shell's own picture of that size is.
    const auto filled = [](const UniqueIcon& icon) {
        const auto picture = icon ? PictureOfIcon(icon.get()) : std::nullopt;
        return picture ? std::pair(picture->size, OpaqueCentredEdge(*picture)) : std::pair(0, 0);
    };
    const std::string program = ExecutablePath();
    EXPECT_EQ(filled(GetFileIcon(kLargeIcons, program)).first, ::GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(filled(GetFileIcon(kSmallIcons, program)).first, ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_FALSE(GetFileIcon(kLargeIcons, program + ".missing") || GetFileIcon(kSmallIcons, ""));
    // Other flag words would change what the path means (SHGFI_PIDL is 0x8).
    for (std::uint32_t flags : {0u, 0x108u, 0x109u}) EXPECT_FALSE(GetFileIcon(flags, program));
    // At any scale's size, filled as much as the large one.
    const std::string notepad = SystemProgram(L"notepad.exe");
    const auto [large, largeFilled] = filled(GetFileIcon(kLargeIcons, notepad));
    for (int size : {16, 20, 24, 40, 48, 64}) {
        const auto [edge, opaque] = filled(FileIconAtSize(notepad, size));
        EXPECT_EQ(edge, size);
        EXPECT_NEAR(opaque * large, largeFilled * size, large) << size;
    }
    EXPECT_FALSE(FileIconAtSize(program + ".missing", 32) || FileIconAtSize(program, 0));
}

// Registered for this user as the copy with full rights registers it, read back, deleted.
// Wine's scheduler keeps only the settings of a task (no trigger, principal or action): those
// are checked where they come back.
TEST(LogonTask, RegisteredReadBackAndDeleted) {
    const std::string user = "jumpnest-test & co's";  // <, > cannot be in a user's name
    ASSERT_EQ(RegisterLogonTask({user, CurrentUserSid(), "C:\\Program Files\\A&B\\k.exe"}), S_OK);
    const std::string xml = RegisteredLogonTaskXml(user).value_or("");
    std::vector<std::string> parts = {
        "<URI>\\kqrJumpnest.jumpnest-test &", "<MultipleInstancesPolicy>IgnoreNew<",
        "<DisallowStartIfOnBatteries>false<", "<StopIfGoingOnBatteries>false<",
        "<ExecutionTimeLimit>PT0S<",          "<Priority>4<"};
    if (xml.find("<LogonTrigger>") != std::string::npos) {
        parts.insert(parts.end(),
                     {"<Delay>PT3S<", "<RunLevel>HighestAvailable<", "<LogonType>InteractiveToken<",
                      "Program Files\\A&amp;B\\k.exe"});
    }
    for (const std::string& part : parts)
        EXPECT_NE(xml.find(part), std::string::npos) << part << xml;
    EXPECT_EQ(DeleteLogonTask(user), S_OK);
    EXPECT_EQ(RegisteredLogonTaskXml(user), std::nullopt);
    EXPECT_EQ(DeleteLogonTask(user), S_OK) << "none to delete is done too";
}

}  // namespace jumpnest::test

namespace jumpnest::test {

TEST(OwnerCheck, SkippedOnlyWhereTheVolumeKeepsNoOwners) {
    for (const auto& [flags, kept] : {std::pair<std::optional<DWORD>, bool>{std::nullopt, true},
                                      {FILE_PERSISTENT_ACLS | FILE_UNICODE_ON_DISK, true},
                                      {FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK, false}})
        EXPECT_EQ(KeepsOwners(flags), kept);
    EXPECT_TRUE(VolumeKeepsOwners(ExecutablePath()) && VolumeKeepsOwners("Q:\\none\\x.ini"));
}

TEST(ExpandedTarget, VariablesOfThisProcessAndNoOthers) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"JN_TOOLS", L"C:\\Tools") &&
                ::SetEnvironmentVariableW(L"JN_EMPTY", L""));
    for (const auto& [stored, started] : {std::pair{"%JN_TOOLS%\\a.exe", "C:\\Tools\\a.exe"},
                                          {"%jn_tools%%JN_EMPTY%\\b", "C:\\Tools\\b"},
                                          {"%JN_NONE%\\c", "%JN_NONE%\\c"},
                                          {"C:\\100%\\d", "C:\\100%\\d"}})
        EXPECT_EQ(ExpandedTarget(stored), started);
}

// Keeps the globals a test changes and gives them back.
struct KeptGlobals {
    ~KeptGlobals() { std::tie(gAppPath, gDataFolder, gIniFile, gUserName, gPortable) = kept; }
    std::tuple<std::string, std::string, std::string, std::string, bool> kept{
        gAppPath, gDataFolder, gIniFile, gUserName, gPortable};
};

TEST(ProgramLists, SavedReadAgainRemovedAloneAndAnotherUsersLeftAsItIs) {
    TempFolder temp;
    MemorySettingsStore settings;
    const std::string away = temp.path + "away.exe", theirs = "Theirs\t" + away + "\r\n";
    const auto path = [&](const char* key) { return ProgramListPath(temp.path, "jn", "ada", key); };
    const auto lists = [&] {
        auto made = std::make_unique<ProgramLists>(StuckPictures, FileExists);
        made->Locate(temp.path, "jn", "ada");
        made->Load(settings);
        return made;
    };
    ASSERT_TRUE(WriteFileBytes(path("theirs.exe"), theirs) &&
                WriteFileBytes(temp.path + "jn.bob@x.exe.ini", theirs));
    ::_wspawnl(_P_NOWAIT, L"/bin/chown", L"chown", L"65534", UnixPath(path("theirs.exe")).c_str(),
               nullptr);
    for (int i = 0; i < 50 && !Sddl(path("theirs.exe")).starts_with("O:AN"); ++i) ::Sleep(100);
    auto first = lists();
    first->Add("C:\\Windows\\NOTEPAD.EXE")->list.Replace({{"Away", away}});
    first->Find("notepad.exe")->ownEntriesOnly = true;
    first->Add("calc.exe");
    first->Remove(first->Add("never.exe"));  // never saved: just forgotten
    auto failure = first->Save(settings);
    ASSERT_TRUE(failure && std::tie(failure->file, failure->error) ==
                               std::tuple(path("theirs.exe"), kErrorFileOfAnotherUser));
    EXPECT_EQ(
        std::tuple(ReadFileBytes(path("notepad.exe")), ReadFileBytes(path("calc.exe")),
                   settings.values[std::string(kOwnEntriesOnlyKey)], FileExists(path("never.exe"))),
        std::tuple("Away\t" + away + "\r\n", "", "notepad.exe", false));
    auto second = lists();
    EXPECT_EQ(second->programs().size(), 3u) << "theirs.exe, unread, too; no other user's";
    EXPECT_EQ(second->Find("notepad.exe")->list.entries(), (Entries{{"Away", away}}));
    EXPECT_TRUE(second->Find("NOTEPAD.exe")->ownEntriesOnly);
    // Unchanged here, changed by another copy: left as that copy saved it.
    ASSERT_TRUE(WriteFileBytes(path("calc.exe"), theirs));
    second->Remove(second->Find("notepad.exe"));
    failure = second->Save(settings);
    EXPECT_EQ(failure->file, path("theirs.exe"));
    EXPECT_EQ(std::tuple(FileExists(path("notepad.exe")), ReadFileBytes(path("calc.exe")),
                         ReadFileBytes(path("theirs.exe")), settings.values["OwnEntriesOnly"],
                         FileExists(temp.path + "jn.bob@x.exe.ini")),
              std::tuple(false, theirs, theirs, "", true));
}

TEST(ProgramLists, OneChangedElsewhereStopsTheWholeSaveAsTheCommonListDoes) {
    TempFolder temp;
    gIniFile = temp.path + "jn.ada.ini";
    MemorySettingsStore settings;
    ProgramLists programs(StuckPictures, FileExists);
    programs.Locate(temp.path, "jn", "ada");
    const Store store{settings, FileExists, &programs};
    EntryList list{StuckPictures};
    Options options;
    LoadSettings(store, list, options);
    programs.Add("notepad.exe")->list.Replace({{"Mine", ExecutablePath()}});
    const std::string path = ProgramListPath(temp.path, "jn", "ada", "notepad.exe");
    const std::string theirs = "Theirs\t" + ExecutablePath() + "\r\n";
    ASSERT_TRUE(WriteFileBytes(path, theirs));
    list.Replace({{"Common", ExecutablePath()}});
    const SaveOutcome saved = SaveSettings(store, list, options);
    EXPECT_EQ(std::tuple(saved.list, saved.listFile, ReadFileBytes(path), FileExists(gIniFile),
                         settings.values.contains("Version")),
              std::tuple(DWORD(kErrorEntryFileChanged), path, theirs, false, false));
}

TEST(PortableSettings, SavedWholeKeepingWhatItDoesNotKnowAndABrokenFileNeverWritten) {
    TempFolder temp;
    const std::string ini = temp.path + "kqrJumpnest.ini", mark = "\xEF\xBB\xBF";
    ASSERT_TRUE(WriteFileBytes(ini, mark + "; mine\n[Settings]\nLanguage=2\nNew=x\n[Other]\nA=1"));
    PortableSettings file(ini);
    ASSERT_TRUE(file.Read("language") == "2" && file.Write("Language", "3") &&
                file.Write("Theme", "dark"));
    EXPECT_EQ(ReadFileBytes(ini), mark +
                                      "; mine\r\n[Settings]\r\nLanguage=3\r\nNew=x\r\n"
                                      "Theme=dark\r\n[Other]\r\nA=1\r\n");
    ASSERT_TRUE(WriteFileBytes(ini, "[Settings]\nHotkey=5\n"));  // edited meanwhile: kept
    ASSERT_TRUE(file.Write("Language", "1"));
    EXPECT_EQ(ReadFileBytes(ini), "[Settings]\r\nHotkey=5\r\nLanguage=1\r\n");
    for (const std::string& broken :
         {std::string("[Settings]\r\nno key\r\n"), std::string("A=\0", 3), std::string("\xFF")}) {
        ASSERT_TRUE(WriteFileBytes(ini, broken));
        PortableSettings bad(ini);
        EXPECT_TRUE(bad.broken() && !bad.Read("Language") && !bad.Write("Language", "1"));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_CORRUPT));
        EXPECT_FALSE(file.Write("Language", "0"));
        EXPECT_EQ(ReadFileBytes(ini), broken);
    }
}

TEST(Portable, TargetsOnTheExesDriveAreStoredRelativeAndReadBackWhole) {
    TempFolder temp;
    KeptGlobals globals;
    std::tie(gAppPath, gIniFile, gPortable) = std::tuple(temp.path, temp.path + "jn.ada.ini", true);
    MemorySettingsStore settings;
    ProgramLists programs(StuckPictures, FileExists);
    programs.Locate(temp.path, "jn", "ada");
    const Store store{settings, FileExists, &programs};
    EntryList list{StuckPictures};
    const Entries entries = {{"A", temp.path + "Tools\\a.exe"},
                             {"B", temp.path.substr(0, 2) + "\\b.txt"},
                             {"C", "\\\\server\\c.txt"},
                             {"D", "%APPDATA%\\d.txt"}};
    list.Replace(entries);
    programs.Add("notepad.exe")->list.Replace(entries);
    ASSERT_TRUE(SaveSettings(store, list, {}));
    const std::string stored =
        "A\tTools\\a.exe\r\nB\t\\b.txt\r\nC\t\\\\server\\c.txt\r\nD\t%APPDATA%\\d.txt\r\n";
    EXPECT_EQ(ReadFileBytes(gIniFile), stored);
    EXPECT_EQ(ReadFileBytes(programs.Find("notepad.exe")->path), stored);
    list.Replace({});
    LoadEntries(store, list);
    EXPECT_EQ(list.entries(), entries);
    EXPECT_EQ(programs.Find("notepad.exe")->list.entries(), entries);
    gPortable = false;  // an installed copy keeps them whole
    ASSERT_TRUE(SaveSettings(store, list, {}));
    EXPECT_EQ(ReadFileBytes(gIniFile).substr(0, 2 + temp.path.size()), "A\t" + temp.path);
}

TEST(Move, TheRegistrysValuesAndTheListsGoBesideTheProgramOrNothingDoes) {
    TempFolder temp;
    KeptGlobals globals;
    ScratchKey key;
    const std::string exe = ExecutableName(), stick = temp.path + "stick\\";
    std::tie(gAppPath, gDataFolder, gUserName, gPortable) =
        std::tuple(stick, temp.path + "data\\", "ada", false);
    gIniFile = EntryFilePath(gDataFolder, exe, "ada");
    const std::string oldList = ProgramListPath(gDataFolder, exe, "ada", "notepad.exe"),
                      newList = ProgramListPath(stick, exe, "ada", "notepad.exe"),
                      line = "A\t" + stick + "a.exe\r\n";
    ASSERT_TRUE(CreatePath(stick) && CreatePath(gDataFolder) && WriteFileBytes(gIniFile, line) &&
                WriteFileBytes(oldList, line) && key.settings.Write("Unknown", "kept") &&
                key.settings.Write("Language", "2") && CreatePath(newList));  // in the way
    SettingsPlace place(key.name);
    ProgramLists programs(StuckPictures, FileExists);
    programs.Locate(gDataFolder, exe, "ada");
    const Store store{place, FileExists, &programs};
    EntryList list{StuckPictures};
    Options options;
    ASSERT_FALSE(LoadSettings(store, list, options));
    const MoveOutcome failed = MoveBesideProgram(place, store, list, options);
    EXPECT_EQ(std::tuple(failed.place, bool(failed), gPortable, place.portable()),
              std::tuple(newList, false, false, false));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path(stick)), {}), 1);
    EXPECT_TRUE(FileExists(gIniFile) && FileExists(oldList) && key.settings.Read("Unknown"));
    RemoveTree(newList);
    ASSERT_TRUE(MoveBesideProgram(place, store, list, options));
    EXPECT_EQ(std::tuple(gPortable, place.portable(), gDataFolder, gIniFile,
                         programs.Find("notepad.exe")->path),
              std::tuple(true, true, stick, EntryFilePath(stick, exe, "ada"), newList));
    EXPECT_EQ(std::tuple(ReadFileBytes(gIniFile), ReadFileBytes(newList), place.Read("Unknown"),
                         place.Read("Language")),
              std::tuple("A\ta.exe\r\n", "A\ta.exe\r\n", "kept", "2"));
    EXPECT_FALSE(DirExists(temp.path + "data\\x") || FileExists(oldList) ||
                 FileExists(EntryFilePath(temp.path + "data\\", exe, "ada")) ||
                 RegistrySettings(key.name).Read("Unknown"));
    EXPECT_TRUE(MoveBesideProgram(place, store, list, options)) << "portable already";
}

}  // namespace jumpnest::test
