#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A slider that leaves the mouse wheel to its parent: on a scrolling panel of sliders the wheel
    scrolls the panel wherever the pointer is, and never changes a value by accident. */
class LinearbarSliderWithoutMouseWheel : public juce::Slider
{
public:
    LinearbarSliderWithoutMouseWheel() = default;

    void mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel) override;
};
