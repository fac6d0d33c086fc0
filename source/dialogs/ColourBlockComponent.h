#pragma once

#include <juce_gui_extra/juce_gui_extra.h>

/** The framework's colour selector with a fixed row of 24 preset swatches, which the learner can
    pick from but not change. */
class ColourSelectorWithPreset : public juce::ColourSelector
{
public:
    ColourSelectorWithPreset();

    int getNumSwatches() const override;
    juce::Colour getSwatchColour(int index) const override;

    /** Fills the presets shared by every selector; the first selector does it. */
    static void setPresetDefaultColour();
    static juce::Array<juce::Colour> colours;
};

/** A clickable colour swatch: a click opens a colour selector in a call-out box beside it, and
    every change made there is copied into the swatch at once and announced by a change message.
    The owner sets `colour` before the swatch shows and reads it when the message comes. */
class ColourBlockComponent : public juce::Component,
                             public juce::ChangeBroadcaster,
                             private juce::ChangeListener
{
public:
    ColourBlockComponent();
    ~ColourBlockComponent() override;

    void mouseUp(const juce::MouseEvent& event) override;
    void paint(juce::Graphics& g) override;

    /** The selector of the call-out box opened last, while that box is open. */
    ColourSelectorWithPreset* getOpenSelector() const { return selector.getComponent(); }

    juce::Colour colour{};

private:
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    // The call-out box owns the selector; a swatch deleted first must not stay its listener.
    juce::Component::SafePointer<ColourSelectorWithPreset> selector;

    JUCE_DECLARE_NON_COPYABLE(ColourBlockComponent)
};
