#include "harness/ProcessWideObjects.h"

#include "engine/SystemModel.h"
#include "platform/Mp3AudioFormat.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

namespace
{
template <typename Object> void deleteAndClear(Object*& pointer)
{
    delete pointer;
    pointer = nullptr;
}
} // namespace

ProcessWideObjects::ProcessWideObjects() : lookAndFeel(std::make_unique<QzLookAndFeel>())
{
    juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());

    undoManager = new juce::UndoManager(30000, 30);
    commandManager = new juce::ApplicationCommandManager();
    formatManager = new juce::AudioFormatManager();
    deviceManager = new juce::AudioDeviceManager();
    systemModel = new SystemModel(*lookAndFeel);

    formatManager->registerBasicFormats();
    formatManager->registerFormat(new Mp3AudioFormat(), false);
}

ProcessWideObjects::~ProcessWideObjects()
{
    deleteAndClear(undoManager);
    deleteAndClear(commandManager);
    deleteAndClear(formatManager);
    deleteAndClear(deviceManager);
    deleteAndClear(systemModel);

    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
}
