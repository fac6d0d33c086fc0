#include "engine/SystemModel.h"

#include "engine/Clock.h"

using juce::String;

const String SystemModel::AudioDeviceState = "AudioDeviceState";
const String SystemModel::UserKeyMapping = "UserKeyMapping";
const String SystemModel::MainWindowState = "MainWindowState";
const String SystemModel::FileBrowseRoot = "FileBrowseRoot";
const String SystemModel::FirstUsingDate = "FirstUsingDate";

namespace
{
juce::PropertiesFile::Options settingsFileOptions()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    return options;
}
} // namespace

juce::File SystemModel::getSettingsFile()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory)
        .getChildFile("qz/library/system.dat");
}

SystemModel::SystemModel(QzLookAndFeel& lookAndFeelToUse)
    : properties(std::make_unique<juce::PropertiesFile>(getSettingsFile(), settingsFileOptions())),
      lookAndFeel(lookAndFeelToUse)
{
    if (properties->getValue(FirstUsingDate).isEmpty())
        properties->setValue(FirstUsingDate, Clock::now().toString(true, false));

    audioDeviceState = properties->getXmlValue(AudioDeviceState);
    keyMappingState = properties->getXmlValue(UserKeyMapping);
    mainWindowState = properties->getValue(MainWindowState, "fs 50, 50, 800, 600");
    fileBrowseRoot = properties->getValue(FileBrowseRoot);
}

SystemModel::~SystemModel()
{
    // Deleting the properties file writes any pending change.
    properties.reset();
}
