#include "trigger/launch_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "test_support_win.h"

namespace jumpnest {

void PrintTo(LaunchResult result, std::ostream* out) {
    *out << (result == LaunchResult::Started    ? "Started"
             : result == LaunchResult::OpenWith ? "OpenWith"
                                                : "Failed");
}

namespace {

using test::TempFolder;
using test::WriteFileBytes;

struct Child {
    UniqueHandle process;
    DWORD id = 0;
    std::string image;
};

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM id) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(id)) ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Sees every process started from this one, however the shell starts it: the
// test process sits in a job, and a job reports each new member. Whatever was
// started is closed again when the watch ends.
class ProcessWatch {
public:
    ProcessWatch() {
        // A process joins a job for good, so one job serves every test.
        static const struct Job {
            HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
            HANDLE port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
            bool joined = [this] {
                JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job, port};
                return ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation,
                                                 &link, sizeof link) &&
                       ::AssignProcessToJobObject(job, ::GetCurrentProcess());
            }();
        } shared;
        port_ = shared.port;
        watching_ = shared.joined;
        // Forget what came before: this process joining, or earlier tests.
        DWORD event = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* data = nullptr;
        while (::GetQueuedCompletionStatus(port_, &event, &key, &data, 0)) {
        }
    }
    ~ProcessWatch() {
        for (Child& child : children_) {
            ::EnumWindows(CloseWindowsOf, static_cast<LPARAM>(child.id));
            if (::WaitForSingleObject(child.process.get(), 5000) != WAIT_OBJECT_0) {
                ::TerminateProcess(child.process.get(), 1);
            }
        }
    }

    // Without the job nothing would be seen, and "nothing started" would mean nothing.
    bool watching() const { return watching_; }

    // Processes started since the last call: waits up to `firstMs` for one,
    // then a little longer for any that follow it.
    const std::vector<Child>& NewChildren(DWORD firstMs) {
        children_.clear();
        DWORD event = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* data = nullptr;
        while (::GetQueuedCompletionStatus(port_, &event, &key, &data,
                                           children_.empty() ? firstMs : 500)) {
            if (event != JOB_OBJECT_MSG_NEW_PROCESS) continue;
            Child child;
            child.id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
            child.process.reset(
                ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                              FALSE, child.id));
            wchar_t image[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            if (::QueryFullProcessImageNameW(child.process.get(), 0, image, &size)) {
                child.image = Narrow(image);
            }
            children_.push_back(std::move(child));
        }
        return children_;
    }

private:
    HANDLE port_ = nullptr;
    bool watching_ = false;
    std::vector<Child> children_;
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string SystemProgram(const char* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return Lower(Narrow(folder) + "\\" + name);
}

TEST(LaunchTarget, MissingTargetStartsNothing) {
    TempFolder folder;
    ProcessWatch watch;
    ASSERT_TRUE(watch.watching());
    EXPECT_EQ(LaunchTarget(folder.path() + "gone.ini"), LaunchResult::Failed);
    EXPECT_TRUE(watch.NewChildren(1000).empty());
}

TEST(LaunchTarget, AssociatedDocumentOpensInItsProgram) {
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.path() + "notes.ini", "[a]\r\n"));
    ProcessWatch watch;
    EXPECT_EQ(LaunchTarget(folder.path() + "notes.ini"), LaunchResult::Started);
    const auto& children = watch.NewChildren(10000);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(Lower(children[0].image), SystemProgram("notepad.exe"));
}

// Restores the current directory when it ends.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder) {
        ::GetCurrentDirectoryW(MAX_PATH, previous_);
        ::SetCurrentDirectoryW(Widen(folder).c_str());
    }
    ~CurrentDirectory() { ::SetCurrentDirectoryW(previous_); }

private:
    wchar_t previous_[MAX_PATH] = {};
};

TEST(LaunchTarget, UnassociatedTypeStartsOpenWithFromTheSystemFolder) {
    TempFolder folder;
    // A space in the path: the target reaches the dialog unquoted.
    const std::string target = folder.path() + "no program.jnxunknown";
    ASSERT_TRUE(WriteFileBytes(target, "x"));
    // A planted rundll32.exe in the current directory must not be the one run.
    ASSERT_TRUE(::CopyFileW(Widen(SystemProgram("notepad.exe")).c_str(),
                            Widen(folder.path() + "rundll32.exe").c_str(), FALSE));
    CurrentDirectory current(folder.path());
    ProcessWatch watch;
    EXPECT_EQ(LaunchTarget(target), LaunchResult::OpenWith);
    const auto& children = watch.NewChildren(10000);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(Lower(children[0].image), SystemProgram("rundll32.exe"));
}

}  // namespace
}  // namespace jumpnest
