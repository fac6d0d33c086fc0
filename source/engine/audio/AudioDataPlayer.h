#pragma once

#include "engine/ListenerArray.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>

/** A self-contained player of one audio file or reader, for the windows that preview audio.

    Its source player is registered with the process-wide device manager for the player's whole
    life, so it is heard as soon as it starts, mixed with every other callback; it reads ahead on a
    thread of its own, so long files and files inside archives stay out of the device callback.

    The transport is public: owners read its position and length in seconds and seek it directly.
    Everything but the audio pull runs on the message thread. */
class AudioDataPlayer : public juce::ChangeListener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        /** The transport stopped by itself: at the end of the file, or after its source was replaced. */
        virtual void playFinished(AudioDataPlayer* player) = 0;
        virtual void playerStarted(AudioDataPlayer* player) = 0;
        virtual void playerStopped(AudioDataPlayer* player) = 0;
    };

    AudioDataPlayer();
    ~AudioDataPlayer() override;

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    /** Loads a reader, taking ownership of it; null leaves the player empty. Always stopped at
        position 0 afterwards. */
    void setAudioSource(juce::AudioFormatReader* reader);
    /** Loads a file through the process-wide format manager; one it can't read leaves the player empty. */
    void setAudioSource(const juce::File& file);

    /** Plays from the current position; it does not rewind after the end. False, and nothing
        played, when there is no audio device (the learner is told). */
    bool start();
    void stop();

    void addListener(Listener* listener) { listeners.add(listener); }
    void removeListener(Listener* listener) { listeners.remove(listener); }

    juce::AudioTransportSource transportSource;
    juce::AudioSourcePlayer sourcePlayer;
    juce::TimeSliceThread readAheadThread{"AudioDataPlayer's TimeSliceThread"};
    /** The loaded reader's source (it owns the reader); null when nothing is loaded. */
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;

private:
    ListenerArray<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AudioDataPlayer)
};
