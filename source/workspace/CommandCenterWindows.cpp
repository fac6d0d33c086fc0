#include "workspace/CommandCenter.h"

#include "dialogs/CourseManagerPanel.h"
#include "dialogs/InterpretComponent.h"
#include "dialogs/KeyMappingEditor.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/AnimateSplash.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/ShowOriginTextComponent.h"

#include <juce_audio_utils/juce_audio_utils.h>

namespace
{
/** Puts a window of fixed size at the position its state string holds, and keeps it there until
    the window manager has framed it. On Linux the framework places the frame instead of the
    window while it doesn't know the frame's size yet, and its own restore corrects for a frame
    that the new window may or may not have: either way the window reopened a title bar's height
    away from where it was left. Once the frame is known, placing the window is exact. */
class PositionRestorer : private juce::Timer
{
public:
    PositionRestorer(juce::Component& windowToPlace, const juce::String& state) : window(windowToPlace)
    {
        juce::StringArray tokens;
        tokens.addTokens(state, false);
        tokens.removeEmptyStrings();
        const int first = tokens[0].startsWithIgnoreCase("fs") ? 1 : 0;
        if (tokens.size() < first + 2)
            return;
        position = {tokens[first].getIntValue(), tokens[first + 1].getIntValue()};
        window.setTopLeftPosition(position);
        startTimer(20);
    }

private:
    void timerCallback() override
    {
        // The frame becomes known when the window manager has framed the window; the window's
        // own position follows a little later. A window found a frame's offset away from where
        // it belongs was placed by its frame, and is put back; any other place is the learner's.
        auto* peer = window.getPeer();
        const auto frame =
            peer != nullptr ? peer->getFrameSizeIfPresent() : juce::ComponentPeer::OptionalBorderSize();
        if (frame && window.getPosition() == position + juce::Point<int>(frame->getLeft(), frame->getTop()))
            window.setTopLeftPosition(position);
        if (++ticks > settleTicks)
            stopTimer();
    }

    static constexpr int settleTicks = 50;
    juce::Component& window;
    juce::Point<int> position;
    int ticks = 0;
};
} // namespace

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
    std::unique_ptr<PositionRestorer> restorer;
    if (interpretWindowPosition.isNotEmpty())
        restorer = std::make_unique<PositionRestorer>(*window, interpretWindowPosition);
    window->runModalLoop();
    restorer.reset();
    interpretWindowPosition = window->getWindowStateAsString();
}

void CommandCenter::popupCourseManagerModalWindow()
{
    stopSentencePlayer();
    launchOptions.dialogTitle = TRANS("Courses manager");
    launchOptions.content.setOwned(new CourseManagerPanel());
    launchOptions.runModal();
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
