#include "engine/audio/AudioDeviceCheck.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
juce::AudioDeviceManager* openedManager = nullptr;
} // namespace

void AudioDeviceCheck::openDevice(juce::AudioDeviceManager& manager, const juce::XmlElement* savedState)
{
    // Without any device the framework returns no error and leaves the current device null.
    manager.initialise(255, 255, savedState, true);
    openedManager = &manager;
}

void AudioDeviceCheck::forget()
{
    openedManager = nullptr;
}

bool AudioDeviceCheck::isMissing()
{
    return openedManager != nullptr && openedManager->getCurrentAudioDevice() == nullptr;
}

bool AudioDeviceCheck::canPlay()
{
    if (!isMissing())
        return true;
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::WarningIcon, TRANS("Ah oh"),
                                      TRANS("There is no audio device to play the sound through.") + "\r\n" +
                                          TRANS("Please check the audio device setup."));
    return false;
}
