#include "engine/audio/AudioDataPlayer.h"

#include "engine/audio/AudioDeviceCheck.h"
#include "workspace/Main.h"

namespace
{
constexpr int readAheadSamples = 32768;
constexpr int maxChannels = 2;
} // namespace

AudioDataPlayer::AudioDataPlayer()
{
    // 3 on the old 0..10 scale, below the normal 5: the 32768-sample buffer leaves the reader
    // plenty of slack, so it yields to the interface.
    readAheadThread.startThread(juce::Thread::Priority::low);
    transportSource.addChangeListener(this);
    sourcePlayer.setSource(&transportSource);

    // Without a device manager (or a device) the player is silent but otherwise works.
    if (deviceManager != nullptr)
        deviceManager->addAudioCallback(&sourcePlayer);
}

AudioDataPlayer::~AudioDataPlayer()
{
    if (deviceManager != nullptr)
        deviceManager->removeAudioCallback(&sourcePlayer);

    transportSource.stop();
    transportSource.setSource(nullptr);
    transportSource.removeChangeListener(this);
    sourcePlayer.setSource(nullptr);
    readerSource.reset();
    readAheadThread.stopThread(1000);
}

void AudioDataPlayer::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source == &transportSource && !transportSource.isPlaying())
        listeners.call([this](Listener& l) { l.playFinished(this); });
}

void AudioDataPlayer::setAudioSource(juce::AudioFormatReader* reader)
{
    // Still attached: replacing a playing source reports it as finished, later, unless the owner
    // has started the new one by then.
    transportSource.stop();
    transportSource.setSource(nullptr);

    if (reader == nullptr)
    {
        readerSource.reset();
        return;
    }

    readerSource = std::make_unique<juce::AudioFormatReaderSource>(reader, true);
    transportSource.setSource(readerSource.get(), readAheadSamples, &readAheadThread, reader->sampleRate,
                              maxChannels);
}

void AudioDataPlayer::setAudioSource(const juce::File& file)
{
    setAudioSource(formatManager != nullptr ? formatManager->createReaderFor(file) : nullptr);
}

bool AudioDataPlayer::start()
{
    if (!AudioDeviceCheck::canPlay())
        return false;
    transportSource.removeChangeListener(this);
    transportSource.start();
    listeners.call([this](Listener& l) { l.playerStarted(this); });
    transportSource.addChangeListener(this);
    return true;
}

void AudioDataPlayer::stop()
{
    transportSource.removeChangeListener(this);
    transportSource.stop();
    listeners.call([this](Listener& l) { l.playerStopped(this); });
    transportSource.addChangeListener(this);
}
