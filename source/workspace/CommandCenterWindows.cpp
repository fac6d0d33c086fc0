#include "workspace/CommandCenter.h"

#include "dialogs/KeyMappingEditor.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/AnimateSplash.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/ShowOriginTextComponent.h"

#include <juce_audio_utils/juce_audio_utils.h>

// TODO(interpretation): the interpretation panel in a fixed-size modal window whose place is kept
// in interpretWindowPosition; the sentence player is stopped before it opens.
void CommandCenter::PopupInterpretModalWindow()
{
    stopSentencePlayer();
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

void CommandCenter::popupKeyMappingModalWindow()
{
    auto& mappings = *commandManager->getKeyMappings();
    KeyMappingEditor editor(mappings);
    editor.setSize(550, 500);
    launchOptions.dialogTitle = TRANS("View and edit shortcuts");
    launchOptions.content.setNonOwned(&editor);
    launchOptions.runModal();

    // Written after every closing, changed or not: only what differs from the defaults, so that
    // later changes of the defaults still reach the learner.
    const auto differences = mappings.createXml(true);
    systemModel->getProperties().setValue(SystemModel::UserKeyMapping, differences.get());
}

void CommandCenter::popupAboutModalWindow()
{
    // The window owns itself: it deletes itself when it closes.
    (new AnimateSplash())->show(aboutWindowSeconds);
}
