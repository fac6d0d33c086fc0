#include "platform/AlertBeep.h"

#include "workspace/Main.h"

namespace
{
std::atomic<int> requested{0};
// The manager the process's beep is added to; message thread only.
juce::AudioDeviceManager* attachedTo = nullptr;

AlertBeep& processBeep()
{
    static AlertBeep beep;
    return beep;
}
} // namespace

AlertBeep::AlertBeep() = default;
AlertBeep::~AlertBeep() = default;

bool AlertBeep::play()
{
    ++requested;
    if (deviceManager == nullptr || deviceManager->getCurrentAudioDevice() == nullptr)
        return false;

    auto& beep = processBeep();
    if (attachedTo != deviceManager)
    {
        // detach runs before a manager is deleted, so a different one means none is attached.
        jassert(attachedTo == nullptr);
        deviceManager->addAudioCallback(&beep);
        attachedTo = deviceManager;
    }
    beep.trigger();
    return true;
}

void AlertBeep::detach()
{
    if (attachedTo != nullptr)
        attachedTo->removeAudioCallback(&processBeep());
    attachedTo = nullptr;
}

int AlertBeep::getNumRequested()
{
    return requested.load();
}

int AlertBeep::getNumPlayed()
{
    return processBeep().getNumTonesPlayed();
}

void AlertBeep::trigger()
{
    pending = true;
}

void AlertBeep::audioDeviceAboutToStart(juce::AudioIODevice* device)
{
    if (device != nullptr && device->getCurrentSampleRate() > 0.0)
        sampleRate = device->getCurrentSampleRate();
}

float AlertBeep::sampleAt(int index, int total, double rate) const
{
    // Short fades at both ends keep the tone from clicking.
    const double fadeSamples = juce::jmax(1.0, fadeSeconds * rate);
    const double envelope = juce::jmin(1.0, index / fadeSamples, (total - 1 - index) / fadeSamples);
    const double phase = juce::MathConstants<double>::twoPi * toneFrequency * index / rate;
    return (float)(toneLevel * juce::jmax(0.0, envelope) * std::sin(phase));
}

void AlertBeep::audioDeviceIOCallbackWithContext(const float* const*, int, float* const* outputChannelData,
                                                 int numOutputChannels, int numSamples,
                                                 const juce::AudioIODeviceCallbackContext&)
{
    const double rate = sampleRate.load();
    if (pending.exchange(false))
    {
        // A beep during a beep starts it again.
        position = 0;
        length = juce::roundToInt(toneSeconds * rate);
    }

    for (int i = 0; i < numSamples; ++i)
    {
        float value = 0.0f;
        if (position < length)
        {
            value = sampleAt(position, length, rate);
            if (++position == length)
                ++tonesPlayed;
        }
        // Every callback writes all its outputs; the manager adds them up.
        for (int channel = 0; channel < numOutputChannels; ++channel)
            if (outputChannelData[channel] != nullptr)
                outputChannelData[channel][i] = value;
    }
}
