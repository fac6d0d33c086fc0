// What the commands open: the origin-text window and its undoable edit, the audio device window
// and the state it leaves in the settings, today's mobile folder, the web pages, the replay and
// the page arrangement.
#include "workspace/CommandCenter.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/ShowOriginTextComponent.h"
#include "workspace/WordSelectingTextEditor.h"

#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
const int rate = 44100;

/** A workspace on a learning course of two sentences, with opened addresses recorded. */
class CommandWindowsTest : public testing::Test
{
protected:
    CommandWindowsTest()
        : workspace(
              []
              {
                  Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
                  CourseWorkingSet set(6.0, rate);
                  auto sentences = OpenCourse::contiguous({2 * rate, 2 * rate});
                  sentences[0].foreign = "Hello there.";
                  ASSERT_TRUE(set.writeSentences(sentences));
              })
    {
        workspace.layOut(1000, 700);
        systemOpener = CommandCenter::openWithSystem;
        CommandCenter::openWithSystem = [this](const juce::URL& address)
        {
            opened.add(address.toString(false));
            return accepts;
        };
        undoManager->clearUndoHistory();
    }

    ~CommandWindowsTest() override
    {
        CommandCenter::openWithSystem = systemOpener;
        Clock::clearFixedTime();
    }

    CommandCenter& commands() const { return *workspace.main().getCommandCenter(); }
    CourseModel& model() const { return workspace.model(); }
    bool perform(int id) const
    {
        return commands().perform(juce::ApplicationCommandTarget::InvocationInfo(id));
    }

    OpenWorkspace workspace;
    juce::StringArray opened;
    bool accepts = true;

private:
    std::function<bool(const juce::URL&)> systemOpener;
};
} // namespace

//==============================================================================
TEST(ShowOriginTextComponent, ShowsTheTextLargeAndCentredAboveTwoButtons)
{
    OpenCourse course;
    auto sentences = OpenCourse::contiguous({rate, rate});
    sentences[1].foreign = "Good morning.";
    ASSERT_TRUE(course.open(sentences));

    ShowOriginTextComponent content(&course.model(), 1);
    EXPECT_EQ(content.getWidth(), 560);
    EXPECT_EQ(content.getHeight(), 100);
    auto& label = content.getTextLabel();
    EXPECT_EQ(label.getText(), "Good morning.");
    EXPECT_EQ(label.getFont().getHeight(), 25.0f);
    EXPECT_EQ(label.getJustificationType(), juce::Justification::centred);
    EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(3, 3, 554, 60));
    EXPECT_EQ(content.getCloseButton().getBounds(), juce::Rectangle<int>(215, 70, 60, 25));
    EXPECT_EQ(content.getModifyButton().getBounds(), juce::Rectangle<int>(285, 70, 60, 25));
    EXPECT_EQ(content.getCloseButton().getButtonText(), TRANS("Close"));
    EXPECT_EQ(content.getCloseButton().getTooltip(), TRANS("Shortcut: ") + "[return], [ESC]");
    EXPECT_EQ(content.getModifyButton().getButtonText(), TRANS("Modify"));
    EXPECT_EQ(content.getModifyButton().getTooltip(), TRANS("Shortcut: ") + "[M]");

    // The layout follows the size the window gives it.
    content.setSize(700, 140);
    EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(3, 3, 694, 100));
    EXPECT_EQ(content.getCloseButton().getPosition(), juce::Point<int>(285, 110));
    EXPECT_EQ(content.getModifyButton().getPosition(), juce::Point<int>(355, 110));
}

TEST_F(CommandWindowsTest, OriginTextModifiedInTheWindowIsOneUndoStep)
{
    ASSERT_TRUE(workspace.controller().isCourseOpen());
    model().selectSentence(0, true);

    // One answer does it all: an editor left open between two answers closes as soon as another
    // test's window takes the focus of the shared display, committing its unchanged text.
    ModalAnswerer answerer;
    answerer.handle(
        [](juce::Component& window)
        {
            EXPECT_EQ(window.getName(), TRANS("Origin text"));
            auto* content = ModalAnswerer::findContent<ShowOriginTextComponent>(window);
            ASSERT_NE(content, nullptr);
            auto& label = content->getTextLabel();
            EXPECT_EQ(label.getText(), "Hello there.");

            // The click arrives as a message, and the editor opens from it.
            content->getModifyButton().triggerClick();
            ASSERT_TRUE(OpenCourse::pumpUntil([&label] { return label.getCurrentTextEditor() != nullptr; }));
            auto* editor = dynamic_cast<WordSelectingTextEditor*>(label.getCurrentTextEditor());
            ASSERT_NE(editor, nullptr) << "the label's editor selects words by qZ's rule";
            editor->setText("Hello here.");
            label.hideEditor(false);
            content->getCloseButton().triggerClick();
        });

    ASSERT_TRUE(perform(CommandCenter::showOriginText));
    answerer.expectDone();

    EXPECT_EQ(model().getValue(0, CourseModel::EnglishText).toString(), "Hello here.");
    juce::ApplicationCommandInfo undo(CommandCenter::undoCommand);
    commands().getCommandInfo(CommandCenter::undoCommand, undo);
    EXPECT_EQ(undo.shortName, TRANS("Undo") + "  " + TRANS("Modify foreign text"));

    ASSERT_TRUE(perform(CommandCenter::undoCommand));
    EXPECT_EQ(model().getValue(0, CourseModel::EnglishText).toString(), "Hello there.");
    EXPECT_FALSE(undoManager->canUndo());
}

