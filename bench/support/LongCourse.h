#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <initializer_list>
#include <map>

/** A long recording and course texts of any number of sentences over it, for benchmarks that
    compare small and large courses on the same audio. */
namespace LongCourse
{
/** A mono tone with a syllable-rate swell, written block by block as 16-bit WAV. */
bool writeRecording(const juce::File& target, double seconds, double sampleRate);

/** The course text made by course creation, its single sentence replaced by `count` sentences
    that share the recording evenly, with texts in both languages and some marked unfamiliar. */
bool writeCourseText(const juce::File& created, int count, const juce::File& target);

/** Writes the recording into `folder`, makes it a course by course creation (as for a learner;
    the waveform file stays in the temporary folder) and writes a course text of each sentence
    count over it. The model finds the waveform file by the text's name, so the texts share that
    name and lie in folders of their own. The texts by count; empty, with a message, on failure. */
std::map<int, juce::File> makeCourseTexts(const juce::File& folder, double seconds, double sampleRate,
                                          std::initializer_list<int> counts);

/** The main of a benchmark program over such course texts: in a BenchEnvironment it makes the
    texts, registers the benchmarks of each text with `registerText`, runs those the command line
    asks for and then prints the summary. Returns the program's exit code. */
int runBenchmarks(int argc, char** argv, double seconds, double sampleRate, std::initializer_list<int> counts,
                  const std::function<void(int count, const juce::File& text)>& registerText,
                  const std::function<void()>& printSummary);
} // namespace LongCourse
