#pragma once

#include <juce_core/juce_core.h>

/** The one source of "now" for due dates, stamps and day folders, so that tests can put the
    system at midnight, tomorrow or ten days later. */
class Clock
{
public:
    Clock() = delete;

    static juce::Time now();

    /** Fixes "now" at the given time until clearFixedTime is called. */
    static void setFixedTime(juce::Time fixed);
    static void clearFixedTime();

private:
    static std::optional<juce::Time> fixedTime;
};
