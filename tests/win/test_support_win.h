// Helpers shared by the Win32 tests.
#pragma once

#include <string>

namespace jumpnest::test {

// The real kqrJumpnest.exe of this build, as a Windows path.
std::string ProgramUnderTest();

// A new empty folder below %TEMP%, removed with all it holds at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending in "\".
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Writes a file with the given bytes; false on failure.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Removes a file or a folder with everything in it.
void RemoveTree(const std::string& path);

}  // namespace jumpnest::test
