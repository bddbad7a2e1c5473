#include "store/logon_task_win.h"

#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>
#include <taskschd.h>

#include <vector>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"

namespace jumpnest {

namespace {

// How long the copy with full rights may take once the user has agreed:
// registering a task takes a moment, unless the scheduler hangs.
constexpr DWORD kCommandWaitMs = 60000;

// The root folder of the Task Scheduler Library. COM must be up while the
// result lives.
HRESULT OpenRootFolder(ComPtr<ITaskFolder>& root) {
    ComPtr<ITaskService> service;
    HRESULT result = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_ITaskService, service.put_void());
    const VARIANT none{};
    if (SUCCEEDED(result)) result = service->Connect(none, none, none, none);
    if (SUCCEEDED(result)) result = service->GetFolder(Bstr(L"\\").get(), root.put());
    return result;
}

HRESULT OpenTask(std::string_view userName, ComPtr<IRegisteredTask>& task) {
    ComPtr<ITaskFolder> root;
    HRESULT result = OpenRootFolder(root);
    if (SUCCEEDED(result)) {
        result = root->GetTask(Bstr(Widen(LogonTaskName(userName))).get(), task.put());
    }
    return result;
}

std::string SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return {};
    UniqueLocal owner(text);
    return Narrow(text);
}

// Owner and access list of a file or folder; nothing when they cannot be read.
std::optional<ObjectSecurity> ReadSecurity(const std::string& path) {
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(Widen(path).c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    UniqueLocal hold(descriptor);
    ObjectSecurity security{SidText(owner), list != nullptr, {}};
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(list, i, &ace)) return std::nullopt;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        // The plain and the callback entries share this layout up to the SID.
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE ||
                            header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE;
        if (!allows && header->AceType != ACCESS_DENIED_ACE_TYPE &&
            header->AceType != ACCESS_DENIED_CALLBACK_ACE_TYPE) {
            continue;
        }
        auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        security.entries.push_back({SidText(&entry->SidStart), entry->Mask, allows,
                                    (header->AceFlags & INHERIT_ONLY_ACE) != 0});
    }
    return security;
}

// The account a SID names, when it is a user's: the elevated copy is told
// whose task to make, and may itself run as another administrator.
std::optional<std::wstring> UserNameOf(const std::wstring& sidText) {
    PSID sid = nullptr;
    if (!::ConvertStringSidToSidW(sidText.c_str(), &sid)) return std::nullopt;
    UniqueLocal owner(sid);
    wchar_t name[257] = {}, domain[257] = {};
    DWORD nameSize = 257, domainSize = 257;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use) ||
        use != SidTypeUser) {
        return std::nullopt;
    }
    return std::wstring(name);
}

// The program's folder an administrator has vouched for, for a place the
// access lists cannot tell about (Wine keeps none: the user owns every file
// there). Only administrators may write below HKEY_LOCAL_MACHINE.
bool FolderVouchedFor(const std::string& program) {
    wchar_t folder[MAX_PATH] = {};
    DWORD size = sizeof(folder);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\kqrJumpnest", L"TrustedFolder",
                       RRF_RT_REG_SZ, nullptr, folder, &size) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring vouched = Widen(AddBackslash(Narrow(folder)));
    return ::lstrcmpiW(vouched.c_str(), Widen(GetParentFolder(program)).c_str()) == 0;
}

}  // namespace

bool LogonTaskRegistered() {
    ComApartment com;
    ComPtr<IRegisteredTask> task;
    // Asked by name, not by gUserName: /uninstall asks before the start-up
    // probe that sets it, and would leave the task behind.
    const bool registered = com.ok() && SUCCEEDED(OpenTask(CurrentUserName(), task));
    Trace(std::string("logon task: ") + (registered ? "1" : "0"));
    return registered;
}

long RegisterLogonTask(const LogonTaskDefinition& task) {
    ComApartment com;
    ComPtr<ITaskFolder> root;
    HRESULT result = OpenRootFolder(root);
    if (FAILED(result)) return result;
    const Bstr name(Widen(LogonTaskName(task.userName))), xml(Widen(LogonTaskXml(task)));
    const Bstr user(Widen(task.userSid)), security(Widen(LogonTaskSecurity(task.userSid)));
    const VARIANT none{};
    ComPtr<IRegisteredTask> registered;
    return root->RegisterTask(name.get(), xml.get(), TASK_CREATE_OR_UPDATE, user.variant(), none,
                              TASK_LOGON_INTERACTIVE_TOKEN, security.variant(), registered.put());
}

