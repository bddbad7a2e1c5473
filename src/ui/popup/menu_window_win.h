// frmMenu, the popup launcher: a borderless, topmost window that fades in at
// the mouse with the entries, starts the one picked and fades out again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/window_win.h"
#include "trigger/trigger_rules.h"
#include "ui/config/design_builder_win.h"
#include "ui/popup/popup_layout.h"

namespace jumpnest {

class MenuWindow final : public Window {
public:
    MenuWindow() = default;
    ~MenuWindow() override = default;

    // Creates the popup hidden, once; it is shown and hidden again for every
    // trigger.
    bool Load();
    // Shows the popup for a trigger at `cursor` with the entries as they are
    // now, placed at gMenuLeft and gMenuTop (clamped onto the monitor), and
    // starts its fade-in.
    void Open(ScreenPoint cursor);
    // Hides it at once.
    void Close();
    // Brings the open popup to the front and gives it the keyboard.
    void Activate();
    // Takes the entries' pictures again from the configuration window: they
    // arrive one by one after a start.
    void RefreshPictures();

    HWND list() const { return design_.Window("lvwMenu"); }
    int alpha() const { return fade_.alpha; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Form_Load(ScreenPoint cursor);
    void FadeOut();
    void LaunchSelected();
    void SelectAt(POINT inList);
    void OpenConfiguration();
    void Paint();
    RECT ControlRect(const char* name, int index = -1) const;

    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self) noexcept;

    BuiltDesign design_;
    FadeState fade_;
    // The rows, kept here: the list asks for each one as it draws it.
    std::vector<std::string> targets_;
    std::vector<std::wstring> captions_;
    std::vector<int> images_;
};

// Shows the popup for a trigger at `cursor`, or, when it is open already,
// only brings it forward.
void ShowMenu(ScreenPoint cursor);
// Makes the popup's window ahead of the first trigger; false when it cannot
// be created.
bool PrepareMenu();
// Destroys the popup's window, at the end of the program.
void DestroyMenu();
bool IsMenuOpen();
// The open popup, or null.
MenuWindow* OpenMenu();

}  // namespace jumpnest
