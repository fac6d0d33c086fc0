#include "workspace/CommandCenter.h"

#include "dialogs/InterpretComponent.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/ShowOriginTextComponent.h"

#include <juce_audio_utils/juce_audio_utils.h>

// A fixed-size modal window, opened where it was last closed during this run.
void CommandCenter::PopupInterpretModalWindow()
{
    stopSentencePlayer();
    const int selected = courseModel->getSelectedIndex();
    if (selected < 0 || selected >= courseModel->getNumSentences())
        return;

    launchOptions.dialogTitle = TRANS("Interpret and contrast audition");
    launchOptions.content.setOwned(new InterpretComponent(courseModel, selected));
    std::unique_ptr<juce::DialogWindow> window(launchOptions.create());
    window->setResizable(false, false);
    if (interpretWindowPosition.isNotEmpty())
        window->restoreWindowStateFromString(interpretWindowPosition);
    window->runModalLoop();
    interpretWindowPosition = window->getWindowStateAsString();
}

// TODO(course library): the course library manager in a modal window.
void CommandCenter::popupCourseManagerModalWindow()
{
    stopSentencePlayer();
}

void CommandCenter::popupShowOriginTextModalWindow()
{
    // Without a selected sentence index -1 would name the course itself.
    const int selected = courseModel->getSelectedIndex();
    if (selected < 0 || selected >= courseModel->getNumSentences())
        return;
    launchOptions.dialogTitle = TRANS("Origin text");
    launchOptions.content.setOwned(new ShowOriginTextComponent(courseModel, selected));
    launchOptions.runModal();
}

void CommandCenter::popupAudioSetupModalWindow()
{
    stopSentencePlayer();
    if (deviceManager == nullptr)
        return;

    juce::AudioDeviceSelectorComponent selector(*deviceManager, 0, 255, 2, 255, false, false, false, false);
    selector.setSize(500, 320);
    launchOptions.dialogTitle = TRANS("Setup audio devices");
    launchOptions.content.setNonOwned(&selector);
    launchOptions.runModal();

    // Written after every closing, changed or not; no explicit settings leave an empty value.
    const auto state = deviceManager->createStateXml();
    systemModel->getProperties().setValue(SystemModel::AudioDeviceState, state.get());
}

// TODO(key mappings): the key-mapping editor in a modal window, its differences from the defaults
// stored under UserKeyMapping afterwards.
void CommandCenter::popupKeyMappingModalWindow() {}

// TODO(about window): the animated about window, shown for at most 900 s.
void CommandCenter::popupAboutModalWindow() {}
