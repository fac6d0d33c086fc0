#include "workspace/Main.h"

#include "engine/SystemModel.h"
#include "engine/audio/AudioDeviceCheck.h"
#include "platform/AlertBeep.h"
#include "platform/CheckedFlacAudioFormat.h"
#include "platform/CheckedPcmAudioFormat.h"
#include "platform/HeldModifierKeys.h"
#include "platform/InstanceChannel.h"
#include "platform/Mp3AudioFormat.h"
#include "workspace/AnimateSplash.h"
#include "workspace/MainWindow.h"
#include "workspace/QzLookAndFeel.h"

juce::UndoManager* undoManager = nullptr;
juce::ApplicationCommandManager* commandManager = nullptr;
juce::AudioFormatManager* formatManager = nullptr;
juce::AudioDeviceManager* deviceManager = nullptr;
SystemModel* systemModel = nullptr;

namespace
{
template <typename Object> void deleteAndClear(Object*& pointer)
{
    delete pointer;
    pointer = nullptr;
}
} // namespace

void createProcessWideObjects(QzLookAndFeel& lookAndFeel)
{
    undoManager = new juce::UndoManager(30000, 30);
    commandManager = new juce::ApplicationCommandManager();
    formatManager = new juce::AudioFormatManager();
    deviceManager = new juce::AudioDeviceManager();
    systemModel = new SystemModel(lookAndFeel);

    // The framework's basic formats, each reader behind our check of what it can't take.
    formatManager->registerFormat(new CheckedPcmAudioFormat<juce::WavAudioFormat>(), true);
    formatManager->registerFormat(new CheckedPcmAudioFormat<juce::AiffAudioFormat>(), false);
    formatManager->registerFormat(new CheckedFlacAudioFormat(), false);
    formatManager->registerFormat(new juce::OggVorbisAudioFormat(), false);
    // Our MP3 reader trims the encoder delay and knows the exact length; the course positions
    // depend on both.
    formatManager->registerFormat(new Mp3AudioFormat(), false);
}

void deleteProcessWideObjects()
{
    deleteAndClear(undoManager);
    deleteAndClear(commandManager);
    deleteAndClear(formatManager);
    // The beep's device callback leaves the manager before the manager goes.
    AlertBeep::detach();
    AudioDeviceCheck::forget();
    deleteAndClear(deviceManager);
    deleteAndClear(systemModel);
}

qzApplication::qzApplication() = default;

qzApplication::~qzApplication()
{
    mainWindow.reset();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    lookAndFeel.reset();
}

const juce::String qzApplication::getApplicationName()
{
    return "qZ";
}

const juce::String qzApplication::getApplicationVersion()
{
    return "2.3.0402";
}

bool qzApplication::moreThanOneInstanceAllowed()
{
    // The framework's lock is one file for the whole machine, which would keep a second user of
    // the computer out. Our instance channel is the lock instead: one listener per user's home.
    return true;
}

juce::String qzApplication::instanceChannelName()
{
    const auto home = juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName();
    return "qZ-running-instance-" + juce::String::toHexString(home.hashCode64());
}

void qzApplication::initialise(const juce::String&)
{
    // The look and feel comes first so that every later window and font uses it.
    lookAndFeel = std::make_unique<QzLookAndFeel>();
    juce::LookAndFeel::setDefaultLookAndFeel(lookAndFeel.get());

    createProcessWideObjects(*lookAndFeel);
    openAudioDevice();

    instanceChannel = std::make_unique<InstanceChannel>(
        instanceChannelName(), [this](const juce::String& message) { anotherInstanceStarted(message); });
    if (!instanceChannel->isListening() &&
        InstanceChannel::tellRunningInstance(instanceChannelName(), "started"))
    {
        // Another start of the same user's qZ got there first, between the program's entry
        // asking and now; it has been told, and this one ends without a window.
        quit();
        return;
    }

    // Before the first window: each of qZ's windows that gains the focus starts from the keys
    // really held.
    heldModifierKeys = std::make_unique<HeldModifierKeys>();
    mainWindow = std::make_unique<MainWindow>();
}

void qzApplication::openAudioDevice()
{
    // A machine without any device still starts; what needs sound says so until one is chosen.
    AudioDeviceCheck::openDevice(*deviceManager, systemModel->getAudioDeviceState());
}

void qzApplication::shutdown()
{
    juce::PopupMenu::dismissAllActiveMenus();
    // An about window still open draws with the look and feel, which goes with this object.
    AnimateSplash::closeAll();
    mainWindow.reset();
    heldModifierKeys.reset();
    instanceChannel.reset();
    deleteProcessWideObjects();
}

void qzApplication::anotherInstanceStarted(const juce::String&)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                                      TRANS("This program has been running."));
}

void qzApplication::systemRequestedQuit()
{
    quit();
}
