// Figures, not pass or fail: what the input hooks cost per event, how long the
// popup takes from the trigger to its first paint, what loading the list
// costs per entry, and whether memory or window objects grow over many
// popups and Apply/Cancel rounds. One line per figure, "key = value unit",
// which scripts/bench.sh gathers over repeated runs into docs/benchmarks.md.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/messages_win.h"
#include "store/entry_store_win.h"
#include "store/settings_win.h"
#include "trigger/hooks_win.h"
#include "trigger/pass_through_win.h"
#include "trigger/trigger_rules.h"
#include "ui/text/captions.h"
#include "ui/text/designs.h"

namespace {

using namespace jumpnest;

volatile int sink = 0;

double Microseconds(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e6 / frequency;
}

LONGLONG Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Quantile(std::vector<double> samples, double q) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<size_t>(q * static_cast<double>(samples.size() - 1))];
}

void Figure(const char* key, double value, const char* unit) {
    std::printf("%s = %.3f %s\n", key, value, unit);
    std::fflush(stdout);
}

void DrainMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

template <typename Event>
double TimeOne(Event&& event) {
    const LONGLONG start = Now();
    event();
    return Microseconds(Now() - start);
}

void Quantiles(const std::string& key, const std::vector<double>& samples) {
    Figure((key + ".median").c_str(), Quantile(samples, 0.5), "us");
    Figure((key + ".p99").c_str(), Quantile(samples, 0.99), "us");
}

// The hook callbacks as Windows calls them, on the two paths that matter:
// the mouse moving (nearly every event) and the gesture itself (left Ctrl
// down, then the right button pressed and released, both swallowed).
void BenchHooks() {
    constexpr int kEvents = 100000;
    std::vector<double> moves, trigger, keys, decision, passOn, clock;
    for (int i = 0; i < kEvents; ++i) {
        MSLLHOOKSTRUCT move{};
        move.pt = {i % 1280, i % 800};
        move.time = static_cast<DWORD>(i);
        moves.push_back(TimeOne(
            [&] { MouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&move)); }));

        KBDLLHOOKSTRUCT key{};
        key.vkCode = i % 100 == 0 ? kVkLeftControl : 'A' + i % 26;
        key.scanCode = 0x1D;
        key.time = static_cast<DWORD>(i);
        keys.push_back(TimeOne(
            [&] { KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)); }));
        if (i % 100 == 0) {
            // Left Ctrl is held now: the right button is the gesture.
            for (const WPARAM button : {WPARAM{WM_RBUTTONDOWN}, WPARAM{WM_RBUTTONUP}}) {
                trigger.push_back(TimeOne(
                    [&] { MouseHookProc(HC_ACTION, button, reinterpret_cast<LPARAM>(&move)); }));
            }
            DrainMessages();  // the triggers posted to this thread
        }
    }
    // The gesture again with ten programs to leave alone, none of them the
    // one under the mouse: every press looks its program up and compares.
    SetPassThrough(
        "mstsc.exe;vmconnect.exe;vmware.exe;vmplayer.exe;virtualboxvm.exe;"
        "anydesk.exe;teamviewer.exe;vncviewer.exe;parsecd.exe;msrdc.exe",
        true);
    std::vector<double> excluded;
    for (int i = 0; i < kEvents / 100; ++i) {
        MSLLHOOKSTRUCT place{};
        place.pt = {(i * 97) % 1280, (i * 89) % 800};
        KBDLLHOOKSTRUCT ctrl{kVkLeftControl, 0x1D, 0, static_cast<DWORD>(i), 0};
        KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&ctrl));
        for (const WPARAM button : {WPARAM{WM_RBUTTONDOWN}, WPARAM{WM_RBUTTONUP}}) {
            excluded.push_back(TimeOne(
                [&] { MouseHookProc(HC_ACTION, button, reinterpret_cast<LPARAM>(&place)); }));
        }
        DrainMessages();
    }
    SetPassThrough("", true);
    // The parts: our decision alone, and handing an event on to the next
    // hook (under Wine a round trip to the Wine server).
    GestureRules rules;
    for (int i = 0; i < kEvents; ++i) {
        decision.push_back(TimeOne([&] {
            rules.OnKey({i % 100 == 0 ? kVkLeftControl : 0x41u, 0x1D, 0});
            const MouseVerdict verdict = rules.OnMouse(
                {i % 100 == 1 ? MouseMessage::RightUp : MouseMessage::Other, {i % 1280, i % 800}},
                kActiveMouseHookMode, false, false, true);
            sink = sink + (verdict.swallow ? 1 : 0);  // keeps the work from being optimised away
        }));
        MSLLHOOKSTRUCT move{};
        passOn.push_back(TimeOne([&] {
            ::CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&move));
        }));
        clock.push_back(TimeOne([] {}));
    }
    Quantiles("hook.move", moves);
    Quantiles("hook.trigger", trigger);
    Quantiles("hook.trigger_excluded", excluded);
    Quantiles("hook.key", keys);
    Quantiles("hook.decision", decision);
    Quantiles("hook.pass_on", passOn);
    Quantiles("clock", clock);
}

