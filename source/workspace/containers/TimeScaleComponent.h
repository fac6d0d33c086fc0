#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The ruler above the waveform strip. It covers only the visible part of the strip; the strip
    moves it and tells it the time at its left edge. */
class TimeScaleComponent : public juce::Component
{
public:
    TimeScaleComponent();
    ~TimeScaleComponent() override;

    void paint(juce::Graphics& g) override;

    /** The time at the left edge of the visible part, in seconds. */
    double startTime = 0.0;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TimeScaleComponent)
};
