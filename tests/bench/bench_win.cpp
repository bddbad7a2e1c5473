// Figures, not pass or fail: how long the input hook callbacks take per
// event, and how long the popup takes from the trigger to its first paint.
// Run under Wine by the test command; the README quotes them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/encoding_win.h"
#include "trigger/trigger_rules.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "store/persistence_win.h"
#include "trigger/gestures_win.h"
#include "trigger/hooks_win.h"
#include "ui/config/main_window_win.h"
#include "ui/popup/menu_window_win.h"

namespace {

using namespace jumpnest;

volatile int sink = 0;

double Microseconds(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return ticks * 1e6 / frequency;
}

LONGLONG Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

struct Figures {
    double median, p99, max;
};

Figures Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[static_cast<size_t>(q * (samples.size() - 1))]; };
    return {at(0.5), at(0.99), samples.back()};
}

void DrainMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

// Synthetic desktop input, as the hooks see it: mostly mouse moves and keys,
// now and then the gesture itself.
void BenchHooks() {
    constexpr int kEvents = 200000;
    std::vector<double> keyboard, mouse;
    keyboard.reserve(kEvents);
    mouse.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        KBDLLHOOKSTRUCT key{};
        key.vkCode = (i % 50 == 0) ? 0xA2 : 'A' + i % 26;
        key.scanCode = 0x1E;
        key.time = static_cast<DWORD>(i);
        LONGLONG start = Now();
        KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
        keyboard.push_back(Microseconds(Now() - start));

        MSLLHOOKSTRUCT move{};
        move.pt = {i % 1280, i % 800};
        move.time = static_cast<DWORD>(i);
        const WPARAM message = (i % 1000 == 1) ? WM_RBUTTONUP : WM_MOUSEMOVE;
        start = Now();
        MouseHookProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&move));
        mouse.push_back(Microseconds(Now() - start));
        if (i % 1000 == 1) DrainMessages();  // the triggers posted to this thread
    }
    // The decision alone, without the call that hands the event to the next
    // program's hook (under Wine a round trip to the Wine server).
    GestureRules rules;
    std::vector<double> decision;
    decision.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        const LONGLONG start = Now();
        rules.OnKey({(i % 50 == 0) ? 0xA2u : 0x41u, 0x1E, 0});
        const MouseVerdict verdict = rules.OnMouse(
            {(i % 1000 == 1) ? MouseMessage::RightUp : MouseMessage::Other, {i % 1280, i % 800}},
            kActiveMouseHookMode, false);
        decision.push_back(Microseconds(Now() - start));
        sink = sink + (verdict.swallow ? 1 : 0);  // keeps the work from being optimised away
    }
    const Figures d = Summarise(decision);
    std::printf("gesture decision alone: median %.2f us, 99th percentile %.2f us\n", d.median,
                d.p99);

    // What timing itself costs here, to read the figures against.
    std::vector<double> empty;
    for (int i = 0; i < kEvents; ++i) {
        const LONGLONG start = Now();
        empty.push_back(Microseconds(Now() - start));
    }
    const Figures e = Summarise(empty);
    std::printf("clock overhead:         median %.2f us, 99th percentile %.2f us\n", e.median,
                e.p99);
    const Figures k = Summarise(keyboard), m = Summarise(mouse);
    std::printf("keyboard hook callback: median %.2f us, 99th percentile %.2f us (%d events)\n",
                k.median, k.p99, kEvents);
    std::printf("mouse hook callback:    median %.2f us, 99th percentile %.2f us (%d events)\n",
                m.median, m.p99, kEvents);
}

void BenchPopup(int entries, const std::string& folder) {
    std::string list;
    const std::string self = ExecutablePath();
    // Distinct targets, so that none is dropped as a duplicate.
    for (int i = 0; i < entries; ++i) {
        const std::string copy = folder + "target" + std::to_string(i) + ".exe";
        ::CopyFileW(Widen(self).c_str(), Widen(copy).c_str(), FALSE);
        list += "Entry " + std::to_string(i) + "\t" + copy + "\r\n";
    }
    const std::string ini = folder + "bench.ini";
    HANDLE file = ::CreateFileW(Widen(ini).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    ::CloseHandle(file);
    gIniFile = ini;
    LoadSettings();

    std::vector<double> samples;
    for (int round = 0; round < 30; ++round) {
        const LONGLONG start = Now();
        OnTrigger({400, 300});
        MenuWindow* menu = OpenMenu();
        if (!menu) break;
        ::UpdateWindow(menu->hwnd());  // the first paint, done when this returns
        samples.push_back(Microseconds(Now() - start) / 1000.0);
        ::DestroyWindow(menu->hwnd());
        DrainMessages();
    }
    if (samples.empty()) {
        std::printf("popup with %d entries: did not open\n", entries);
        return;
    }
    const Figures f = Summarise(samples);
    std::printf("trigger to first paint, %3d entries: median %.1f ms, max %.1f ms\n", entries,
                f.median, f.max);
}

}  // namespace

int main() {
    BenchHooks();
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::string folder = Narrow(temp) + "jumpnest-bench\\";
    CreatePath(folder);
    ProbeSystem();
    for (int entries : {10, 100}) BenchPopup(entries, folder);
    return 0;
}
