#pragma once

#include <juce_core/juce_core.h>

/** A long recording and course texts of any number of sentences over it, for benchmarks that
    compare small and large courses on the same audio. */
namespace LongCourse
{
/** A mono tone with a syllable-rate swell, written block by block as 16-bit WAV. */
bool writeRecording(const juce::File& target, double seconds, double sampleRate);

/** The course text made by course creation, its single sentence replaced by `count` sentences
    that share the recording evenly, with texts in both languages and some marked unfamiliar. */
bool writeCourseText(const juce::File& created, int count, const juce::File& target);
} // namespace LongCourse
