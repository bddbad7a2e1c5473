#include "core/instance_win.h"

#include <gtest/gtest.h>

#include <string>

#include "core/app_window_win.h"

namespace jumpnest {
namespace {

std::string UniqueName(const char* what) {
    return std::string("Local\\jumpnest-test-") + what + "-" +
           std::to_string(::GetCurrentProcessId());
}

TEST(InstanceMutex, OnlyTheFirstHolderIsFirst) {
    const std::string name = UniqueName("mutex");
    {
        InstanceMutex first(name);
        EXPECT_TRUE(first.IsFirst());
        InstanceMutex second(name);
        EXPECT_FALSE(second.IsFirst());
    }
    // Once every holder is gone the next start is the first again.
    InstanceMutex again(name);
    EXPECT_TRUE(again.IsFirst());
}

TEST(ComeForward, ReachesTheRunningInstancesWindow) {
    const std::string exeName = "jumpnest-test-" + std::to_string(::GetCurrentProcessId());
    AppWindow window;
    ASSERT_TRUE(window.Create(exeName));
    int calls = 0;
    window.onComeForward = [&] { ++calls; };

    ASSERT_TRUE(BringRunningInstanceForward(exeName));
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    EXPECT_EQ(calls, 1);

    // A renamed copy's window does not answer for this program.
    EXPECT_FALSE(BringRunningInstanceForward(exeName + "-other"));
}

}  // namespace
}  // namespace jumpnest
