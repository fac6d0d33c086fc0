#pragma once

#include <juce_core/juce_core.h>

#include <functional>

/** An hour-long speech-like recording for the benchmarks of decode-bound jobs, and its encodings
    and peers' timings made with Debian's command-line tools. */
namespace SpeechRecording
{
constexpr double sampleRate = 44100.0;
constexpr int numChannels = 2;

/** How the voice comes and goes: cycles of `voicedSeconds` of voice, then near silence until the
    cycle of `cycleSeconds` ends. */
struct Rhythm
{
    double cycleSeconds = 6.5;
    double voicedSeconds = 5.0;
};

/** Writes `seconds` of speech-like stereo audio at 44.1 kHz as 16-bit WAV, block by block (voiced
    stretches of a wandering pitch with harmonics, a syllable envelope and a little breath noise,
    separated by pauses of faint noise). */
bool writeWav(const juce::File& target, double seconds, Rhythm rhythm);

/** Encodes the WAV file into the format that the target's extension names (mp3, flac, ogg) with
    lame, flac or oggenc. */
bool encode(const juce::File& wav, const juce::File& target);

/** How long something took: on the clock, and on the processors (user and system time of every
    thread). On a machine that others load too, the processor time shows the work done when the
    clock shows mostly the wait for a processor. Negative when it failed. */
struct Timing
{
    double wall = -1.0;
    double cpu = -1.0;

    bool succeeded() const { return wall >= 0.0; }
    /** Each figure the least of the two. */
    Timing fastest(const Timing& other) const;
};

/** Times something this program does (every thread of it counts towards the processor time). */
Timing timeOwn(const std::function<bool()>& work);

/** One run of a command-line tool. Its output is read and dropped so that it never blocks on a
    full pipe. */
Timing timeTool(const juce::StringArray& command);

/** The least of a few runs of timeTool: the tool at its fastest, with the file in the cache. */
Timing fastestTimeOf(const juce::StringArray& command, int runs = 3);

/** The first line of the output of a command, or an empty text. */
juce::String firstLineOf(const juce::StringArray& command);
} // namespace SpeechRecording
