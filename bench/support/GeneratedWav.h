#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <functional>

/** Long generated recordings for benchmarks, written block by block so that none sits whole in
    memory. */
namespace GeneratedWav
{
/** Fills a block (sized to the samples it holds) whose first sample is the recording's
    firstSample. */
using Renderer = std::function<void(juce::AudioBuffer<float>& block, juce::int64 firstSample)>;

/** Writes `seconds` of what the renderer makes as a 16-bit WAV file, replacing the target. */
bool write(const juce::File& target, double sampleRate, int numChannels, double seconds,
           const Renderer& render);
} // namespace GeneratedWav
