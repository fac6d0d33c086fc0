#include "support/BenchEnvironment.h"

#include "engine/SystemModel.h"
#include "platform/Mp3AudioFormat.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

#include <cstdlib>
#include <unistd.h>

namespace
{
template <typename Object> void deleteAndClear(Object*& pointer)
{
    delete pointer;
    pointer = nullptr;
}
} // namespace

BenchEnvironment::BenchEnvironment()
{
    if (const char* existing = std::getenv("HOME"))
        previousHome = existing;
    // The home is set before anything resolves the documents folder from it.
    home = makeTemporaryHome();
    setenv("HOME", home.getFullPathName().toRawUTF8(), 1);

    gui = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
    createProcessWideObjects();
}

BenchEnvironment::~BenchEnvironment()
{
    deleteProcessWideObjects();
    gui.reset();
    home.deleteRecursively();
    if (previousHome.isNotEmpty())
        setenv("HOME", previousHome.toRawUTF8(), 1);
}

juce::File BenchEnvironment::makeTemporaryHome()
{
    auto folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                      .getChildFile("qz-bench-home-" + juce::String(getpid()));
    folder.deleteRecursively();
    folder.createDirectory();
    return folder;
}

void BenchEnvironment::createProcessWideObjects()
{
    // As the application does it: the look and feel first, then the objects, then the formats.
    lookAndFeel = std::make_unique<QzLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());

    undoManager = new juce::UndoManager(30000, 30);
    commandManager = new juce::ApplicationCommandManager();
    formatManager = new juce::AudioFormatManager();
    deviceManager = new juce::AudioDeviceManager();
    systemModel = new SystemModel(*lookAndFeel);

    formatManager->registerBasicFormats();
    formatManager->registerFormat(new Mp3AudioFormat(), false);
}

void BenchEnvironment::deleteProcessWideObjects()
{
    deleteAndClear(undoManager);
    deleteAndClear(commandManager);
    deleteAndClear(formatManager);
    deleteAndClear(deviceManager);
    deleteAndClear(systemModel);

    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
}
