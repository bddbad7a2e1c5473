// Figures, not pass or fail: what the input hooks cost per event, how long the
// popup takes from the trigger to its first paint, what loading the list
// costs per entry, and whether memory or window objects grow over many
// popups and Apply/Cancel rounds. One line per figure, "key = value unit",
// which scripts/bench.sh gathers over repeated runs into docs/benchmarks.md.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "store/entry_store_win.h"
#include "store/settings_win.h"
#include "trigger/hooks_win.h"
#include "trigger/pass_through_win.h"
#include "trigger/trigger_rules.h"

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
    static RegistrySettings settings("kqrJumpnestBench");
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
void WaitForPictures() {
    const ULONGLONG end = ::GetTickCount64() + 60000;
    while (Program().entries().picturesPending() && ::GetTickCount64() < end) {
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

void BenchPopup(const std::string& folder) {
    for (int count : {10, 100, 1000}) {
        UseEntryFile(count, folder);
        Load();
        WaitForPictures();
        std::vector<double> samples, shown;
        for (int round = 0; round < 20; ++round) {
            const LONGLONG start = Now();
            Program().Trigger(400, 300);
            if (!Program().popup().IsOpen()) break;
            shown.push_back(Microseconds(Now() - start) / 1000.0);
            ::UpdateWindow(Program().popup().hwnd());  // the first paint, done when this returns
            samples.push_back(Microseconds(Now() - start) / 1000.0);
            ClosePopup();
        }
        Figure(("popup." + std::to_string(count) + ".median").c_str(), Quantile(samples, 0.5),
               "ms");
        Figure(("popup." + std::to_string(count) + ".max").c_str(), Quantile(samples, 1.0), "ms");
        Figure(("popup." + std::to_string(count) + ".shown").c_str(), Quantile(shown, 0.5), "ms");
    }
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

// With arguments, only the parts they name: hooks, load, popup, resources.
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
    if (wanted("resources")) BenchResources(folder);
    return 0;
}
