#pragma once

#include "engine/audio/AudioDataPlayer.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The preview strip at the bottom of the side browser: the play position, a position bar, the
    length and a play/pause button over a player of its own.

    It previews a recording, the audio inside courseware (".qzc", a ZIP archive whose audio entry
    is read straight out of the archive) or a track of an audio CD (".cda"). With the repeat
    settings on, a preview is heard that many times in all; when it has ended for good the strip
    sends a change message, on which the browser may go on to the next file.

    The courseware archive is opened from its file, so entries are read from the disk as the
    player needs them (never the whole archive); the archive stays open while the player reads
    from it, and is released only after the player's source has been cleared. */
class BrowserListenComponent : public juce::Component,
                               public juce::ChangeBroadcaster,
                               private juce::Timer,
                               private juce::Slider::Listener,
                               private juce::Button::Listener
{
public:
    BrowserListenComponent();
    ~BrowserListenComponent() override;

    /** Loads a file for preview, stopped at its start; never starts it. Returns whether there is
        something to play: false for the nonexistent file, a file that is not a regular file, and
        one that holds no audio qZ can read (a damaged file, whose preview ends as soon as it is
        started). */
    bool setAudioFile(const juce::File& file);
    const juce::File& getCurrentFile() const { return currentFile; }
    /** Whether a loaded file gave the player something to play. */
    bool hasAudio() const { return player.readerSource != nullptr; }

    /** Plays the loaded audio. A damaged file ends at once, with the end-of-preview message, so a
        play-through goes on past it; with nothing loaded, or a file that isn't a regular file,
        nothing happens. */
    void start();
    void stop();

    /** The colour of the time and length texts. */
    void setColour(const juce::Colour& colour);
    /** Enables or disables the strip; the position bar is half transparent while disabled. */
    void setEnabled(bool shouldBeEnabled);

    void paint(juce::Graphics& g) override;
    void resized() override;

    // For the tests: the parts of the strip.
    juce::Label& getTimeLabel() { return timeLabel; }
    juce::Label& getLengthLabel() { return lengthLabel; }
    juce::Slider& getPositionSlider() { return positionSlider; }
    juce::DrawableButton& getPlayButton() { return playButton; }
    AudioDataPlayer& getPlayer() { return player; }

private:
    void timerCallback() override;
    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;
    void drawPlayButton(bool play);
    /** The player's source from the courseware's audio entry, keeping the archive open. */
    void loadCourseware(const juce::File& file);
    /** Clears the player's source, then lets the archive go. */
    void releaseAudio();

    juce::Label timeLabel;
    juce::Label lengthLabel;
    juce::Slider positionSlider;
    juce::DrawableButton playButton{{}, juce::DrawableButton::ImageRaw};
    AudioDataPlayer player;
    juce::File currentFile;
    int repeatCount = 0;
    /** The loaded file is a regular file without playable audio. */
    bool damaged = false;
    /** The opened courseware that the player reads from; null otherwise. */
    std::unique_ptr<juce::ZipFile> courseware;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BrowserListenComponent)
};
