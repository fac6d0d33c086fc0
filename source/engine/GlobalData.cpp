#include "engine/GlobalData.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include <limits>

using juce::String;

double GlobalData::widthZoomFactor = 1.0;
double GlobalData::courseAudioSampleRate = 44100.0;
float GlobalData::ampFactor = 1.0f;

// The help and question pages lie on the web site, which is defined first in this file and so is
// set before them.
const String GlobalData::WebSite = "https://www.debian.org/";
const String GlobalData::WebForum = "https://forums.debian.net/";
const String GlobalData::UserHelp = GlobalData::WebSite + "works/qz/userManual.html";
const String GlobalData::UserQuestion = GlobalData::WebSite + "works/qz/faq.html";

namespace
{
String padded(int value, int digits)
{
    return String(value).paddedLeft('0', digits);
}
} // namespace

double GlobalData::xToSeconds(int x)
{
    return x / double(xOfPerSecond) / widthZoomFactor;
}

int GlobalData::secondsToX(const double& seconds)
{
    return juce::roundToInt(seconds * double(xOfPerSecond) * widthZoomFactor + 1.5e-8);
}

int GlobalData::secondsToSamples(const double& seconds)
{
    return int(seconds * courseAudioSampleRate);
}

double GlobalData::samplesToSeconds(int samples)
{
    return samples / courseAudioSampleRate;
}

int GlobalData::xToSamples(int x)
{
    return int(x * courseAudioSampleRate / double(xOfPerSecond) / widthZoomFactor);
}

int GlobalData::samplesToX(int samples)
{
    return int(samples / courseAudioSampleRate * double(xOfPerSecond) * widthZoomFactor);
}

void GlobalData::resetAllRuningGlobalData()
{
    widthZoomFactor = 1.0;
    courseAudioSampleRate = 44100.0;
    ampFactor = 1.0f;
}

String GlobalData::secondsToCsString(const double& seconds)
{
    // Rounding to centiseconds comes first, so 59.999 s reads 1:00.00.
    const int c = juce::roundToInt(seconds * 100.0);
    return String(c / 6000) + ":" + padded((c / 100) % 60, 2) + "." + padded(c % 100, 2);
}

String GlobalData::secondsToMsString(const double& seconds)
{
    const int m = juce::roundToInt(seconds * 1000.0);
    return String(m / 60000) + ":" + padded((m / 1000) % 60, 2) + "." + padded(m % 1000, 3);
}

String GlobalData::secondsToHmsString(const double& seconds, bool withSeconds)
{
    const int t = juce::roundToInt(seconds);
    String text = String(t / 3600) + TRANS(" hours ") + String((t / 60) % 60) + TRANS(" minutes ");
    if (withSeconds)
        text << String(t % 60) << TRANS(" seconds");
    return text;
}

int GlobalData::getNextIntervalDays(int days, bool ok)
{
    if (days <= 0)
        return systemModel->reviewOnNextDay ? 1 : 2;
    if (days == 1)
        return ok ? 2 : 1;

    static const double factors[] = {1.259, 1.414, 1.618, 1.8, 2.0, 2.5, 3.0};
    const int sequence = systemModel->intervalSequence;
    const double factor = sequence >= 1 && sequence <= 7 ? factors[sequence - 1] : 1.0;
    const double next = ok ? days * factor : days / factor;
    return juce::roundToInt(juce::jlimit(1.0, (double)std::numeric_limits<int>::max(), next));
}
