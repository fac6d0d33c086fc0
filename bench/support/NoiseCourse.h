#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/** A minute of stereo noise at 44.1 kHz as 16-bit WAV, kept in memory and written to a file, so
    that a benchmark's course reader can be either. Made once per program. */
class NoiseCourse
{
public:
    static constexpr double sampleRate = 44100.0;
    static constexpr int seconds = 60;

    /** A sentence of almost the whole course, so that a run seldom has to seek back. */
    static constexpr juce::int64 sentenceStart = 1000;
    static constexpr juce::int64 sentenceLength = (seconds - 1) * (juce::int64)sampleRate;

    static const NoiseCourse& get();

    std::unique_ptr<juce::AudioFormatReader> open(bool fromFile = false) const;

private:
    NoiseCourse();

    juce::MemoryBlock wav;
    juce::TemporaryFile file{".wav"};
};
