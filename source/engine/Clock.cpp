#include "engine/Clock.h"

std::optional<juce::Time> Clock::fixedTime;

juce::Time Clock::now()
{
    return fixedTime.has_value() ? *fixedTime : juce::Time::getCurrentTime();
}

void Clock::setFixedTime(juce::Time fixed)
{
    fixedTime = fixed;
}

void Clock::clearFixedTime()
{
    fixedTime.reset();
}
