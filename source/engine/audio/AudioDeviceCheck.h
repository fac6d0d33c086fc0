#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

/** qZ starts on a machine without any audio device (no sound card, no JACK server): everything
    that needs no sound works as usual, and what needs sound says that there is none instead of
    playing into nothing.

    The check concerns the device manager opened at start-up. A manager that nobody opened (a
    test that calls the audio callbacks itself) is taken as it is. Message thread only. */
class AudioDeviceCheck
{
public:
    AudioDeviceCheck() = delete;

    /** Opens the saved device (falling back to the default one) for up to 255 input and 255
        output channels, and from then on checks that manager. */
    static void openDevice(juce::AudioDeviceManager& manager, const juce::XmlElement* savedState);

    /** Stops checking the manager, which is about to go. */
    static void forget();

    /** Whether the manager opened at start-up has no device, none having been chosen since. */
    static bool isMissing();

    /** True when sound can be heard; otherwise tells the learner so in a box and returns false. */
    static bool canPlay();
};
