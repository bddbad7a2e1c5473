// The configuration window with lists of single programs: the dialog that chooses them, the
// window editing one, Apply and Cancel of all, and the move to a portable copy.
#include "support_win.h"
#include <oleacc.h>
#include <cwctype>
#include "core/version.h"
#include "store/program_lists.h"
#include "ui/text/captions.h"

namespace jumpnest::test {

class ProgramListsTest : public testing::Test {
protected:
    void SetUp() override {
        gIniFile = temp_.path + "kqrJumpnest.ada.ini";
        gStartupLink = temp_.path + "Startup\\kqrJumpnest.lnk";
        programs_.Locate(temp_.path, "kqrJumpnest", "ada");
        links_.moveBesideProgram = [] { return MoveOutcome{}; };
        ASSERT_TRUE(window_.Load(list_, store_, options_, links_));
    }
    // The rows of a list view.
    static std::vector<std::string> Rows(HWND list) {
        std::vector<std::string> rows(static_cast<size_t>(ListView_GetItemCount(list)));
        for (size_t i = 0; i < rows.size(); ++i) {
            wchar_t text[MAX_PATH] = {};
            ListView_GetItemText(list, static_cast<int>(i), 0, text, MAX_PATH);
            rows[i] = Narrow(text);
        }
        return rows;
    }
    HWND OpenDialog() {
        ::SendMessageW(window_.hwnd(), WM_COMMAND, UINT(Command::kProgramLists), 0);
        return ::FindWindowW(L"kqrJumpnestProgramLists", nullptr);
    }
    HWND Child(HWND dialog, const wchar_t* kind, int nth = 0) {
        HWND child = nullptr;
        do child = ::FindWindowExW(dialog, child, kind, nullptr);
        while (child && nth--);
        return child;
    }
    std::vector<std::string> Shown() { return Rows(window_.Control("lvwMenu")); }
    TempFolder temp_;
    ScratchKey key_;
    ProgramLists programs_{StuckPictures, FileExists};
    const Store store_{key_.settings, FileExists, &programs_};
    Options options_;
    EntryList list_{StuckPictures};  // no loader: the pictures are never asked for
    MainWindowLinks links_;
    MainWindow window_;
};

// Every control is named for a screen reader, each access key is the dialog's only one, and the
// common list leads by its heading, in every language.
TEST_F(ProgramListsTest, DialogNamesEveryControlWithOwnAccessKeys) {
    programs_.Add("C:\\Tools\\Notepad.EXE");
    for (const int language : {kEnglish, kGerman, kFrench, kSpanish}) {
        options_.language = language;
        const HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog && !::IsWindowEnabled(window_.hwnd())) << language;
        std::set<wchar_t> keys;
        int marked = 0;
        for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            ComPtr<IAccessible> object;
            BSTR name = nullptr;
            VARIANT self{};
            self.vt = VT_I4;
            EXPECT_TRUE(::AccessibleObjectFromWindow(c, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                                     object.put_void()) == S_OK &&
                        object->get_accName(self, &name) == S_OK && ::SysStringLen(name) > 0)
                << WindowText(c) << " in " << language;
            ::SysFreeString(name);
            const std::wstring text = Widen(WindowText(c));
            if (const size_t at = text.find(L'&'); at != std::wstring::npos) {
                keys.insert(static_cast<wchar_t>(std::towlower(text[at + 1])));
                ++marked;
            }
        }
        EXPECT_EQ(std::ssize(keys), marked) << language;
        EXPECT_EQ(marked, 5) << language;
        EXPECT_EQ(
            Rows(Child(dialog, WC_LISTVIEWW)),
            (std::vector<std::string>{std::string(CommonListHeading(language)), "notepad.exe"}));
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(::IsWindow(dialog) || !::IsWindowEnabled(window_.hwnd())) << language;
    }
}

