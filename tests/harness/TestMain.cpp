// The test program's main: every test process gets a home folder of its own (so no test touches
// the real documents folder) and the framework's GUI initialiser.
#include "harness/TemporaryHome.h"

#include "engine/Clock.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

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
    testing::UnitTest::GetInstance()->listeners().Append(new ClockReset());

    TemporaryHome home;
    juce::ScopedJuceInitialiser_GUI gui;
    return RUN_ALL_TESTS();
}
