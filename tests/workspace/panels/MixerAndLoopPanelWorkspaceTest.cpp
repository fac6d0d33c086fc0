// The mixer and loop panel in the workspace: the controller makes it hidden at the first course
// load as an always-on-top window of its own, shows and hides it on the command, flips its loop
// toggles for the loop commands, and deletes it when the workspace is cleared.
#include "workspace/panels/MixerAndLoopPanel.h"

#include "harness/CourseWorkingSet.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

namespace
{
constexpr int rate = 44100;

/** A course left in the temporary folder by the last run, so the workspace opens it at the start. */
void leaveCourse()
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({2 * rate, 2 * rate})));
}
} // namespace

TEST(MixerAndLoopPanelInTheWorkspace, NoPanelWithoutACourse)
{
    OpenWorkspace empty;
    EXPECT_FALSE(empty.controller().isCourseOpen());
    EXPECT_EQ(nullptr, empty.controller().getMixerAndLoopPanel());
    empty.controller().showOrHideMixerAndLoopSetup(); // nothing to show
}

TEST(MixerAndLoopPanelInTheWorkspace, ShownAndHiddenByTheCommandAndDeletedWithTheCourse)
{
    OpenWorkspace workspace(leaveCourse);
    auto& controller = workspace.controller();
    ASSERT_TRUE(controller.isCourseOpen());

    auto* panel = controller.getMixerAndLoopPanel();
    ASSERT_NE(nullptr, panel) << "made at the first load";
    EXPECT_FALSE(panel->isVisible()) << "and not shown there";
    ASSERT_TRUE(panel->isOnDesktop());
    EXPECT_TRUE(panel->isAlwaysOnTop());
    EXPECT_TRUE(panel->isOpaque());
    const int style = panel->getPeer()->getStyleFlags();
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasTitleBar);
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasCloseButton);
    const auto screen =
        juce::Desktop::getInstance().getDisplays().getDisplayForRect(panel->getScreenBounds());
    ASSERT_NE(nullptr, screen);
    EXPECT_LE(std::abs(panel->getBounds().getCentreX() - screen->userArea.getCentreX()), 1) << "centred";

    controller.showOrHideMixerAndLoopSetup();
    EXPECT_TRUE(panel->isVisible());
    controller.showOrHideMixerAndLoopSetup();
    EXPECT_FALSE(panel->isVisible());

    // The loop commands flip the panel's toggles, whose handling writes into the controller.
    controller.setSentenceLoopMode();
    EXPECT_TRUE(panel->isSentenceLoopOn());
    EXPECT_TRUE(controller.isSentenceLoopOn());
    controller.setCourseLoopMode();
    EXPECT_TRUE(panel->isCourseLoopOn());
    EXPECT_TRUE(controller.isCourseLoopOn());
    controller.setCourseLoopMode();
    EXPECT_FALSE(controller.isCourseLoopOn());

    juce::Component::SafePointer<MixerAndLoopPanel> watched(panel);
    controller.resetToEmpty();
    EXPECT_EQ(nullptr, controller.getMixerAndLoopPanel());
    EXPECT_EQ(nullptr, watched.getComponent()) << "deleted when the workspace is cleared";

    // The next course gets a panel of its own, both loops off again; the controller's sentence
    // loop is off with it, as the toggle shows, and keeps its repeat count and pause factor.
    controller.setSentenceLooping(true, 4, 0.5); // as the last panel left it
    CourseWorkingSet next(6.0, rate);
    ASSERT_TRUE(next.writeSentences(OpenCourse::contiguous({2 * rate})));
    ASSERT_TRUE(controller.loadGivenCourse(next.getCourseText()));
    panel = controller.getMixerAndLoopPanel();
    ASSERT_NE(nullptr, panel);
    EXPECT_FALSE(panel->isSentenceLoopOn());
    EXPECT_FALSE(panel->isCourseLoopOn());
    EXPECT_FALSE(controller.isSentenceLoopOn());
    EXPECT_EQ(4, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.5, controller.getPauseFactor());
}