long DeleteLogonTask(std::string_view userName) {
    ComApartment com;
    ComPtr<ITaskFolder> root;
    HRESULT result = OpenRootFolder(root);
    if (FAILED(result)) return result;
    result = root->DeleteTask(Bstr(Widen(LogonTaskName(userName))).get(), 0);
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : result;
}

std::optional<std::string> RegisteredLogonTaskXml(std::string_view userName) {
    ComApartment com;
    ComPtr<IRegisteredTask> task;
    BSTR xml = nullptr;
    if (FAILED(OpenTask(userName, task)) || FAILED(task->get_Xml(&xml)) || !xml) {
        return std::nullopt;
    }
    const std::string text = Narrow(std::wstring_view(xml, ::SysStringLen(xml)));
    ::SysFreeString(xml);
    return text;
}

bool ProgramPlaceProtected(const std::string& userSid) {
    const std::string program = ExecutablePath();
    if (FolderVouchedFor(program)) {
        Trace("program place protected: vouched for");
        return true;
    }
    std::vector<ObjectSecurity> chain;
    // The program, its folder, and every folder above it up to the drive.
    for (std::string path = program; !path.empty();) {
        const std::optional<ObjectSecurity> security = ReadSecurity(path);
        if (!security) {
            Trace("program place: cannot read the security of " + path);
            return false;
        }
        chain.push_back(*security);
        if (TraceEnabled()) {
            std::string line = "security of " + path + ": owner " + security->owner;
            for (const AccessEntry& e : security->entries) {
                line += std::string(e.allows ? " +" : " -") + e.sid + ":" + std::to_string(e.mask) +
                        (e.inheritOnly ? "(io)" : "");
            }
            Trace(line);
        }
        if (path.size() <= 3) break;  // "C:\"
        path = GetParentFolder(path);
        if (path.size() > 3 && path.back() == '\\') path.pop_back();
    }
    const bool safe = ProgramPlaceProtected(chain, userSid.empty() ? CurrentUserSid() : userSid);
    Trace("program place protected: " + std::string(safe ? "1" : "0"));
    return safe;
}

int RunLogonTaskCommand(bool on, const std::wstring& userSid) {
    const std::optional<std::wstring> user = UserNameOf(userSid);
    if (!user) return HRESULT_FROM_WIN32(ERROR_NONE_MAPPED);
    const std::string sid = Narrow(userSid), name = Narrow(*user);
    if (!on) return DeleteLogonTask(name);
    // Checked here again, with full rights: whoever started this copy, it
    // never makes a task that starts a program others can replace.
    if (!ProgramPlaceProtected(sid)) return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    return RegisterLogonTask({name, sid, ExecutablePath()});
}

std::wstring SwitchLogonTask(bool on) {
    const std::wstring program = Widen(ExecutablePath());
    const std::wstring arguments =
        std::wstring(L"/logon-task ") + (on ? L"on " : L"off ") + Widen(CurrentUserSid());
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.hwnd = ::GetActiveWindow();  // the prompt belongs to the window it came from
    run.lpVerb = L"runas";
    run.lpFile = program.c_str();
    run.lpParameters = arguments.c_str();
    run.nShow = SW_HIDE;
    DWORD code = ERROR_SUCCESS;
    if (!::ShellExecuteExW(&run) || !run.hProcess) {
        code = ::GetLastError();  // ERROR_CANCELLED when the user said no
    } else {
        UniqueHandle process(run.hProcess);
        if (::WaitForSingleObject(process.get(), kCommandWaitMs) != WAIT_OBJECT_0) {
            code = ERROR_TIMEOUT;
        } else if (!::GetExitCodeProcess(process.get(), &code)) {
            code = ::GetLastError();
        }
    }
    Trace(std::string("logon task switched ") + (on ? "on" : "off") + ": " + std::to_string(code));
    return code == ERROR_SUCCESS ? std::wstring() : Widen(SystemErrorText(code));
}

}  // namespace jumpnest
