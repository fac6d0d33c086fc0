#include "harness/SentenceReports.h"

void SentenceReports::hasBeenSelected(SentenceComponent*)
{
    log.add("selected");
}

void SentenceReports::setPlayPosition(SentenceComponent*, int x)
{
    log.add("play " + juce::String(x));
}

void SentenceReports::hasBeenEnterTransModal(SentenceComponent*)
{
    log.add("entered");
}

void SentenceReports::reviewSuccessed(SentenceComponent*, bool counted)
{
    log.add("successed " + juce::String(counted ? 1 : 0));
}

void SentenceReports::reviewFailed(SentenceComponent*)
{
    log.add("failed");
}

juce::MouseEvent mouseEventOn(juce::Component& on, const juce::ModifierKeys& mods, int clicks)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::Point<float> at(10.0f, 10.0f);
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, mods,
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            at, now, clicks, false);
}