// The program itself, started as the real one starts, on a settings key of
// the benchmark's own.
App& Program() {
    static SettingsPlace settings("kqrJumpnestBench");
    static App app(
        {settings, [](const std::string& path) { return FileExists(path); }, ShellPictures});
    static const bool started = app.Main();
    if (!started) std::fprintf(stderr, "the program did not start\n");
    return app;
}

void Load() {
    Options options;
    LoadSettings(Program().store(), Program().entries(), options);
}

// Pumps messages until the entries' own pictures have all arrived.
void WaitForPictures(const EntryList& list = Program().entries()) {
    const ULONGLONG end = ::GetTickCount64() + 60000;
    while (list.picturesPending() && ::GetTickCount64() < end) {
        DrainMessages();
        ::Sleep(1);
    }
}

// An entry file of `count` entries with distinct targets, none dropped as a
// duplicate; makes it the one LoadSettings reads.
void UseEntryFile(int count, const std::string& folder) {
    // The program starts first: its start reads the real entry file.
    Program();
    std::string list;
    const std::string self = ExecutablePath();
    for (int i = 0; i < count; ++i) {
        const std::string copy = folder + "target" + std::to_string(i) + ".exe";
        if (!FileExists(copy)) ::CopyFileW(Widen(self).c_str(), Widen(copy).c_str(), FALSE);
        list += "Entry " + std::to_string(i) + "\t" + copy + "\r\n";
    }
    gIniFile = folder + "bench-" + std::to_string(count) + ".ini";
    HANDLE file = ::CreateFileW(Widen(gIniFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    ::CloseHandle(file);
}

void BenchLoad(const std::string& folder) {
    double perEntry = 0;
    double none = 0;
    for (int count : {0, 100, 1000}) {
        UseEntryFile(count, folder);
        std::vector<double> samples;
        for (int round = 0; round < (count == 1000 ? 3 : 10); ++round) {
            samples.push_back(TimeOne([] { Load(); }) / 1000.0);
            WaitForPictures();  // the loader's thread would compete with the next round
        }
        std::vector<double> reads;
        for (int round = 0; round < 3; ++round) {
            reads.push_back(
                TimeOne([] { sink = sink + static_cast<int>(ReadEntryFile(gIniFile)->size()); }) /
                1000.0);
        }
        Figure(("load." + std::to_string(count) + ".read").c_str(), Quantile(reads, 0.5), "ms");
        const double median = Quantile(samples, 0.5);
        Figure(("load." + std::to_string(count) + ".ms").c_str(), median, "ms");
        if (count == 0) none = median;
        if (count == 1000) perEntry = (median - none) * 1000.0 / count;
    }
    Figure("load.per_entry", perEntry, "us");
}

void ClosePopup() {
    Program().popup().Close();
    DrainMessages();
}

// The popup without the program: a window of the same kind (layered,
// topmost, borderless, a tool window) with a virtual report list of the
// same size, rows, pictures and font, placed, shown and painted as a plain
// program would. What the real popup takes beyond it is the program's own
// share.
class BarePopup {
public:
    // A row as the popup draws it: its caption, and its picture in a list
    // of pictures (none for I_IMAGENONE).
    struct Row {
        std::wstring caption;
        HIMAGELIST images;
        int image;
    };
    // Made after one real opening, from what that popup shows: the rows the
    // list gives, or `shown` where the popup draws others (a program's own
    // pictures, captions without the heading a screen reader hears). All
    // pictures go into one list, as a list view has only one.
    explicit BarePopup(HWND popup, std::vector<Row> shown = {}) {
        HWND real = Program().popup().list();
        const HIMAGELIST realImages = ListView_GetImageList(real, LVSIL_SMALL);
        const int rows = ListView_GetItemCount(real);
        for (int row = 0; row < rows && shown.empty(); ++row) {
            wchar_t text[260] = {};
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row;
            item.pszText = text;
            item.cchTextMax = 260;
            ListView_GetItem(real, &item);
            captions_.push_back(text);
            images_.push_back(item.iImage);
        }
        HIMAGELIST images = realImages;
        if (!shown.empty()) {
            int width = 0, height = 0;
            ::ImageList_GetIconSize(realImages, &width, &height);
            pictures_.reset(::ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 0, 64));
            images = pictures_.get();
            for (const Row& row : shown) {
                captions_.push_back(row.caption);
                int image = row.image;
                if (image >= 0) {
                    const UniqueIcon icon(::ImageList_GetIcon(row.images, image, ILD_NORMAL));
                    image = ::ImageList_ReplaceIcon(images, -1, icon.get());
                }
                images_.push_back(image);
            }
        }
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = L"JumpnestBenchBarePopup";
        ::RegisterClassW(&windowClass);
        ::GetWindowRect(popup, &place_);
        window_ = ::CreateWindowExW(
            WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"bare",
            WS_POPUP, place_.left, place_.top, place_.right - place_.left,
            place_.bottom - place_.top, nullptr, nullptr, windowClass.hInstance, this);
        ::SetLayeredWindowAttributes(window_, 0, 0, LWA_ALPHA);
        RECT listPlace{};
        ::GetWindowRect(real, &listPlace);
        ::MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&listPlace), 2);
        // The list's own styles (report, virtual, no header, shared pictures).
        list_ = ::CreateWindowExW(
            static_cast<DWORD>(::GetWindowLongPtrW(real, GWL_EXSTYLE)), WC_LISTVIEWW, L"",
            static_cast<DWORD>(::GetWindowLongPtrW(real, GWL_STYLE)), listPlace.left, listPlace.top,
            listPlace.right - listPlace.left, listPlace.bottom - listPlace.top, window_, nullptr,
            windowClass.hInstance, nullptr);
        ::SendMessageW(list_, WM_SETFONT, ::SendMessageW(real, WM_GETFONT, 0, 0), FALSE);
        ListView_SetExtendedListViewStyleEx(list_, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        ListView_SetImageList(list_, images, LVSIL_SMALL);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = ListView_GetColumnWidth(real, 0);
        ListView_InsertColumn(list_, 0, &column);
        ListView_SetItemCountEx(list_, rows, LVSICF_NOSCROLL);
    }
    ~BarePopup() { ::DestroyWindow(window_); }

    void Open() {
        ::SetWindowPos(window_, HWND_TOPMOST, place_.left, place_.top, place_.right - place_.left,
                       place_.bottom - place_.top, SWP_NOACTIVATE);
        ::ShowWindow(window_, SW_SHOW);
        ::UpdateWindow(window_);
    }
    // What a typed letter that every row matches costs the list itself:
    // the rows counted again and drawn anew.
    void Type() {
        ListView_SetItemCountEx(list_, static_cast<int>(captions_.size()), LVSICF_NOSCROLL);
        ::InvalidateRect(list_, nullptr, TRUE);
        ::UpdateWindow(window_);
    }
    void Close() { ::ShowWindow(window_, SW_HIDE); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(
                                    reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<BarePopup*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_NOTIFY && self &&
            reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
            auto& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            const auto row = static_cast<size_t>(item.iItem);
            if (row < self->captions_.size()) {
                if (item.mask & LVIF_TEXT) {
                    lstrcpynW(item.pszText, self->captions_[row].c_str(), item.cchTextMax);
                }
                if (item.mask & LVIF_IMAGE) item.iImage = self->images_[row];
            }
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND window_ = nullptr, list_ = nullptr;
    UniqueImageList pictures_;
    RECT place_{};
    std::vector<std::wstring> captions_;
    std::vector<int> images_;
};

// Trigger to first paint, and the same with a letter typed after it (the
// rows then drawn by the popup itself, matched letters in bold), each
// beside the bare popup: the two alternate round by round in this one
// process, so both see the same state of Wine and the machine. `trigger`
// opens the popup; figures under `key`, with the bare popup's only when
// `compared`.
void ComparePopups(const std::string& key, bool compared, const std::function<void()>& trigger,
                   const std::function<std::vector<BarePopup::Row>()>& bareRows = {}) {
    // The first opening makes what is made once (fonts, the theme's
    // parts, the bare popup) and is not counted.
    trigger();
    if (!Program().popup().IsOpen()) {
        std::fprintf(stderr, "the popup did not open\n");
        return;
    }
    ::UpdateWindow(Program().popup().hwnd());
    BarePopup bare(Program().popup().hwnd(), bareRows ? bareRows() : std::vector<BarePopup::Row>{});
    ClosePopup();
    bare.Open();
    bare.Close();
    DrainMessages();
    const int rounds = compared ? 60 : 20;
    std::vector<double> samples, shown, bareOpen, typed, typedAlone, bareTyped, bareTypedAlone;
    bool open = true;
    auto real = [&](bool type) {
        const LONGLONG start = Now();
        trigger();
        if (!Program().popup().IsOpen()) return void(open = false);
        const LONGLONG visible = Now();
        ::UpdateWindow(Program().popup().hwnd());  // the first paint, done when this returns
        const LONGLONG painted = Now();
        if (!type) {
            shown.push_back(Microseconds(visible - start) / 1000.0);
            samples.push_back(Microseconds(painted - start) / 1000.0);
        } else {
            ::SendMessageW(Program().popup().list(), WM_CHAR, L'e', 0);
            ::UpdateWindow(Program().popup().hwnd());
            typed.push_back(Microseconds(Now() - start) / 1000.0);
            typedAlone.push_back(Microseconds(Now() - painted) / 1000.0);
        }
        ClosePopup();
    };
    auto baseline = [&](bool type) {
        const LONGLONG start = Now();
        bare.Open();
        if (!type) {
            bareOpen.push_back(Microseconds(Now() - start) / 1000.0);
        } else {
            const LONGLONG painted = Now();
            bare.Type();
            bareTyped.push_back(Microseconds(Now() - start) / 1000.0);
            bareTypedAlone.push_back(Microseconds(Now() - painted) / 1000.0);
        }
        bare.Close();
        DrainMessages();
    };
    for (int round = 0; round < rounds && open; ++round) {
        const bool type = compared && round % 2 == 1;
        if (!compared) {
            real(false);
        } else if (round % 4 < 2) {
            real(type);
            baseline(type);
        } else {
            baseline(type);
            real(type);
        }
    }
    Figure((key + ".median").c_str(), Quantile(samples, 0.5), "ms");
    Figure((key + ".max").c_str(), Quantile(samples, 1.0), "ms");
    Figure((key + ".shown").c_str(), Quantile(shown, 0.5), "ms");
    if (!compared) return;
    const auto ratio = [](const std::vector<double>& a, const std::vector<double>& b) {
        return Quantile(b, 0.5) > 0 ? Quantile(a, 0.5) / Quantile(b, 0.5) : 0;
    };
    Figure((key + ".bare").c_str(), Quantile(bareOpen, 0.5), "ms");
    Figure((key + ".ratio").c_str(), ratio(samples, bareOpen), "x");
    Figure((key + ".typed").c_str(), Quantile(typed, 0.5), "ms");
    Figure((key + ".typed_bare").c_str(), Quantile(bareTyped, 0.5), "ms");
    Figure((key + ".typed_ratio").c_str(), ratio(typed, bareTyped), "x");
    Figure((key + ".typed_alone").c_str(), Quantile(typedAlone, 0.5), "ms");
    Figure((key + ".typed_alone_bare").c_str(), Quantile(bareTypedAlone, 0.5), "ms");
}

void BenchPopup(const std::string& folder) {
    for (int count : {10, 100, 1000}) {
        UseEntryFile(count, folder);
        Load();
        WaitForPictures();
        ComparePopups("popup." + std::to_string(count), count <= 100,
                      [] { Program().Trigger(400, 300); });
    }
}

// A program's own list, which the program under test does not know of: the
// benchmark hands it to the popup as the trigger over that program would.
EntryList& ProgramList() {
    static EntryList list(ShellPictures, [](const std::string& path) { return FileExists(path); });
    return list;
}

LRESULT CALLBACK ProgramPicturesProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kPicturesMessage) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    ProgramList().TakePictures(IconLoader::Take(lParam));
    return 0;
}

