#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <functional>

/** Stands in for an audio device in tests and measures what players produce: runs a device
    callback block by block into buffers the test owns, finds the end and the pitch of what came
    out, and follows a transport that plays on a real device. */
class PlaybackProbe
{
public:
    /** Random samples, different in every channel, so that any offset or swap shows. */
    static juce::AudioBuffer<float> noise(int numChannels, int length);

    /** Runs numBlocks callbacks of blockSize frames into numChannels outputs with no inputs, and
        returns the blocks one after the other. */
    static juce::AudioBuffer<float> pull(juce::AudioIODeviceCallback& callback, int numChannels,
                                         int numBlocks, int blockSize);

    /** One past the last sample in which any channel exceeds the threshold in magnitude, or 0. */
    static int endOfSound(const juce::AudioBuffer<float>& samples, float threshold);

    /** The frequency of a tone in one channel, from its rising zero crossings between two samples. */
    static double frequencyOf(const juce::AudioBuffer<float>& samples, int channel, int start, int end,
                              double sampleRate);

    /** Pumps the message loop until the condition holds or the time is up; true when it holds. */
    static bool pumpUntil(const std::function<bool()>& condition, int timeoutMs);

    /** What was seen of a transport playing on a running device. */
    struct Progress
    {
        /** The condition held before the time was up. */
        bool ended = false;
        /** A position inside the first 90 % of the length, past its start, was seen. */
        bool seenPartWay = false;
        /** The most the position ran ahead of the wall clock since following began, in seconds:
            a paced device never plays ahead of it, a slow machine only falls behind. */
        double mostAheadOfClock = -1.0;
    };

    /** Call right after starting the transport: pumps the message loop, watching its position,
        until the condition holds or the time is up. */
    static Progress follow(const juce::AudioTransportSource& transport, const std::function<bool()>& ended,
                           int timeoutMs);

    /** Follows a transport just started until `finished` holds, and checks a play to the end on
        a paced device: it ended in time, the position was seen part-way, and it never ran ahead
        of the clock. */
    static void expectPlaysThrough(const juce::AudioTransportSource& transport,
                                   const std::function<bool()>& finished, int timeoutMs);
};
