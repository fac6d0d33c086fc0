// The toolbar in the whole workspace: each button's command and icon, the undo and redo tooltips
// that follow the history, the play button's pause icon and the notes marker.
#include "workspace/FunctionZone.h"

#include "engine/CourseModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"

#include "harness/CourseWorkingSet.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"

#include <gtest/gtest.h>

namespace
{
const int rate = 44100;

/** The workspace with a course of two two-second sentences, reopened at the start. */
class FunctionZoneTest : public testing::Test
{
protected:
    FunctionZoneTest()
        : workspace(
              []
              {
                  CourseWorkingSet set(6.0, rate);
                  ASSERT_TRUE(set.wasCreated());
                  ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({2 * rate, 2 * rate})));
              }),
          toolbar(workspace.main().getFunctionZone())
    {
        EXPECT_TRUE(workspace.controller().isCourseOpen());
        // Whatever the load did to the history has been told by now.
        OpenCourse::pumpUntil([] { return false; }, 100);
    }

    juce::Image shownIcon(int button) const
    {
        auto* image = dynamic_cast<juce::DrawableImage*>(toolbar.getButton(button).getNormalImage());
        return image != nullptr ? image->getImage() : juce::Image();
    }

    juce::Image icon(int index) const
    {
        return dynamic_cast<const juce::DrawableImage&>(toolbar.getIcon(index)).getImage();
    }

    OpenWorkspace workspace;
    FunctionZone& toolbar;
};
} // namespace

TEST_F(FunctionZoneTest, EachButtonTriggersItsCommandWithItsIconSideBySide)
{
    struct Case
    {
        int command;
        int icon;
    };
    const Case cases[] = {
        {0x2025, FunctionZone::menuIcon},          {0x2032, FunctionZone::joinIcon},
        {0x2022, FunctionZone::undoIcon},          {0x2023, FunctionZone::redoIcon},
        {0x2004, FunctionZone::deleteIcon},        {0x2003, FunctionZone::mergeIcon},
        {0x2001, FunctionZone::autoSplitIcon},     {0x2030, FunctionZone::noteIcon},
        {0x203A, FunctionZone::toStartIcon},       {0x203C, FunctionZone::previousIcon},
        {0x2039, FunctionZone::sentenceStartIcon}, {0x2036, FunctionZone::playIcon},
        {0x203D, FunctionZone::nextIcon},          {0x203B, FunctionZone::toEndIcon},
        {0x2031, FunctionZone::effectIcon},
    };
    EXPECT_EQ(toolbar.getBounds().getWidth(), 437);
    EXPECT_EQ(toolbar.getBounds().getHeight(), 25);
    ASSERT_EQ(toolbar.getNumChildComponents(), (int)std::size(cases));
    for (int i = 0; i < (int)std::size(cases); ++i)
    {
        const auto& button = toolbar.getButton(i);
        EXPECT_EQ(button.getCommandID(), cases[i].command) << "button " << i;
        EXPECT_EQ(shownIcon(i), icon(cases[i].icon)) << "button " << i;
        EXPECT_TRUE(icon(cases[i].icon).isValid()) << "button " << i;
        EXPECT_EQ(button.getBounds(), juce::Rectangle<int>(1 + 29 * i, 0, 29, 25)) << "button " << i;
        EXPECT_TRUE(button.isConnectedOnLeft() && button.isConnectedOnRight()) << "button " << i;
        EXPECT_FALSE(button.getWantsKeyboardFocus()) << "button " << i;
        EXPECT_EQ(button.findColour(juce::TextButton::buttonColourId), juce::Colours::transparentBlack);
    }
    EXPECT_FALSE(toolbar.getWantsKeyboardFocus());
}

TEST_F(FunctionZoneTest, UndoAndRedoTooltipsNameTheStepTheyWouldTake)
{
    auto& undo = toolbar.getButton(FunctionZone::undoButton);
    auto& redo = toolbar.getButton(FunctionZone::redoButton);
    const auto split = TRANS("Split sentence");

    workspace.model().splitSentence(0, rate);
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return undo.getTooltip().contains(split); }));
    EXPECT_EQ(undo.getTooltip(), TRANS("Undo: ") + split + " [Ctrl + Z]");
    EXPECT_EQ(redo.getTooltip(), TRANS("Redo: ") + " [Ctrl + Y]");
    EXPECT_FALSE(redo.isEnabled());

    // Back at the start of the history: nothing left to name, nothing to undo.
    ASSERT_TRUE(undoManager->undo());
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return redo.getTooltip().contains(split); }));
    EXPECT_EQ(redo.getTooltip(), TRANS("Redo: ") + split + " [Ctrl + Y]");
    EXPECT_EQ(undo.getTooltip(), TRANS("Undo: ") + " [Ctrl + Z]");
    EXPECT_FALSE(undo.isEnabled());
}

TEST(FunctionZoneAtStartUp, UndoAndRedoHaveTheirTooltipsBeforeTheHistoryFirstChanges)
{
    ProcessWideObjects objects;
    const FunctionZone toolbar;
    EXPECT_EQ(toolbar.getButton(FunctionZone::undoButton).getTooltip(), TRANS("Undo: ") + " [Ctrl + Z]");
    EXPECT_EQ(toolbar.getButton(FunctionZone::redoButton).getTooltip(), TRANS("Redo: ") + " [Ctrl + Y]");
    EXPECT_FALSE(toolbar.getButton(FunctionZone::undoButton).isEnabled());
}

TEST_F(FunctionZoneTest, ThePlayButtonShowsThePauseIconWhileTheSentencePlayerRuns)
{
    auto& player = workspace.controller().getSentencePlayer();
    EXPECT_EQ(shownIcon(FunctionZone::playButton), icon(FunctionZone::playIcon));

    player.start(0.0);
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return toolbar.isShowingPause(); }));
    EXPECT_EQ(shownIcon(FunctionZone::playButton), icon(FunctionZone::pauseIcon));

    player.stop();
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return !toolbar.isShowingPause(); }));
    EXPECT_EQ(shownIcon(FunctionZone::playButton), icon(FunctionZone::playIcon));
}

TEST_F(FunctionZoneTest, TheNotesButtonIsMarkedRedWhileTheCourseHasNotes)
{
    auto& notes = toolbar.getButton(FunctionZone::noteButton);
    // The background the button really draws, not only the colour it was given.
    const auto redPixels = [&]
    {
        const auto image = notes.createComponentSnapshot(notes.getLocalBounds(), true, 1.0f);
        int count = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto pixel = image.getPixelAt(x, y);
                count += pixel.getAlpha() > 60 && pixel.getRed() > 150 && pixel.getGreen() < 80 ? 1 : 0;
            }
        return count;
    };
    EXPECT_EQ(redPixels(), 0);

    workspace.controller().setCourseNotes("Phrasal verbs to look up.");
    EXPECT_GT(redPixels(), 29 * 25 / 2);
    EXPECT_TRUE(toolbar.isNoteMarkerShown());

    workspace.controller().setCourseNotes({});
    EXPECT_EQ(redPixels(), 0);
    EXPECT_FALSE(toolbar.isNoteMarkerShown());
}
