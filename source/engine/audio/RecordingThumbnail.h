#pragma once

#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_basics/juce_gui_basics.h>

/** Draws the waveform of a recording as it grows (its owner hands `thumbnail` to an
    AudioRecorder) or of a saved recording file.

    A growing recording shorter than 30 seconds takes its true share of a 30-second window, so
    the learner sees it advance; longer ones, and any recording with full display on, fill the
    width. No background is painted: owners draw it. */
class RecordingThumbnail : public juce::Component, private juce::ChangeListener
{
public:
    RecordingThumbnail();
    ~RecordingThumbnail() override;

    void paint(juce::Graphics& g) override;

    void setDisplayFullThumbnail(bool displayFull);
    /** Shows a saved recording; a file that doesn't exist shows nothing. */
    void setAudioSource(const juce::File& file);

    /** The seconds that the drawing spans across the width. */
    double getDisplayedSeconds() const;

    juce::AudioThumbnailCache thumbnailCache{3};
    juce::AudioThumbnail thumbnail;
    juce::Colour colour = juce::Colours::green;

private:
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    bool displayFullThumbnail = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(RecordingThumbnail)
};
