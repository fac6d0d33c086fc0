#include "workspace/panels/GraphicalComponent.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

namespace
{
constexpr int repaintIntervalMs = 30;
} // namespace

GraphicalComponent::GraphicalComponent()
{
    startTimer(repaintIntervalMs);
}

GraphicalComponent::~GraphicalComponent()
{
    stopTimer();
}

void GraphicalComponent::reserveSamples(int numSamples)
{
    const juce::ScopedLock sl(bufferLock);
    if (numSamples <= capacity)
        return;
    juce::HeapBlock<float> larger((size_t)numSamples, true);
    if (bufferSize > 0)
        juce::FloatVectorOperations::copy(larger.get(), buffer.get(), bufferSize);
    buffer.swapWith(larger);
    capacity = numSamples;
}

void GraphicalComponent::setBufferSize(int numSamples)
{
    numSamples = juce::jmax(0, numSamples);
    if (numSamples > capacity)
    {
        buffer.realloc((size_t)numSamples);
        capacity = numSamples;
    }
    bufferSize = numSamples;
}

void GraphicalComponent::copySamples(const float* samples, int numSamples)
{
    const juce::ScopedLock sl(bufferLock);
    setBufferSize(numSamples);
    if (bufferSize > 0)
        juce::FloatVectorOperations::copy(buffer.get(), samples, bufferSize);
    hasNewData = true;
}

void GraphicalComponent::copySamples(float** channels, int numSamples, int numChannels)
{
    const juce::ScopedLock sl(bufferLock);
    setBufferSize(numSamples);
    float* const out = buffer.get();

    if (numChannels == 1)
    {
        if (bufferSize > 0)
            juce::FloatVectorOperations::copy(out, channels[0], bufferSize);
    }
    else if (numChannels == 2)
    {
        for (int i = 0; i < bufferSize; ++i)
        {
            const float first = channels[0][i], second = channels[1][i];
            out[i] = std::abs(second) >= std::abs(first) ? second : first;
        }
    }
    else if (bufferSize > 0)
    {
        juce::FloatVectorOperations::clear(out, bufferSize);
        for (int channel = 0; channel < numChannels; ++channel)
            for (int i = 0; i < bufferSize; ++i)
                if (std::abs(channels[channel][i]) > std::abs(out[i]))
                    out[i] = channels[channel][i];
    }
    hasNewData = true;
}

int GraphicalComponent::useTimeSlice()
{
    const juce::ScopedLock sl(bufferLock);
    if (hasNewData)
    {
        process();
        hasNewData = false;
    }
    return sliceInterval;
}
