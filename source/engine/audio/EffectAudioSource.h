#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>

/** The gain stage of sentence playback and of rendering: plays a reader and multiplies every block
    by a gain. A change of gain is spread linearly over one block's worth of samples, so it never
    clicks.

    The ramp runs over the block size given to prepareToPlay, not over whatever the caller asks for
    next: in front of a device the transport's resampler pulls this source in pieces cut by its own
    ring buffer (a few samples, then the rest), and a ramp over such a piece would be a step.
    Unprepared, a ramp runs over the next block asked for.

    The gain may be written from any thread at any time; it is read once per block. */
class EffectAudioSource : public juce::PositionableAudioSource
{
public:
    /** Plays the reader, deleting it with the source when told to. Both the gain and the gain the
        first block starts at are initialGain, so a source made for a muted or amplified player is
        at that level from its first sample. */
    EffectAudioSource(juce::AudioFormatReader* reader, bool deleteReaderWhenDeleted,
                      float initialGain = 1.0f);
    ~EffectAudioSource() override;

    /** Sets the gain as the level from the next block's first sample on, with no ramp from the
        previous gain: for a source that has not played yet, such as a piece queued for rendering,
        which must start at its own level. */
    void setGainWithoutRamp(float newGain);

    void prepareToPlay(int samplesPerBlockExpected, double sampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock(const juce::AudioSourceChannelInfo& info) override;
    void setNextReadPosition(juce::int64 newPosition) override;
    juce::int64 getNextReadPosition() const override;
    juce::int64 getTotalLength() const override;
    bool isLooping() const override;

private:
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;
    // Held while a block is produced, and while the position moves, so a seek never lands in the
    // middle of a block.
    juce::CriticalSection lock;
    // The gain at which the previous block ended, and the ramp in progress towards rampTarget;
    // touched only while a block is produced.
    float lastGain;
    float rampTarget;
    float rampStep = 0.0f;
    int rampRemaining = 0;
    int rampLength = 0;

    void applyGain(const juce::AudioSourceChannelInfo& info);

public:
    /** Linear factor. */
    std::atomic<float> gain;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(EffectAudioSource)
};
