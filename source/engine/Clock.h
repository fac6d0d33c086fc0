#pragma once

#include <juce_core/juce_core.h>

/** The one source of "now" for due dates, stamps and day folders, so that tests can put the
    system at midnight, tomorrow or ten days later. */
class Clock
{
public:
    Clock() = delete;

    static juce::Time now();

    /** The framework's millisecond counter (wraps after about 49.7 days), or the one a test set. */
    static juce::uint32 millisecondCounter();

    /** Fixes "now" at the given time until clearFixedTime is called. */
    static void setFixedTime(juce::Time fixed);
    static void clearFixedTime();

    /** Fixes the millisecond counter until clearFixedTime is called. */
    static void setFixedMillisecondCounter(juce::uint32 milliseconds);

private:
    static std::optional<juce::Time> fixedTime;
    static std::optional<juce::uint32> fixedCounter;
};
