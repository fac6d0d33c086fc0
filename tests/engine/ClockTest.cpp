// The test hook that fixes "now" for a whole run of the built program, and the text it reads.
#include "engine/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Clock, TestNowTextsReadAsLocalTimeAndAnythingElseIsRefused)
{
    const struct
    {
        const char* text;
        bool valid;
        juce::Time expected;
    } cases[] = {
        {"2030-01-10T12:00", true, juce::Time(2030, 0, 10, 12, 0, 0, 0, true)},
        {"2030-01-10T08:05:30", true, juce::Time(2030, 0, 10, 8, 5, 30, 0, true)},
        {"2030-12-31", true, juce::Time(2030, 11, 31, 0, 0, 0, 0, true)},
        {"", false, {}},
        {"tomorrow", false, {}},
        {"2030-13-01", false, {}},
        {"2030-01-10T25:00", false, {}},
        {"2030-01-10 12:00", false, {}},
    };
    for (const auto& c : cases)
    {
        const auto parsed = Clock::parseLocalTime(c.text);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.text;
        if (c.valid)
        {
            EXPECT_EQ(*parsed, c.expected) << c.text;
        }
    }
}

TEST(Clock, TheTestNowVariableCountsOnlyInATestRun)
{
    setenv("QZ_TEST_NOW", "2030-01-10T12:00", 1);
    setenv("QZ_TEST", "0", 1);
    EXPECT_FALSE(Clock::applyTestNowFromEnvironment());
    EXPECT_NE(Clock::now().getYear(), 2030);

    setenv("QZ_TEST", "1", 1);
    EXPECT_TRUE(Clock::applyTestNowFromEnvironment());
    EXPECT_EQ(Clock::now(), juce::Time(2030, 0, 10, 12, 0, 0, 0, true));
    unsetenv("QZ_TEST_NOW");
}
