#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>

/** The alert sound: a short tone of qZ's own, played through the audio device that qZ has open
    (the process-wide device manager), mixed with whatever else plays. The framework's alert on
    Linux only writes a bell character to standard output, which nobody hears.

    Without a device the beep stays silent and nothing fails. The process's beep is one device
    callback, added to the device manager at the first beep and taken off by detach before the
    manager goes. */
class AlertBeep : public juce::AudioIODeviceCallback
{
public:
    static constexpr double toneFrequency = 880.0;
    static constexpr double toneSeconds = 0.06;
    static constexpr double fadeSeconds = 0.005;
    static constexpr float toneLevel = 0.25f;

    AlertBeep();
    ~AlertBeep() override;

    /** Sounds the process's beep on the process's audio device; false when there is none. */
    static bool play();
    /** Takes the process's beep off the device manager; called before the manager is deleted. */
    static void detach();
    /** How many beeps were asked for in this process, device or not. */
    static int getNumRequested();
    /** How many beeps the device has played to their end in this process. */
    static int getNumPlayed();

    /** Starts the tone with the next block the device asks for. */
    void trigger();
    /** Tones of this beep played to their end. */
    int getNumTonesPlayed() const { return tonesPlayed.load(); }

    void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                          float* const* outputChannelData, int numOutputChannels,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override {}

private:
    float sampleAt(int position, int length, double rate) const;

    std::atomic<bool> pending{false};
    std::atomic<double> sampleRate{44100.0};
    std::atomic<int> tonesPlayed{0};
    // Audio thread only.
    int position = 0;
    int length = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AlertBeep)
};
