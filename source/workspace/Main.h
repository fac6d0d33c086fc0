#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_gui_basics/juce_gui_basics.h>

class SystemModel;
class QzLookAndFeel;
class MainWindow;
class InstanceChannel;
class HeldModifierKeys;

// The process-wide objects: set by qzApplication::initialise, deleted and nulled by shutdown.
extern juce::UndoManager* undoManager;
extern juce::ApplicationCommandManager* commandManager;
extern juce::AudioFormatManager* formatManager;
extern juce::AudioDeviceManager* deviceManager;
extern SystemModel* systemModel;

/** Creates the process-wide objects in start-up order, the settings given the look and feel, and
    registers the audio formats: the framework's basic ones and our MP3 reader. */
void createProcessWideObjects(QzLookAndFeel& lookAndFeel);
/** Deletes them in shut-down order, each pointer nulled right after its object is gone; the
    settings go last because the window's and the controller's destructors still write to them. */
void deleteProcessWideObjects();

/** The application object: creates the look and feel, the process-wide objects and the main
    window, in that order, and takes them down again in a fixed order at the end. */
class qzApplication : public juce::JUCEApplication
{
public:
    qzApplication();
    ~qzApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void initialise(const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted(const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    MainWindow* getMainWindow() const { return mainWindow.get(); }

    /** The name under which the running instance listens for a second start. */
    static juce::String instanceChannelName();

private:
    void openAudioDevice();

    std::unique_ptr<QzLookAndFeel> lookAndFeel;
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<InstanceChannel> instanceChannel;
    std::unique_ptr<HeldModifierKeys> heldModifierKeys;
};