TEST_F(CommandWindowsTest, AudioDeviceWindowLeavesTheDeviceStateInTheSettings)
{
    auto& settings = systemModel->getProperties();
    settings.setValue(SystemModel::AudioDeviceState, "stale");

    {
        ModalAnswerer answerer;
        answerer.handle(
            [](juce::Component& window)
            {
                EXPECT_EQ(window.getName(), TRANS("Setup audio devices"));
                EXPECT_NE(ModalAnswerer::findContent<juce::AudioDeviceSelectorComponent>(window), nullptr);
                window.exitModalState(0);
            });
        ASSERT_TRUE(perform(CommandCenter::setupAudioDevices));
        answerer.expectDone();
    }

    // No device was ever chosen explicitly: the state is written, empty.
    ASSERT_TRUE(deviceManager->createStateXml() == nullptr);
    EXPECT_TRUE(settings.containsKey(SystemModel::AudioDeviceState));
    EXPECT_EQ(settings.getValue(SystemModel::AudioDeviceState), "");

    // After an explicit choice the device manager's own state is stored.
    if (juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) != "1")
        GTEST_SKIP() << "the explicit choice needs a running audio device (QZ_AUDIO_DEVICE_EXPECTED=1)";
    deviceManager->initialiseWithDefaultDevices(0, 2);
    const auto setup = deviceManager->getAudioDeviceSetup();
    deviceManager->closeAudioDevice();
    ASSERT_EQ(deviceManager->setAudioDeviceSetup(setup, true), "");
    const auto state = deviceManager->createStateXml();
    ASSERT_TRUE(state != nullptr);
    ModalAnswerer second;
    second.cancel();
    ASSERT_TRUE(perform(CommandCenter::setupAudioDevices));
    second.expectDone();
    const auto stored = settings.getXmlValue(SystemModel::AudioDeviceState);
    ASSERT_TRUE(stored != nullptr);
    EXPECT_TRUE(stored->isEquivalentTo(state.get(), false));
    deviceManager->closeAudioDevice();
}

TEST_F(CommandWindowsTest, TodaysMobileFolderOpensOrItsAbsenceIsTold)
{
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    ASSERT_TRUE(perform(CommandCenter::browseTodayLrf));
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Message"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("There is no audio file need to listen today."));
    EXPECT_TRUE(opened.isEmpty());

    const auto dayFolder = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory)
                               .getChildFile("qz/mobile-2017-0402");
    ASSERT_TRUE(dayFolder.createDirectory().wasOk());
    ModalAnswerer none;
    ASSERT_TRUE(perform(CommandCenter::browseTodayLrf));
    none.expectDone();
    EXPECT_EQ(opened, juce::StringArray(juce::URL(dayFolder).toString(false)));
}

TEST_F(CommandWindowsTest, WebCommandsOpenTheirPagesAndFaqAndHelpTellWhetherTheSystemTookThem)
{
    const struct
    {
        int id;
        String address;
        bool reportsRefusal;
    } cases[] = {{CommandCenter::faq, GlobalData::UserQuestion, true},
                 {CommandCenter::helpDocument, GlobalData::UserHelp, true},
                 {CommandCenter::shareAndDiscuss, GlobalData::WebForum, false}};
    for (const auto& c : cases)
    {
        for (const bool accepted : {true, false})
        {
            accepts = accepted;
            opened.clear();
            EXPECT_EQ(perform(c.id), accepted || !c.reportsRefusal) << c.address;
            EXPECT_EQ(opened, juce::StringArray(c.address));
        }
    }
}

TEST_F(CommandWindowsTest, ReplayStartsTheSentenceAgainFromItsStart)
{
    model().selectSentence(1, true);
    ASSERT_TRUE(perform(CommandCenter::replaySentence));
    auto& player = commands().getReplayPlayer();
    EXPECT_TRUE(player.transportSource.isPlaying());
    EXPECT_NEAR(player.transportSource.getLengthInSeconds(), 2.0, 0.001);

    player.transportSource.setPosition(1.5);
    ASSERT_TRUE(perform(CommandCenter::replaySentence));
    EXPECT_TRUE(player.transportSource.isPlaying());
    EXPECT_LT(player.transportSource.getCurrentPosition(), 0.1);
    player.stop();
}

TEST_F(CommandWindowsTest, PagesArrangementFlipsAndIsSavedAtOnce)
{
    const bool before = systemModel->pagesHorArrange;
    ASSERT_TRUE(perform(CommandCenter::pagesArrange));
    EXPECT_EQ(systemModel->pagesHorArrange, !before);

    OpenWorkspace::reloadSettings();
    EXPECT_EQ(systemModel->pagesHorArrange, !before);
}

TEST_F(CommandWindowsTest, ArchivingWithNoCourseDoesNothing)
{
    workspace.controller().resetToEmpty();
    ASSERT_FALSE(workspace.controller().isCourseOpen());
    ModalAnswerer none;
    EXPECT_TRUE(perform(CommandCenter::archiveCourse));
    EXPECT_TRUE(perform(CommandCenter::rebuildMobileAudio));
    none.expectDone();
    EXPECT_TRUE(none.seen().empty());
}
