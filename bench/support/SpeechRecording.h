#pragma once

#include <juce_core/juce_core.h>

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

/** The wall time of one run of a command-line tool, or a negative value when it failed. The
    tool's output is read and dropped so that it never blocks on a full pipe. */
double timeTool(const juce::StringArray& command);

/** The least of a few runs of timeTool: the tool at its fastest, with the file in the cache. */
double fastestTimeOf(const juce::StringArray& command, int runs = 3);

/** The first line of the output of a command, or an empty text. */
juce::String firstLineOf(const juce::StringArray& command);
} // namespace SpeechRecording
