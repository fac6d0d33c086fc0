#include "engine/audio/EffectAudioSource.h"

EffectAudioSource::EffectAudioSource(juce::AudioFormatReader* reader, bool deleteReaderWhenDeleted,
                                     float initialGain)
    : readerSource(std::make_unique<juce::AudioFormatReaderSource>(reader, deleteReaderWhenDeleted)),
      lastGain(initialGain), rampTarget(initialGain), gain(initialGain)
{
}

EffectAudioSource::~EffectAudioSource() = default;

void EffectAudioSource::setGainWithoutRamp(float newGain)
{
    const juce::ScopedLock sl(lock);
    gain = newGain;
    lastGain = newGain;
    rampTarget = newGain;
    rampRemaining = 0;
}

void EffectAudioSource::prepareToPlay(int samplesPerBlockExpected, double sampleRate)
{
    const juce::ScopedLock sl(lock);
    rampLength = samplesPerBlockExpected;
    readerSource->prepareToPlay(samplesPerBlockExpected, sampleRate);
}

void EffectAudioSource::releaseResources()
{
    readerSource->releaseResources();
}

void EffectAudioSource::getNextAudioBlock(const juce::AudioSourceChannelInfo& info)
{
    const juce::ScopedLock sl(lock);
    readerSource->getNextAudioBlock(info);
    applyGain(info);
}

void EffectAudioSource::applyGain(const juce::AudioSourceChannelInfo& info)
{
    // One read per block: a change made while the block is produced takes effect with the next.
    const float target = gain.load(std::memory_order_relaxed);

    if (target != rampTarget)
    {
        rampTarget = target;
        rampRemaining = rampLength > 0 ? rampLength : info.numSamples;
        rampStep = (target - lastGain) / (float)juce::jmax(1, rampRemaining);
    }

    const int ramped = juce::jmin(rampRemaining, info.numSamples);
    const float rampEnd = ramped == rampRemaining ? rampTarget : lastGain + rampStep * (float)ramped;
    auto& buffer = *info.buffer;

    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
    {
        buffer.applyGainRamp(channel, info.startSample, ramped, lastGain, rampEnd);
        buffer.applyGain(channel, info.startSample + ramped, info.numSamples - ramped, rampEnd);
    }

    lastGain = rampEnd;
    rampRemaining -= ramped;
}

void EffectAudioSource::setNextReadPosition(juce::int64 newPosition)
{
    const juce::ScopedLock sl(lock);
    readerSource->setNextReadPosition(newPosition);
}

juce::int64 EffectAudioSource::getNextReadPosition() const
{
    const juce::ScopedLock sl(lock);
    return readerSource->getNextReadPosition();
}

juce::int64 EffectAudioSource::getTotalLength() const
{
    return readerSource->getTotalLength();
}

bool EffectAudioSource::isLooping() const
{
    return readerSource->isLooping();
}
