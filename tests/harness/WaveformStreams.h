#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

/** The waveform overview stream as the framework itself makes it, to hold qZ's waveform files
    against. */
class WaveformStreams
{
public:
    /** The stream that the framework's own overview (AudioThumbnail at 64 samples per point,
        loading through `formats`) makes of the audio, as it saves it; or (compressed) what saving
        it through a level-9 zlib stream gives. */
    static juce::MemoryBlock frameworkOverviewOf(const juce::File& audio, juce::AudioFormatManager& formats,
                                                 bool compressed = false);

    /** A waveform file's stream, decompressed as the course model reads it. */
    static juce::MemoryBlock decompressed(const juce::File& smg);

    /** Where two streams first differ ("equal" when they don't), for failure messages. */
    static juce::String firstDifference(const juce::MemoryBlock& a, const juce::MemoryBlock& b);
};
