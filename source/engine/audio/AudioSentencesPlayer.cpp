#include "engine/audio/AudioSentencesPlayer.h"

#include "engine/audio/AudioDeviceCheck.h"

namespace
{
// The transport mixes what it reads into the device's first two channels at most.
constexpr int maxChannels = 2;
} // namespace

AudioSentencesPlayer::AudioSentencesPlayer()
{
    valueInit();
    transportSource.addChangeListener(this);
    sourcePlayer.setSource(&transportSource);
}

AudioSentencesPlayer::~AudioSentencesPlayer()
{
    transportSource.removeChangeListener(this);
    transportSource.stop();
    transportSource.setSource(nullptr);
    effectSource.reset();
}

void AudioSentencesPlayer::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source == &transportSource)
        listeners.call([this](Listener& l) { l.sentenceFinished(this); });
}

void AudioSentencesPlayer::valueInit()
{
    // Detached like every other stop: clearing the workspace while a sentence plays must not
    // report that sentence as finished to a controller that has no course any more.
    detached(
        [this]
        {
            transportSource.stop();
            transportSource.setSource(nullptr);
        });
    effectSource.reset();
    gain = 1.0f;
}

void AudioSentencesPlayer::setAudioSource(juce::AudioFormatReader* reader)
{
    transportSource.removeChangeListener(this);
    const bool wasPlaying = transportSource.isPlaying();
    transportSource.stop();
    transportSource.setSource(nullptr);

    if (reader == nullptr)
    {
        effectSource.reset();
        stop(); // attaches the player again
        return;
    }

    effectSource = std::make_unique<EffectAudioSource>(reader, true, gain.load());
    // No read-ahead: the sentence is read inside the device callback, so it is heard at once.
    transportSource.setSource(effectSource.get(), 0, nullptr, reader->sampleRate, maxChannels);

    if (wasPlaying)
        transportSource.start();

    transportSource.addChangeListener(this);
}

bool AudioSentencesPlayer::start(double seconds)
{
    if (!AudioDeviceCheck::canPlay())
        return false;
    detached(
        [this, seconds]
        {
            if (seconds >= 0.0)
                transportSource.setPosition(seconds);
            transportSource.start();
            listeners.call([this](Listener& l) { l.playerStarted(this); });
        });
    return true;
}

void AudioSentencesPlayer::stop()
{
    detached(
        [this]
        {
            transportSource.stop();
            listeners.call([this](Listener& l) { l.playerStopped(this); });
        });
}