// The popup over a program with a list of 10 or 100 entries, above 10
// common ones, against the bare popup with the same rows.
void BenchSections(const std::string& folder) {
    UseEntryFile(10, folder);
    Load();
    WaitForPictures();
    const HWND pictures = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            nullptr, nullptr);
    ::SetWindowLongPtrW(pictures, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgramPicturesProc));
    ProgramList().StartLoader(pictures);
    const std::string self = ExecutablePath();
    for (int count : {10, 100}) {
        std::vector<MenuEntry> entries;
        for (int i = 0; i < count; ++i) {
            const std::string copy = folder + "program" + std::to_string(i) + ".exe";
            if (!FileExists(copy)) ::CopyFileW(Widen(self).c_str(), Widen(copy).c_str(), FALSE);
            entries.push_back({"Program entry " + std::to_string(i), copy});
        }
        ProgramList().Replace(std::move(entries));
        const ProgramSection section{&ProgramList(), "bench.exe", false};
        // As the trigger opens it, with this section.
        const auto open = [&] {
            Program().entries().Recheck();
            const MonitorPlace monitor = MonitorAt({400, 300});
            const double twipsPerPixel = TwipsPerPixel(monitor.dpi);
            Program().popup().Open(monitor, MenuOriginFor({400, 300}, twipsPerPixel, twipsPerPixel),
                                   section);
        };
        // The pictures of the monitor's scale are asked for at the first opening.
        open();
        ClosePopup();
        WaitForPictures(ProgramList());
        // The bare popup draws the same: both lists' pictures, the captions
        // under two headings.
        const auto rows = [&] {
            const int dpi = MonitorAt({400, 300}).dpi;
            const bool large = ListView_GetImageList(Program().popup().list(), LVSIL_SMALL) ==
                               Program().entries().Images(true, dpi);
            std::vector<BarePopup::Row> shown{{L"bench.exe", nullptr, I_IMAGENONE}};
            for (const EntryList* list : {&ProgramList(), &Program().entries()}) {
                if (list != &ProgramList()) {
                    shown.push_back({Widen(CommonListHeading(kEnglish)), nullptr, I_IMAGENONE});
                }
                for (size_t i = 0; i < list->entries().size(); ++i) {
                    shown.push_back({Widen(list->entries()[i].caption), list->Images(large, dpi),
                                     list->Image(i, dpi)});
                }
            }
            return shown;
        };
        ComparePopups("popup.sections." + std::to_string(count), true, open, rows);
    }
    ProgramList().StopLoader(1000);
    ::DestroyWindow(pictures);
}

