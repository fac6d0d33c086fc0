#pragma once

#include <juce_core/juce_core.h>

/** One point of the framework's waveform overview: the smallest and largest value of a span of
    samples of one channel, as AudioThumbnail keeps and saves it. */
class WaveformPoint
{
public:
    /** Scaled to 127, rounded, and never equal (a flat point still shows a line). */
    static void store(juce::int8* dest, juce::Range<float> range);

    /** The extremes of integer samples (scaled to 32 bits), as the framework's reader gives them
        in floating point. */
    static juce::Range<float> fromIntegers(int low, int high);
};
