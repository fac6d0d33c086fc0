#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The movable bar between two parts of the main window, drawn as a plain light strip. */
class LayoutBarWithBorder : public juce::StretchableLayoutResizerBar
{
public:
    LayoutBarWithBorder(juce::StretchableLayoutManager* layoutToResize, int barIndex, bool vertical);

    void paint(juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LayoutBarWithBorder)
};
