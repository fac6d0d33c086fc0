#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

/** Makes audio inputs for tests at test time: generated signals, written with the framework's
    WAV writer, and encodings of them made with Debian's command-line tools (lame, sox, flac). */
class AudioFixtures
{
public:
    /** Silence, then a sine starting at phase 0, the same in every channel: the onset is the first
        sample of the tone, so it can be found again in a decoded copy. */
    static juce::AudioBuffer<float> silenceThenSine(int numChannels, double sampleRate, double silenceSeconds,
                                                    double toneSeconds, double frequency, float gain);

    /** Speech and pauses, mono: each length in samples is a stretch of a 440 Hz tone at half scale
        (voiced) or a pause, the two taking turns from a voiced stretch on. A pause holds exact
        zeros, or noise of that amplitude; the noise is the same on every run. */
    static juce::AudioBuffer<float> voicedAndPauses(double sampleRate, const std::vector<int>& lengths,
                                                    float pauseNoise = 0.0f);

    /** Writes the samples as a 16-bit WAV file, replacing the file. False when it can't be written. */
    static bool writeWav(const juce::File& file, const juce::AudioBuffer<float>& samples, double sampleRate);

    /** A mono 440 Hz tone at half scale from its first sample, of that length at 44.1 kHz, as a
        16-bit WAV file, replacing the file. False when it can't be written. */
    static bool writeTone(const juce::File& file, double seconds);
    /** The same tone under that name in the home folder; a failed write fails the test. */
    static juce::File writeHomeTone(const juce::String& name, double seconds);

    /** Runs a command-line tool (the first argument, found on the PATH) and waits for it. True when
        it ends with exit code 0; its output (stdout and stderr) goes to `output` if given. */
    static bool runTool(const juce::StringArray& arguments, juce::String* output = nullptr);

    /** The first sample in which any channel exceeds the threshold in magnitude, or -1. */
    static int firstSampleAbove(const juce::AudioBuffer<float>& samples, float threshold);
};
