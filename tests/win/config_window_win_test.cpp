// The configuration window built in this process from its design.
#include "ui/config/main_window_win.h"

#include <gtest/gtest.h>

#include <string>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/globals.h"
#include "store/persistence_win.h"
#include "store/settings_win.h"
#include "test_support_win.h"

namespace jumpnest {
namespace {

std::string MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return Narrow(text);
}

std::vector<int> MarkedLanguages() {
    HMENU languages = ::GetSubMenu(::GetMenu(frmMain().hwnd()), 2);
    std::vector<int> marked;
    for (int i = 0; i < ::GetMenuItemCount(languages); ++i) {
        if (::GetMenuState(languages, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) {
            marked.push_back(i);
        }
    }
    return marked;
}

std::string Text(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return Narrow(text);
}

class ConfigWindow : public testing::Test {
protected:
    void TearDown() override {
        gLanguage = 0;
        frmMain().ApplyLanguage();
    }
};

TEST_F(ConfigWindow, MenuBarFollowsTheLanguageAndMarksIt) {
    HMENU bar = ::GetMenu(frmMain().hwnd());
    ASSERT_EQ(::GetMenuItemCount(bar), 3);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 0)), 3);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 1)), 6);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 2)), 4);

    gLanguage = 2;
    frmMain().ApplyLanguage();
    EXPECT_EQ(MenuText(bar, 0), "&Fichier");
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 1), 2), " Élément pousser top");
    EXPECT_EQ(MenuText(::GetSubMenu(bar, 2), 2), " Français");
    EXPECT_EQ(MarkedLanguages(), std::vector<int>{2});
    EXPECT_EQ(Text(frmMain().Control("cmdButton", 0)), "&Enregistrer");

    // Any other index reads as English and marks no item.
    gLanguage = 7;
    frmMain().ApplyLanguage();
    EXPECT_EQ(MenuText(bar, 0), "&File");
    EXPECT_EQ(MarkedLanguages(), std::vector<int>{});
    EXPECT_EQ(Text(frmMain().Control("lblDesc")).rfind("1. Drag and Drop", 0), 0u);
    // The separators keep their place.
    EXPECT_EQ(::GetMenuState(::GetSubMenu(bar, 1), 4, MF_BYPOSITION) & MF_SEPARATOR,
              UINT{MF_SEPARATOR});
}

TEST_F(ConfigWindow, LanguageMenuStoresTheChoiceAtOnce) {
    frmMain().mnuLanguage_Click(3);
    EXPECT_EQ(gLanguage, 3);
    EXPECT_EQ(RegistrySettings().Read("Language"), "3");
    EXPECT_EQ(MarkedLanguages(), std::vector<int>{3});
    // The Spanish option caption takes two lines.
    EXPECT_EQ(Text(frmMain().Control("chkOption", 2)),
              "Botón central del ratón\rpara abrir el Explorador de");
    frmMain().mnuLanguage_Click(0);
    EXPECT_EQ(RegistrySettings().Read("Language"), "0");
}

TEST_F(ConfigWindow, ControlsArePlacedInPixelsFromTheirTwips) {
    const double twipsPerPixel = ScreenTwipsPerPixel();
    RECT client{};
    ::GetClientRect(frmMain().hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(7470, twipsPerPixel));
    EXPECT_EQ(client.bottom, TwipsToPixels(4725, twipsPerPixel));

    RECT option{};
    HWND check = frmMain().Control("chkOption", 0);
    ::GetWindowRect(check, &option);
    ::MapWindowPoints(nullptr, frmMain().hwnd(), reinterpret_cast<POINT*>(&option), 2);
    // Frame, option box and check box offsets added up: 180, 2460 twips.
    EXPECT_EQ(option.left, TwipsToPixels(180, twipsPerPixel));
    EXPECT_EQ(option.top, TwipsToPixels(2460, twipsPerPixel));
    EXPECT_EQ(::GetDlgCtrlID(frmMain().Control("cmdButton", 0)), IDOK);
    EXPECT_EQ(::GetDlgCtrlID(frmMain().Control("cmdButton", 1)), IDCANCEL);
}

TEST_F(ConfigWindow, LoadingAHundredTimesKeepsTheObjectCounts) {
    test::TempFolder temp;
    const std::string self = [] {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        return Narrow(path);
    }();
    ASSERT_TRUE(test::WriteFileBytes(temp.path() + "list.ini",
                                     "One\t" + self + "\r\nTwo\tC:\\windows\\notepad.exe\r\n"));
    const std::string savedIni = gIniFile;
    gIniFile = temp.path() + "list.ini";

    LoadSettings();
    ASSERT_EQ(frmMain().entries().size(), 2u);
    const DWORD gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 100; ++i) LoadSettings();
    // The pictures come from the loader's thread; only the last list's count.
    const ULONGLONG end = ::GetTickCount64() + 10000;
    while (frmMain().PicturesPending() && ::GetTickCount64() < end) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::Sleep(5);
    }
    ASSERT_FALSE(frmMain().PicturesPending());
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), gdi);
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), user);
    EXPECT_EQ(ImageList_GetImageCount(frmMain().imgIcons()), 3)
        << "pictures of the entries: " << frmMain().EntryImage(0) << ", "
        << frmMain().EntryImage(1);
    EXPECT_EQ(ImageList_GetImageCount(frmMain().imgPopUp()), 3);
    EXPECT_EQ(ListView_GetItemCount(frmMain().Control("lvwMenu")), 2);
    gIniFile = savedIni;
}

TEST_F(ConfigWindow, SavingWritesOptionsAndListAndNeverOverwritesAnUnreadFile) {
    test::TempFolder temp;
    const std::string savedIni = gIniFile;
    gIniFile = temp.path() + "list.ini";
    const std::string bytes = "Notepad\tC:\\windows\\notepad.exe\r\n";
    ASSERT_TRUE(test::WriteFileBytes(gIniFile, bytes));

    {
        // Another program holds the file open without sharing it.
        UniqueFile lock(::CreateFileW(Widen(gIniFile).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        LoadSettings();
        EXPECT_TRUE(frmMain().entries().empty());
        EXPECT_FALSE(frmMain().IsShown());  // not taken for a first start
        EXPECT_FALSE(SaveSettings());
    }
    std::string after(bytes.size() + 16, '\0');
    {
        UniqueFile file(::CreateFileW(Widen(gIniFile).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD read = 0;
        ::ReadFile(file.get(), after.data(), static_cast<DWORD>(after.size()), &read, nullptr);
        after.resize(read);
    }
    EXPECT_EQ(after, bytes);

    LoadSettings();
    ASSERT_EQ(frmMain().entries().size(), 1u);
    gIconSize = 257;
    gExplorer = true;
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(RegistrySettings().Read("IconSize"), "257");
    EXPECT_EQ(RegistrySettings().Read("Explorer"), "1");
    EXPECT_EQ(RegistrySettings().Read("Version"), std::to_string(gAppVersion));
    gIconSize = 256;
    gExplorer = false;
    RegistrySettings().Write("IconSize", "256");
    RegistrySettings().Write("Explorer", "0");
    gIniFile = savedIni;
}

}  // namespace
}  // namespace jumpnest
