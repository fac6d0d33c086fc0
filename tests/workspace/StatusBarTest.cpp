// The status bar: which labels fit into which width and where they go, what the controller's
// texts look like, and the text colour from the settings.
#include "workspace/StatusBar.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include "harness/ProcessWideObjects.h"

#include <gtest/gtest.h>

namespace
{
const int separatorA = 6;
const int separatorB = 7;

class StatusBarTest : public testing::Test
{
protected:
    StatusBarTest() { bar.setSize(1000, 30); }

    juce::Label& label(int index) const { return dynamic_cast<juce::Label&>(*bar.getChildComponent(index)); }

    juce::String visibleLabels() const
    {
        juce::String shown;
        for (int i = 0; i < bar.getNumChildComponents(); ++i)
            if (label(i).isVisible())
                shown << i;
        return shown;
    }

    ProcessWideObjects objects;
    StatusBar bar;
};
} // namespace

TEST_F(StatusBarTest, EachWidthShowsTheLabelsThatFitAndPlacesThem)
{
    struct Case
    {
        int width;
        const char* visible; // label indexes in order
        int playPositionRight;
    };
    // The right group ends 5 px from the edge; the play position alone ends 10 px from it.
    for (const auto c : {Case{830, "01234567", 830 - 5 - 70 - 15}, Case{829, "23457", 829 - 5 - 70 - 15},
                         Case{740, "23457", 740 - 5 - 70 - 15}, Case{739, "234", 739 - 10},
                         Case{650, "234", 650 - 10}, Case{649, "4", 649 - 10}, Case{600, "4", 600 - 10}})
    {
        bar.setSize(c.width, 30);
        EXPECT_EQ(visibleLabels(), c.visible) << c.width;
        EXPECT_EQ(label(StatusBar::playPosition).getRight(), c.playPositionRight) << c.width;
        for (int i = 0; i < 8; ++i)
        {
            if (label(i).isVisible())
            {
                EXPECT_EQ(label(i).getY(), 5) << c.width << " label " << i;
            }
        }
    }

    bar.setSize(830, 30);
    // Left group from x = 0: selected number, its length, the unfamiliar count, "/" and the count.
    int x = 0;
    const int leftGroup[] = {StatusBar::selectedNumber, StatusBar::selectedLength, StatusBar::unfamiliarCount,
                             separatorA, StatusBar::sentenceCount};
    for (int i : leftGroup)
    {
        EXPECT_EQ(label(i).getX(), x) << "label " << i;
        x = label(i).getRight();
    }
    EXPECT_EQ(label(StatusBar::courseLength).getRight(), 825);
    EXPECT_EQ(label(separatorB).getRight(), label(StatusBar::courseLength).getX());
    EXPECT_EQ(label(StatusBar::playPosition).getRight(), label(separatorB).getX());
}

TEST_F(StatusBarTest, TextsWrittenWhileNothingFitsShowWhenTheBarWidensAgain)
{
    bar.setSize(599, 30);
    EXPECT_EQ(visibleLabels(), "");
    bar.setInfo(StatusBar::playPosition, "1:23.45");
    bar.setInfo(StatusBar::unfamiliarCount, "7");

    bar.setSize(830, 30);
    EXPECT_EQ(visibleLabels(), "01234567");
    EXPECT_EQ(label(StatusBar::playPosition).getText(), "1:23.45");
    EXPECT_EQ(label(StatusBar::unfamiliarCount).getText(), "7");
}

TEST_F(StatusBarTest, TheSelectedNumberGetsADashAndTheResetClearsEveryField)
{
    bar.setInfo(StatusBar::selectedNumber, "1");
    bar.setInfo(StatusBar::selectedLength, "0:02.50");
    bar.setInfo(separatorA, "x"); // not a field: ignored
    EXPECT_EQ(label(StatusBar::selectedNumber).getText(), "1 -");
    EXPECT_EQ(label(StatusBar::selectedLength).getText(), "0:02.50");
    EXPECT_EQ(label(separatorA).getText(), "/");

    bar.resetTimeLabels();
    const char* expected[] = {"0", "0", "0", "00:00.00", "00:00.00", "00:00.00", "/", "/"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(label(i).getText(), expected[i]) << "label " << i;
}

TEST_F(StatusBarTest, TheSettingsTextColourRecoloursEveryLabelWithTheSeparators)
{
    systemModel->statusbarTextColour = juce::Colour(0xff12ab34);
    bar.applySystemColour();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(label(i).findColour(juce::Label::textColourId), juce::Colour(0xff12ab34)) << "label " << i;
}
