#pragma once

#include <juce_core/juce_core.h>

/** Time-scale values shared by every view and by the course engine, and the conversions between
    samples of the course audio, seconds and pixels on the time axis.

    Only secondsToX rounds (with a tiny bias so that exact halves always go up); every other
    conversion to an integer truncates toward zero. All members live on the message thread. */
class GlobalData
{
public:
    GlobalData() = delete;

    static constexpr int xOfPerSecond = 70;
    static constexpr int scrollBarThickness = 15;
    static constexpr int timerCallbackInterval = 33;
    static constexpr int statusHeight = 30;

    static double widthZoomFactor;
    static double courseAudioSampleRate;
    static float ampFactor;

    static const juce::String WebSite;
    static const juce::String WebForum;
    static const juce::String UserHelp;
    static const juce::String UserQuestion;

    static double xToSeconds(int x);
    static int secondsToX(const double& seconds);
    static int secondsToSamples(const double& seconds);
    static double samplesToSeconds(int samples);
    static int xToSamples(int x);
    static int samplesToX(int samples);

    static void resetAllRuningGlobalData();

    /** The review interval that follows one of that many days, after a right (ok) or a wrong
        answer, by the factor of the interval sequence setting; 0 days gives the first interval, and
        so does a negative count, which only a damaged course text holds. The result is at least
        1 and never overflows. */
    static int getNextIntervalDays(int days, bool ok);

    /** "m:ss.cc" */
    static juce::String secondsToCsString(const double& seconds);
    /** "m:ss.mmm" */
    static juce::String secondsToMsString(const double& seconds);
    /** "h hours m minutes [s seconds]", the words translated. */
    static juce::String secondsToHmsString(const double& seconds, bool withSeconds);
};