struct Usage {
    double workingSetKb, pagefileKb, gdi, user;
};

Usage Measure() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return {static_cast<double>(counters.WorkingSetSize) / 1024.0,
            static_cast<double>(counters.PagefileUsage) / 1024.0,
            static_cast<double>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)),
            static_cast<double>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))};
}

void Report(const std::string& key, const Usage& before, const Usage& after) {
    auto percent = [](double from, double to) { return from > 0 ? (to - from) * 100.0 / from : 0; };
    Figure((key + ".working_set_growth").c_str(), percent(before.workingSetKb, after.workingSetKb),
           "%");
    Figure((key + ".pagefile_growth").c_str(), percent(before.pagefileKb, after.pagefileKb), "%");
    Figure((key + ".gdi_growth").c_str(), after.gdi - before.gdi, "objects");
    Figure((key + ".user_growth").c_str(), after.user - before.user, "objects");
}

// Resources after a start with 100 entries, then their growth over 500
// popups and 100 Apply/Cancel rounds. One round of each comes first, so
// that what is made once (the class, caches of the system) is not counted.
void BenchResources(const std::string& folder) {
    UseEntryFile(100, folder);
    Load();
    WaitForPictures();
    Program().Trigger(400, 300);
    ClosePopup();
    Program().configuration().Apply();
    Program().configuration().Cancel();
    WaitForPictures();
    const Usage start = Measure();
    Figure("memory.start.working_set", start.workingSetKb, "KB");
    Figure("memory.start.pagefile", start.pagefileKb, "KB");
    Figure("memory.start.gdi", start.gdi, "objects");
    Figure("memory.start.user", start.user, "objects");

    for (int round = 0; round < 500; ++round) {
        Program().Trigger(200 + round % 400, 300);
        ::UpdateWindow(Program().popup().hwnd());
        ClosePopup();
    }
    const Usage popups = Measure();
    Report("memory.popups", start, popups);

    for (int round = 0; round < 100; ++round) {
        Program().configuration().Apply();
        Program().configuration().Cancel();
        DrainMessages();
    }
    WaitForPictures();
    Report("memory.applies", popups, Measure());
}

}  // namespace

// With arguments, only the parts they name: hooks, load, popup, sections,
// resources.
int main(int argc, char** argv) {
    auto wanted = [&](const char* part) {
        if (argc < 2) return true;
        for (int i = 1; i < argc; ++i) {
            if (std::string(argv[i]) == part) return true;
        }
        return false;
    };
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::string folder = Narrow(temp) + "jumpnest-bench\\";
    CreatePath(folder);
    if (wanted("hooks")) BenchHooks();
    if (wanted("load")) BenchLoad(folder);
    if (wanted("popup")) BenchPopup(folder);
    if (wanted("sections")) BenchSections(folder);
    if (wanted("resources")) BenchResources(folder);
    return 0;
}
