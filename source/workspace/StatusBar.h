#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The status line at the bottom of the learning area: six numbers about the open course that
    the controller writes, shown as far as the width allows. */
class StatusBar : public juce::Component
{
public:
    enum TextType
    {
        unfamiliarCount = 0,
        sentenceCount = 1,
        selectedNumber = 2,
        selectedLength = 3,
        playPosition = 4,
        courseLength = 5
    };

    StatusBar();
    ~StatusBar() override;

    void setInfo(int type, const juce::String& text);
    juce::String getInfo(int type) const;
    void resetTimeLabels();
    void applySystemColour();

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    juce::Label& label(int index) const { return *labels.getUnchecked(index); }
    void showOnly(std::initializer_list<int> visible);

    juce::OwnedArray<juce::Label> labels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(StatusBar)
};
