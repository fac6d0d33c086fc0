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

std::optional<juce::Time> Clock::parseLocalTime(const juce::String& text)
{
    const auto trimmed = text.trim();
    const auto date =
        juce::StringArray::fromTokens(trimmed.upToFirstOccurrenceOf("T", false, false), "-", "");
    const auto time =
        juce::StringArray::fromTokens(trimmed.fromFirstOccurrenceOf("T", false, false), ":", "");
    if (date.size() != 3 || time.size() > 3 || !trimmed.containsOnly("0123456789-T:"))
        return std::nullopt;

    int fields[6] = {};
    for (int i = 0; i < 3; ++i)
        fields[i] = date[i].getIntValue();
    for (int i = 0; i < time.size(); ++i)
        fields[3 + i] = time[i].getIntValue();
    if (fields[1] < 1 || fields[1] > 12 || fields[2] < 1 || fields[2] > 31 || fields[3] > 23 ||
        fields[4] > 59 || fields[5] > 59)
        return std::nullopt;
    return juce::Time(fields[0], fields[1] - 1, fields[2], fields[3], fields[4], fields[5], 0, true);
}

bool Clock::applyTestNowFromEnvironment()
{
    if (juce::SystemStats::getEnvironmentVariable("QZ_TEST", {}) != "1")
        return false;
    const auto fixed = parseLocalTime(juce::SystemStats::getEnvironmentVariable("QZ_TEST_NOW", {}));
    if (!fixed.has_value())
        return false;
    setFixedTime(*fixed);
    return true;
}