// Chosen in the dialog, a program's list is shown and edited in the window, named in its title;
// the common list's changes meanwhile wait unseen, and it comes back as it is. A portable copy
// keeps everything beside the program already: the move is greyed there.
TEST_F(ProgramListsTest, WindowEditsTheChosenListAndComesBack) {
    list_.Replace({{"Common", ExecutablePath()}});
    programs_.Add("notepad.exe")->list.Replace({{"Pad", SystemProgram(L"notepad.exe")}});
    const HWND dialog = OpenDialog(), list = Child(dialog, WC_LISTVIEWW);
    const HWND own = Child(dialog, WC_BUTTONW, 2), remove = Child(dialog, WC_BUTTONW, 1);
    EXPECT_FALSE(::IsWindowEnabled(own) || ::IsWindowEnabled(remove));  // the common row
    ListView_SetItemState(list, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(::IsWindowEnabled(own) && ::IsWindowEnabled(remove));
    ::SendMessageW(own, BM_CLICK, 0, 0);
    EXPECT_TRUE(programs_.Find("notepad.exe")->ownEntriesOnly);
    ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Edit list
    const std::string title = ProgramTitle(gAppVersionText);
    EXPECT_EQ(std::tuple(WindowText(window_.hwnd()), Shown()),
              std::tuple(title + " - notepad.exe", std::vector<std::string>{"Pad"}));
    window_.AddFiles({ExecutablePath()});
    list_.AddDropped({SystemProgram(L"notepad.exe")}, FileExists);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Pad", "jumpnest_win_tests"}));
    EXPECT_EQ(programs_.Find("notepad.exe")->list.entries().size(), 2u);
    window_.ShowList("");
    EXPECT_EQ(std::tuple(WindowText(window_.hwnd()), Shown()),
              std::tuple(title, std::vector<std::string>{"Common", "notepad"}));
    const HMENU file = ::GetSubMenu(::GetMenu(window_.hwnd()), 0);
    for (const bool portable : {true, false}) {
        gPortable = portable;
        ::SendMessageW(window_.hwnd(), WM_INITMENUPOPUP, WPARAM(file), 0);
        EXPECT_EQ(!!(::GetMenuState(file, UINT(Command::kMoveBesideProgram), 0) & MF_GRAYED),
                  portable);
    }
}

// Apply writes a program's list to its own file; a list removed goes from the window and its
// file stays until Apply: Cancel brings it back.
TEST_F(ProgramListsTest, ApplySavesProgramListsAndCancelRestoresARemovedOne) {
    const std::string file = ProgramListPath(temp_.path, "kqrJumpnest", "ada", "mspaint.exe");
    programs_.Add("mspaint.exe");
    window_.ShowList("mspaint.exe");
    window_.AddFiles({ExecutablePath()});
    ASSERT_TRUE(window_.Apply());
    // Into its own file, never into the common one.
    EXPECT_NE(ReadFileBytes(file).find(ExecutablePath()), std::string::npos);
    EXPECT_EQ(ReadFileBytes(gIniFile).find(ExecutablePath()), std::string::npos);
    EXPECT_EQ(window_.shownProgram(), "");
    for (const bool apply : {false, true}) {
        window_.ShowList("mspaint.exe");
        const HWND dialog = OpenDialog();
        ListView_SetItemState(Child(dialog, WC_LISTVIEWW), 1, LVIS_SELECTED, LVIS_SELECTED);
        ::SendMessageW(Child(dialog, WC_BUTTONW, 1), BM_CLICK, 0, 0);
        EXPECT_TRUE(window_.shownProgram().empty() && !programs_.Find("mspaint.exe"));
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(FileExists(file));
        apply ? static_cast<void>(window_.Apply()) : window_.Cancel();
        EXPECT_EQ(FileExists(file), !apply);
        EXPECT_EQ(programs_.Find("mspaint.exe") != nullptr, !apply);
    }
}

}  // namespace jumpnest::test
