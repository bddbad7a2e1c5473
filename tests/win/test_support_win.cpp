#include "test_support_win.h"

#include <windows.h>

#include <atomic>

#include "core/encoding_win.h"
#include "core/handle_win.h"

namespace jumpnest::test {

std::string ProgramUnderTest() {
    std::string path = JUMPNEST_EXE_PATH;
    // Cross-built under Wine, the build tree is a Linux path: Wine shows the
    // Linux root as drive Z:.
    if (!path.empty() && path[0] == '/') path.insert(0, "Z:");
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    path_ = Narrow(temp) + "jumpnest-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(counter++) + "\\";
    RemoveTree(path_);
    ::CreateDirectoryW(Widen(path_).c_str(), nullptr);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

void RemoveTree(const std::string& path) {
    std::wstring wide = Widen(path);
    while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(wide.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((wide + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") RemoveTree(Narrow(wide + L"\\" + name));
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(wide.c_str());
}

}  // namespace jumpnest::test
