#pragma once

#include "engine/ListenerArray.h"
#include "engine/audio/EffectAudioSource.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>

/** Plays one sentence of the open course at a time through a gain stage, and tells its listeners
    when playing started, when it was stopped and when a sentence has played to its end.

    It has no device connection of its own: the mixer panel's device callback drives sourcePlayer,
    so the sentence audio is heard only while that panel exists. Repetitions, pauses and moving on
    are the course controller's; the player only reports the natural end of a sentence.

    The transport is public: the controller reads the playing state, the length and the position
    (in seconds from the start of the cued sentence) and seeks it directly. Everything but the
    audio pull runs on the message thread. */
class AudioSentencesPlayer : public juce::ChangeListener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        /** The cued sentence has played to its end (never after a stop). */
        virtual void sentenceFinished(AudioSentencesPlayer* player) = 0;
        virtual void playerStarted(AudioSentencesPlayer* player) = 0;
        virtual void playerStopped(AudioSentencesPlayer* player) = 0;
    };

    AudioSentencesPlayer();
    ~AudioSentencesPlayer() override;

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    /** Stops, forgets the cued sentence and puts the gain back to 1.0. */
    void valueInit();

    /** Cues a sentence, taking ownership of its reader; null leaves nothing cued and reports a stop.
        A player that was playing goes on with the new sentence from its start, telling no one. */
    void setAudioSource(juce::AudioFormatReader* reader);

    /** Plays from the position in seconds, or from where it stands when the position is negative.
        False, and nothing played, when there is no audio device (the learner is told). */
    bool start(double seconds);
    void stop();

    void addListener(Listener* listener) { listeners.add(listener); }
    void removeListener(Listener* listener) { listeners.remove(listener); }

    juce::AudioTransportSource transportSource;
    /** Never registered with the device manager: the mixer panel forwards its device callback. */
    juce::AudioSourcePlayer sourcePlayer;
    /** The cued sentence's gain stage; null when nothing is cued. */
    std::unique_ptr<EffectAudioSource> effectSource;

private:
    ListenerArray<Listener> listeners;

    /** Runs a transport operation with the player detached from the transport's change messages,
        so that the only change message that reaches it is the one for a sentence's natural end. */
    template <typename Operation> void detached(Operation&& operation)
    {
        transportSource.removeChangeListener(this);
        operation();
        transportSource.addChangeListener(this);
    }

public:
    /** Linear factor given to every newly cued sentence; the mixer panel writes it together with
        the cued sentence's own gain. */
    std::atomic<float> gain{1.0f};

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AudioSentencesPlayer)
};
