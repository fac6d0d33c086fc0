#pragma once

#include <juce_data_structures/juce_data_structures.h>

class QzLookAndFeel;

/** The settings object: owns the settings file and the states that other parts restore at
    start-up (audio device, key mappings, main window, side browser root). */
class SystemModel
{
public:
    static const juce::String AudioDeviceState;
    static const juce::String UserKeyMapping;
    static const juce::String MainWindowState;
    static const juce::String FileBrowseRoot;
    static const juce::String FirstUsingDate;

    explicit SystemModel(QzLookAndFeel& lookAndFeel);
    ~SystemModel();

    /** "qz/library/system.dat" under the user's documents folder. */
    static juce::File getSettingsFile();

    juce::PropertiesFile& getProperties() { return *properties; }

    /** The saved audio device state, null when none was saved. */
    const juce::XmlElement* getAudioDeviceState() const { return audioDeviceState.get(); }
    const juce::XmlElement* getKeyMappingState() const { return keyMappingState.get(); }
    const juce::String& getMainWindowState() const { return mainWindowState; }
    const juce::String& getFileBrowseRoot() const { return fileBrowseRoot; }

private:
    std::unique_ptr<juce::XmlElement> audioDeviceState;
    std::unique_ptr<juce::XmlElement> keyMappingState;
    juce::String mainWindowState;
    juce::String fileBrowseRoot;

    std::unique_ptr<juce::PropertiesFile> properties;
    QzLookAndFeel& lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE(SystemModel)
};
