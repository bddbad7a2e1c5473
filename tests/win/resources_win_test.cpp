// The real program's resources: version record, manifest and icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "test_support_win.h"

namespace jumpnest {
namespace {

class ProgramResources : public testing::Test {
protected:
    void SetUp() override {
        module_.reset(::LoadLibraryExW(Widen(test::ProgramUnderTest()).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << test::ProgramUnderTest();
    }

    std::string Resource(const wchar_t* type, int id) {
        HRSRC found = ::FindResourceW(module_.get(), MAKEINTRESOURCEW(id), type);
        if (!found) return {};
        HGLOBAL loaded = ::LoadResource(module_.get(), found);
        const auto* bytes = static_cast<const char*>(::LockResource(loaded));
        return bytes ? std::string(bytes, ::SizeofResource(module_.get(), found)) : std::string();
    }

    UniqueModule module_;
};

TEST_F(ProgramResources, VersionRecordGivesTheReleaseNumbers) {
    const auto version = ReadVersionRecord(test::ProgramUnderTest());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->major, 1);
    EXPECT_EQ(version->minor, 4);
    EXPECT_EQ(version->revision, 4);
    EXPECT_EQ(AppVersionNumber(*version), 14004);
    EXPECT_EQ(AppVersionText(AppVersionNumber(*version)), "1.4.004");
}

TEST_F(ProgramResources, MissingFileHasNoVersion) {
    EXPECT_FALSE(ReadVersionRecord("C:\\no such folder\\nothing.exe").has_value());
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6AndDeclaresTheSystems) {
    const std::string manifest = Resource(MAKEINTRESOURCEW(24), 1);  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    for (const char* expected : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "level=\"asInvoker\"", ">true</dpiAware>",
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
         }) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
}

TEST_F(ProgramResources, IconGroupOneHasTheFourSizes) {
#pragma pack(push, 2)
    struct GroupHeader {
        WORD reserved, type, count;
    };
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const std::string group = Resource(MAKEINTRESOURCEW(14), 1);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), sizeof(GroupHeader));
    const auto* header = reinterpret_cast<const GroupHeader*>(group.data());
    ASSERT_EQ(group.size(), sizeof(GroupHeader) + header->count * sizeof(GroupEntry));
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    std::set<int> sizes;
    for (WORD i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48}));
    UniqueIcon small(static_cast<HICON>(
        ::LoadImageW(module_.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0)));
    EXPECT_TRUE(small);
}

}  // namespace
}  // namespace jumpnest
