#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** A pause of a fixed number of samples: every block it is asked for is silent. Preparing,
    releasing and moving it change nothing; it reports its position as 0 and never loops. */
class SilenceAudioSource : public juce::PositionableAudioSource
{
public:
    explicit SilenceAudioSource(juce::int64 lengthInSamples);
    ~SilenceAudioSource() override;

    void prepareToPlay(int samplesPerBlockExpected, double sampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock(const juce::AudioSourceChannelInfo& info) override;
    void setNextReadPosition(juce::int64 newPosition) override;
    juce::int64 getNextReadPosition() const override;
    juce::int64 getTotalLength() const override;
    bool isLooping() const override;

private:
    juce::int64 length;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SilenceAudioSource)
};
