// The shortcut window that the command opens on the application's own commands, and the
// mappings it leaves in the settings: kept across a restart, and nothing after a reset.
#include "dialogs/KeyMappingEditor.h"

#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"

#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

using juce::KeyPress;
using juce::ModifierKeys;

namespace
{
const ModifierKeys commandShift(ModifierKeys::commandModifier | ModifierKeys::shiftModifier);

bool perform(OpenWorkspace& workspace, int id)
{
    return workspace.main().getCommandCenter()->perform(juce::ApplicationCommandTarget::InvocationInfo(id));
}

juce::Array<KeyPress> keysOf(int command)
{
    return commandManager->getKeyMappings()->getKeyPressesAssignedToCommand(command);
}

/** The mappings stored under UserKeyMapping that differ from the defaults. */
int storedDifferences()
{
    const auto stored = systemModel->getProperties().getXmlValue(SystemModel::UserKeyMapping);
    return stored == nullptr ? -1 : stored->getNumChildElements();
}
} // namespace

TEST(KeyMappingWindow, AKeyAddedByReassigningStaysAfterARestart)
{
    // X11 reports Ctrl+Shift+2 as Ctrl+Shift+@; "Start time delayed 0.2s" has it by default.
    const KeyPress asReported('@', commandShift, '@');
    const KeyPress taken('2', commandShift, 0);
    const int owner = CommandCenter::startLater02;
    const int learner = CommandCenter::replaySentence;

    {
        OpenWorkspace workspace;
        ASSERT_EQ(commandManager->getKeyMappings()->findCommandForKeyPress(taken), owner);
        const auto ownerName = commandManager->getNameOfCommand(owner);

        ModalAnswerer answerer;
        answerer.handle(
            [&](juce::Component& window)
            {
                EXPECT_EQ(window.getName(), TRANS("View and edit shortcuts"));
                auto* editor = ModalAnswerer::findContent<KeyMappingEditor>(window);
                ASSERT_NE(editor, nullptr);
                // The dictation commands never show, and Undo, Redo and Play/Stop can't change.
                for (int hidden : {CommandCenter::dictateOn, CommandCenter::dictateOff})
                    EXPECT_FALSE(editor->shouldCommandBeIncluded(hidden));
                for (int fixed :
                     {CommandCenter::undoCommand, CommandCenter::redoCommand, CommandCenter::playStop})
                    EXPECT_TRUE(editor->isCommandReadOnly(fixed));

                // The first category's rows are in view without scrolling. The tree makes its
                // rows on the message loop after it is laid out, which a window manager may do
                // again once the window shows.
                KeyMappingEditor::ItemComponent* row = nullptr;
                OpenCourse::pumpUntil([&] { return (row = editor->findRow(learner)) != nullptr; });
                ASSERT_NE(row, nullptr);
                auto& add = row->getButton(row->getNumButtons() - 1);
                ASSERT_TRUE(add.isAddButton());
                // As the release of a click does, at once: the entry window opens before the
                // answerer looks again.
                add.clicked();
            });
        answerer.handle(
            [&](juce::Component& window)
            {
                auto* entry = dynamic_cast<KeyMappingEditor::ChangeKeyButton::KeyEntryWindow*>(&window);
                ASSERT_NE(entry, nullptr);
                entry->keyPressed(asReported);
                EXPECT_TRUE(entry->getMessage().contains(taken.getTextDescription())) << entry->getMessage();
                EXPECT_TRUE(entry->getMessage().contains(ownerName)) << entry->getMessage();
            });
        answerer.press(TRANS("OK"));
        answerer.press(TRANS("Re-assign"));
        answerer.cancel(); // closes the shortcut window itself

        ASSERT_TRUE(perform(workspace, CommandCenter::editShortcuts));
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 3u);
        EXPECT_EQ(answerer.seen()[2].title, TRANS("Change key-mapping"));

        EXPECT_TRUE(keysOf(learner).contains(taken));
        EXPECT_TRUE(keysOf(owner).isEmpty());
        EXPECT_EQ(storedDifferences(), 2); // one key added here, one taken away there
    }

    // A new start reads the settings file anew and lays the stored differences over the defaults.
    OpenWorkspace restarted;
    EXPECT_TRUE(keysOf(learner).contains(taken));
    EXPECT_TRUE(keysOf(learner).contains(KeyPress('f', ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE(keysOf(owner).isEmpty());
    EXPECT_EQ(commandManager->getKeyMappings()->findCommandForKeyPress(asReported), 0);

    // And the main window takes the press, as X11 reports it, for the new command.
    struct Recorder : juce::ApplicationCommandManagerListener
    {
        juce::Array<int> invoked;
        void applicationCommandInvoked(const juce::ApplicationCommandTarget::InvocationInfo& info) override
        {
            invoked.add(info.commandID);
        }
        void applicationCommandListChanged() override {}
    } recorder;
    commandManager->addListener(&recorder);
    auto* peer = restarted.window().getPeer();
    ASSERT_NE(peer, nullptr);
    peer->handleKeyPress(asReported);
    OpenCourse::pumpUntil([&] { return !recorder.invoked.isEmpty(); }, 2000);
    commandManager->removeListener(&recorder);
    EXPECT_EQ(recorder.invoked, juce::Array<int>(learner));
}

TEST(KeyMappingWindow, AfterAResetTheStoredMappingHoldsNoDifferences)
{
    OpenWorkspace workspace;
    commandManager->getKeyMappings()->removeKeyPress(CommandCenter::statisticsInfo, 0);

    ModalAnswerer answerer;
    answerer.handle(
        [](juce::Component& window)
        {
            auto* editor = ModalAnswerer::findContent<KeyMappingEditor>(window);
            ASSERT_NE(editor, nullptr);
            editor->getResetButton().triggerClick();
            // The question opens before the answerer would give this window its next answer.
            OpenCourse::pumpUntil(
                [] { return juce::ModalComponentManager::getInstance()->getNumModalComponents() > 1; });
        });
    answerer.press(TRANS("Reset"));
    answerer.cancel();
    ASSERT_TRUE(perform(workspace, CommandCenter::editShortcuts));
    answerer.expectDone();

    EXPECT_EQ(storedDifferences(), 0);
    EXPECT_FALSE(keysOf(CommandCenter::statisticsInfo).isEmpty());
}
