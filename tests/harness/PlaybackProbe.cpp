#include "harness/PlaybackProbe.h"

#include <gtest/gtest.h>

#include <vector>

juce::AudioBuffer<float> PlaybackProbe::noise(int numChannels, int length)
{
    juce::Random random(2017);
    juce::AudioBuffer<float> samples(numChannels, length);

    for (int channel = 0; channel < numChannels; ++channel)
        for (int i = 0; i < length; ++i)
            samples.setSample(channel, i, random.nextFloat() - 0.5f);

    return samples;
}

juce::AudioBuffer<float> PlaybackProbe::pull(juce::AudioIODeviceCallback& callback, int numChannels,
                                             int numBlocks, int blockSize)
{
    juce::AudioBuffer<float> all(numChannels, numBlocks * blockSize);
    juce::AudioBuffer<float> block(numChannels, blockSize);
    const juce::AudioIODeviceCallbackContext context{};

    for (int b = 0; b < numBlocks; ++b)
    {
        // A device hands over whatever its buffers held last.
        for (int channel = 0; channel < numChannels; ++channel)
            juce::FloatVectorOperations::fill(block.getWritePointer(channel), 99.0f, blockSize);

        callback.audioDeviceIOCallbackWithContext(nullptr, 0, block.getArrayOfWritePointers(), numChannels,
                                                  blockSize, context);

        for (int channel = 0; channel < numChannels; ++channel)
            all.copyFrom(channel, b * blockSize, block, channel, 0, blockSize);
    }

    return all;
}

int PlaybackProbe::endOfSound(const juce::AudioBuffer<float>& samples, float threshold)
{
    for (int i = samples.getNumSamples(); --i >= 0;)
        for (int channel = 0; channel < samples.getNumChannels(); ++channel)
            if (std::abs(samples.getSample(channel, i)) > threshold)
                return i + 1;

    return 0;
}

double PlaybackProbe::frequencyOf(const juce::AudioBuffer<float>& samples, int channel, int start, int end,
                                  double sampleRate)
{
    std::vector<double> crossings;
    const auto* data = samples.getReadPointer(channel);

    for (int i = juce::jmax(1, start); i < end; ++i)
        if (data[i - 1] < 0.0f && data[i] >= 0.0f)
            crossings.push_back(i - 1 + data[i - 1] / (data[i - 1] - data[i]));

    if (crossings.size() < 2)
        return 0.0;

    return (double)(crossings.size() - 1) * sampleRate / (crossings.back() - crossings.front());
}

bool PlaybackProbe::pumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;

    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() >= deadline)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    }

    return true;
}

PlaybackProbe::Progress PlaybackProbe::follow(const juce::AudioTransportSource& transport,
                                              const std::function<bool()>& ended, int timeoutMs)
{
    Progress progress;
    const auto startedMs = juce::Time::getMillisecondCounterHiRes();
    const auto length = transport.getLengthInSeconds();

    progress.ended = pumpUntil(
        [&]
        {
            const auto position = transport.getCurrentPosition();
            const auto elapsed = (juce::Time::getMillisecondCounterHiRes() - startedMs) / 1000.0;
            progress.seenPartWay |= position > 0.0 && position < 0.9 * length;
            progress.mostAheadOfClock = juce::jmax(progress.mostAheadOfClock, position - elapsed);
            return ended();
        },
        timeoutMs);

    return progress;
}

void PlaybackProbe::expectPlaysThrough(const juce::AudioTransportSource& transport,
                                       const std::function<bool()>& finished, int timeoutMs)
{
    const auto progress = follow(transport, finished, timeoutMs);
    EXPECT_TRUE(progress.ended) << "the play did not finish";
    EXPECT_TRUE(progress.seenPartWay) << "the position was never seen between the start and the end";
    EXPECT_LT(progress.mostAheadOfClock, 0.2) << "played faster than real time";
}
