#include "engine/audio/SilenceAudioSource.h"

SilenceAudioSource::SilenceAudioSource(juce::int64 lengthInSamples) : length(lengthInSamples) {}

SilenceAudioSource::~SilenceAudioSource() = default;

void SilenceAudioSource::prepareToPlay(int, double) {}

void SilenceAudioSource::releaseResources() {}

void SilenceAudioSource::getNextAudioBlock(const juce::AudioSourceChannelInfo& info)
{
    info.clearActiveBufferRegion();
}

void SilenceAudioSource::setNextReadPosition(juce::int64) {}

juce::int64 SilenceAudioSource::getNextReadPosition() const
{
    return 0;
}

juce::int64 SilenceAudioSource::getTotalLength() const
{
    return length;
}

bool SilenceAudioSource::isLooping() const
{
    return false;
}
