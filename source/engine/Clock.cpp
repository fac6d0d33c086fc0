#include "engine/Clock.h"

std::optional<juce::Time> Clock::fixedTime;
std::optional<juce::uint32> Clock::fixedCounter;

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
    fixedCounter.reset();
}

juce::uint32 Clock::millisecondCounter()
{
    return fixedCounter.has_value() ? *fixedCounter : juce::Time::getMillisecondCounter();
}

void Clock::setFixedMillisecondCounter(juce::uint32 milliseconds)
{
    fixedCounter = milliseconds;
}
