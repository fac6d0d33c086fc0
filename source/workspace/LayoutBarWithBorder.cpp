#include "workspace/LayoutBarWithBorder.h"

LayoutBarWithBorder::LayoutBarWithBorder(juce::StretchableLayoutManager* layoutToResize, int barIndex,
                                         bool vertical)
    : StretchableLayoutResizerBar(layoutToResize, barIndex, vertical)
{
}

void LayoutBarWithBorder::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::whitesmoke);
}
