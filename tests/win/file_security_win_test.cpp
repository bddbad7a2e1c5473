#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "store/entry_store_win.h"
#include "store/file_security_win.h"
#include "test_support_win.h"

namespace jumpnest {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

// A SID from its text; the memory lives as long as the object.
class Sid {
public:
    explicit Sid(const std::string& text) {
        PSID sid = nullptr;
        if (::ConvertStringSidToSidW(Widen(text).c_str(), &sid)) memory_.reset(sid);
    }
    PSID get() const { return memory_.get(); }

private:
    UniqueLocal memory_;
};

std::string SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return "<invalid>";
    UniqueLocal owner(text);
    return Narrow(text);
}

std::string OwnerOf(const std::string& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                &owner, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return "<unknown>";
    }
    UniqueLocal keep(descriptor);
    return SidText(owner);
}

// The SIDs the file's access list allows anything to.
std::vector<std::string> AllowedSids(const std::string& path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::vector<std::string> sids;
    if (::GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {"<unreadable>"};
    }
    UniqueLocal keep(descriptor);
    if (!dacl) return {"<no access list: everyone>"};
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        sids.push_back(SidText(const_cast<DWORD*>(&allowed->SidStart)));
    }
    return sids;
}

std::string ReadBytes(const std::string& path) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes(4096, '\0');
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), bytes.data(), 4096, &read, nullptr)) return "<none>";
    bytes.resize(read);
    return bytes;
}

void EnablePrivilege(const wchar_t* name) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &raw)) return;
    UniqueHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) {
        ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    }
}

// Makes another user the file's owner. Windows lets an administrator give a
// file away with the restore privilege. Wine keeps no owner of its own but
// reports the Unix owner, so there the file is handed to the Unix user
// "nobody". True when the file's owner is no longer this user.
bool GiveToAnotherUser(const std::string& path) {
    const std::string me = CurrentUserSid();
    EnablePrivilege(SE_RESTORE_NAME);
    EnablePrivilege(SE_TAKE_OWNERSHIP_NAME);
    Sid other("S-1-5-21-1004336348-1177238915-682003330-1001");
    ::SetNamedSecurityInfoW(const_cast<wchar_t*>(Widen(path).c_str()), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION, other.get(), nullptr, nullptr, nullptr);
    if (OwnerOf(path) != me) return true;

    using UnixNameFn = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    char* name = unixName(Widen(path).c_str());
    if (!name) return false;
    std::wstring command = L"/bin/chown 65534 \"" + Widen(name) + L"\"";
    ::HeapFree(::GetProcessHeap(), 0, name);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return false;
    }
    UniqueHandle thread(process.hThread);
    UniqueHandle child(process.hProcess);
    // Wine does not always report the end of a Unix child: look at the owner.
    for (int i = 0; i < 50 && OwnerOf(path) == me; ++i) ::Sleep(100);
    return OwnerOf(path) != me;
}

TEST(FileSecurity, TrustedOwnersAreThisUserTheSystemAndTheAdministrators) {
    const std::string me = CurrentUserSid();
    ASSERT_FALSE(me.empty());
    for (const std::string& trusted :
         {me, std::string("S-1-5-18"), std::string("S-1-5-32-544"),
          std::string("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")}) {
        EXPECT_TRUE(IsTrustedOwner(Sid(trusted).get())) << trusted;
    }
    for (const char* untrusted : {"S-1-1-0",       // Everyone
                                  "S-1-5-32-545",  // Users
                                  "S-1-5-11",      // Authenticated Users
                                  "S-1-5-7",       // Anonymous, how Wine shows another Unix user
                                  "S-1-5-21-1004336348-1177238915-682003330-1001"}) {
        EXPECT_FALSE(IsTrustedOwner(Sid(untrusted).get())) << untrusted;
    }
    EXPECT_FALSE(IsTrustedOwner(nullptr));
}

class EntryFileSecurity : public ::testing::Test {
protected:
    std::string Target(const std::string& name) {
        const std::string path = temp_.path() + name;
        EXPECT_TRUE(WriteFileBytes(path, "MZ"));
        return path;
    }

    TempFolder temp_;
    std::string file_ = temp_.path() + "kqrJumpnest.user.ini";
};

TEST_F(EntryFileSecurity, ASavedListIsOpenOnlyToItsUserTheSystemAndTheAdministrators) {
    const std::vector<MenuEntry> list = {{"A", Target("a.exe")}};
    // An earlier file with the folder's open defaults is replaced as well.
    ASSERT_TRUE(WriteFileBytes(file_, "Old\t" + list[0].target + "\r\n"));
    ASSERT_TRUE(WriteEntryFile(file_, list));
    const std::string me = CurrentUserSid();
    const std::vector<std::string> allowed = AllowedSids(file_);
    ASSERT_FALSE(allowed.empty());
    bool mine = false;
    for (const std::string& sid : allowed) {
        EXPECT_TRUE(sid == me || sid == "S-1-5-18" || sid == "S-1-5-32-544")
            << sid << " may open the list";
        mine = mine || sid == me;
    }
    EXPECT_TRUE(mine);
    EXPECT_EQ(ReadEntryFile(file_), list);
}

TEST_F(EntryFileSecurity, AListOfAnotherUserIsNeitherReadNorReplaced) {
    const std::string theirs = "Theirs\t" + Target("theirs.exe") + "\r\n";
    ASSERT_TRUE(WriteFileBytes(file_, theirs));
    if (!GiveToAnotherUser(file_)) GTEST_SKIP() << "the file cannot be given to another user here";

    ::SetLastError(0);
    EXPECT_EQ(ReadEntryFile(file_), std::nullopt);
    EXPECT_EQ(::GetLastError(), kErrorFileOfAnotherUser);

    ::SetLastError(0);
    EXPECT_FALSE(WriteEntryFile(file_, {{"Mine", Target("mine.exe")}}));
    EXPECT_EQ(::GetLastError(), kErrorFileOfAnotherUser);
    EXPECT_EQ(ReadBytes(file_), theirs);
}

}  // namespace
}  // namespace jumpnest
