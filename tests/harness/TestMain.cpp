// The test program's main: every test process gets a home folder of its own (so no test touches
// the real documents folder) and the framework's GUI initialiser.
#include "common/XErrors.h"
#include "harness/TemporaryHome.h"

#include "engine/Clock.h"
#include "platform/DisplayCheck.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

namespace
{
/** Puts "now" back to the real time after every test. */
class ClockReset : public testing::EmptyTestEventListener
{
    void OnTestEnd(const testing::TestInfo&) override { Clock::clearFixedTime(); }
};
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);

    // The window tests need a display; without one the framework would crash in its first window.
    // Listing the tests (as CTest does to find them) opens no window.
    const auto noDisplay = testing::GTEST_FLAG(list_tests) ? std::string() : DisplayCheck::whyNoDisplay();
    if (!noDisplay.empty())
    {
        std::fprintf(stderr, "qz_tests: %s (the test command starts a virtual display)\n", noDisplay.c_str());
        return 1;
    }
    testing::UnitTest::GetInstance()->listeners().Append(new ClockReset());

    TemporaryHome home;
    ignoreXErrors();
    juce::ScopedJuceInitialiser_GUI gui;
    return RUN_ALL_TESTS();
}
