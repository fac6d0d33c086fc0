#pragma once

#include <juce_core/juce_core.h>

#include <optional>

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

    /** For end-to-end tests of the built program, which can't call setFixedTime: with the
        environment variables QZ_TEST=1 and QZ_TEST_NOW=2030-01-10T12:00 (local time; the time of
        day may be left out), "now" is fixed at that moment for the whole run. Without QZ_TEST=1
        the variable is ignored, so a learner's qZ never follows it. True when it was applied. */
    static bool applyTestNowFromEnvironment();

    /** "2030-01-10T12:00", "2030-01-10T12:00:30" or "2030-01-10" as local time; nullopt for
        anything else. */
    static std::optional<juce::Time> parseLocalTime(const juce::String& text);

private:
    static std::optional<juce::Time> fixedTime;
    static std::optional<juce::uint32> fixedCounter;
};
