// qZ's own alert sound: a short faded tone written into every output of the device callback and
// silence otherwise, heard on a running device, and silent without one.
#include "platform/AlertBeep.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

#include "harness/ProcessWideObjects.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr int channels = 2;
constexpr int blockSize = 512;

/** Runs the callback for that many blocks over outputs that hold garbage, as a device's may, and
    gives back what it wrote, channel by channel. */
std::vector<std::vector<float>> render(AlertBeep& beep, int blocks)
{
    std::vector<std::vector<float>> written(channels);
    juce::AudioBuffer<float> buffer(channels, blockSize);
    for (int b = 0; b < blocks; ++b)
    {
        for (int c = 0; c < channels; ++c)
            juce::FloatVectorOperations::fill(buffer.getWritePointer(c), 0.75f, blockSize);
        beep.audioDeviceIOCallbackWithContext(nullptr, 0, buffer.getArrayOfWritePointers(), channels,
                                              blockSize, {});
        for (int c = 0; c < channels; ++c)
            written[(size_t)c].insert(written[(size_t)c].end(), buffer.getReadPointer(c),
                                      buffer.getReadPointer(c) + blockSize);
    }
    return written;
}

bool deviceExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}
} // namespace

TEST(AlertBeep, TheToneIsShortFadedInAndOutAndSilenceFollows)
{
    AlertBeep beep;
    // Silence before any beep: the garbage in the outputs is overwritten.
    for (const auto& channel : render(beep, 1))
        for (const float sample : channel)
            ASSERT_EQ(sample, 0.0f);

    beep.trigger();
    const auto written = render(beep, 8);
    const int toneLength = juce::roundToInt(AlertBeep::toneSeconds * 44100.0);
    EXPECT_EQ(written[0], written[1]) << "every output gets the same tone";

    float peak = 0.0f;
    for (int i = 0; i < toneLength; ++i)
        peak = juce::jmax(peak, std::abs(written[0][(size_t)i]));
    EXPECT_GT(peak, 0.8f * AlertBeep::toneLevel);
    EXPECT_LE(peak, AlertBeep::toneLevel);
    // The fades keep both ends near silence, so the tone does not click.
    EXPECT_LT(std::abs(written[0][1]), 0.01f);
    EXPECT_LT(std::abs(written[0][(size_t)toneLength - 2]), 0.01f);
    for (size_t i = (size_t)toneLength; i < written[0].size(); ++i)
        ASSERT_EQ(written[0][i], 0.0f) << "sample " << i;
    EXPECT_EQ(beep.getNumTonesPlayed(), 1);

    // A beep during a beep starts the tone again and ends once.
    beep.trigger();
    render(beep, 2);
    beep.trigger();
    render(beep, 8);
    EXPECT_EQ(beep.getNumTonesPlayed(), 2);
}

TEST(AlertBeep, WithoutADeviceTheBeepIsSilentAndNothingFails)
{
    const int requested = AlertBeep::getNumRequested();
    EXPECT_FALSE(AlertBeep::play()); // no device manager at all
    {
        ProcessWideObjects objects; // a device manager that was never opened
        EXPECT_FALSE(AlertBeep::play());
        juce::LookAndFeel::getDefaultLookAndFeel().playAlertSound();
    }
    EXPECT_EQ(AlertBeep::getNumRequested(), requested + 3);
    EXPECT_EQ(AlertBeep::getNumPlayed(), 0);
}

TEST(AlertBeep, OnARunningDeviceTheLookAndFeelsAlertIsHeardToItsEnd)
{
    if (!deviceExpected())
        GTEST_SKIP() << "no audio device expected on this machine";

    for (int round = 0; round < 2; ++round)
    {
        // A second set of process-wide objects gets the beep on its own device manager.
        ProcessWideObjects objects;
        deviceManager->initialise(0, 2, nullptr, true);
        ASSERT_NE(deviceManager->getCurrentAudioDevice(), nullptr);

        const int played = AlertBeep::getNumPlayed();
        juce::LookAndFeel::getDefaultLookAndFeel().playAlertSound();
        const auto deadline = juce::Time::getMillisecondCounter() + 10000;
        while (AlertBeep::getNumPlayed() == played && juce::Time::getMillisecondCounter() < deadline)
            juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
        EXPECT_EQ(AlertBeep::getNumPlayed(), played + 1) << "round " << round;
    }
}
