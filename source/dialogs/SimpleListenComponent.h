#pragma once

#include "engine/audio/AudioDataPlayer.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The little player of the course library's Listen and Retell call-outs: it starts playing at
    once, shows the position and the length, seeks with its bar, and closes its call-out box when
    the audio has played to its end.

    The audio is read from inside a course archive while it plays, on the player's read-ahead
    thread: the box owns the opened archive as well as the reader, and lets the archive go only
    after the player's source has been cleared. */
class SimpleListenComponent : public juce::Component, private juce::Timer, private juce::Slider::Listener
{
public:
    /** Takes ownership of the reader and of the archive it reads from (null when it reads from
        anything else). */
    SimpleListenComponent(juce::AudioFormatReader* reader, std::unique_ptr<juce::ZipFile> archive = {});
    ~SimpleListenComponent() override;

    void paint(juce::Graphics& g) override;

    AudioDataPlayer& getPlayer() const { return *player; }
    juce::Label& getTimeLabel() const { return *timeLabel; }
    juce::Label& getLengthLabel() const { return *lengthLabel; }
    juce::Slider& getPositionSlider() const { return *positionSlider; }

private:
    void timerCallback() override;
    void sliderValueChanged(juce::Slider* slider) override;

    // Declared first, so that it goes last of all.
    std::unique_ptr<juce::ZipFile> archive;

    std::unique_ptr<juce::Label> timeLabel;
    std::unique_ptr<juce::Label> lengthLabel;
    std::unique_ptr<juce::Slider> positionSlider;
    std::unique_ptr<AudioDataPlayer> player;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SimpleListenComponent)
};
