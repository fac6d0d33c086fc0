// The interpretation panel on a review course: the due sentence's text and navigation, the
// recording through the JACK device of the test process and the playback that alternates it with
// the sentence, and the modal window that the command opens where it was last left.
#include "dialogs/InterpretComponent.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioRecorder.h"
#include "engine/audio/RecordingThumbnail.h"
#include "harness/CommandWatcher.h"
#include "harness/CourseWorkingSet.h"
#include "harness/JackToneDevice.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/Widgets.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
constexpr int rate = OpenCourse::rate;

/** Four sentences of a review course, the second and the fourth due, the others familiar. */
std::vector<OpenCourse::Sentence> reviewSentences()
{
    auto sentences = OpenCourse::contiguous({rate, 2 * rate, rate, 2 * rate});
    const char* foreign[] = {"Zero.", "One.", "Two.", "Three."};
    const char* native[] = {"Null", "Eins", "Zwei", "Drei"};
    for (size_t i = 0; i < sentences.size(); ++i)
    {
        sentences[i].foreign = foreign[i];
        sentences[i].native = native[i];
    }
    for (const size_t due : {1u, 3u})
    {
        sentences[due].unfamiliar = true;
        sentences[due].intervalDays = 2;
        sentences[due].reviewDate = "1 Apr 2017";
    }
    return sentences;
}

class InterpretTest : public testing::Test
{
protected:
    InterpretTest()
    {
        Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
        auto& set = course.workingSet();
        EXPECT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
        EXPECT_TRUE(course.open(reviewSentences(), 1));
    }

    OpenCourse course;
};

TEST_F(InterpretTest, ShowsTheDueSentencesForeignTextOrItsTranslationBySetting)
{
    for (const bool foreign : {true, false})
    {
        SCOPED_TRACE(foreign ? "foreign" : "native");
        systemModel->showForeignOnInterpret = foreign;
        InterpretComponent panel(&course.model(), 1);
        EXPECT_EQ(panel.getWidth(), 620);
        EXPECT_EQ(panel.getHeight(), 200);
        EXPECT_EQ(Widgets::byId<juce::Label>(panel, "text").getText(), foreign ? "One." : "Eins");
        EXPECT_FALSE(Widgets::isEnabled(panel, "play")) << "nothing recorded yet";
        EXPECT_EQ(Widgets::byId<juce::Button>(panel, "play").getButtonText(), TRANS("Play"));
    }
}

TEST_F(InterpretTest, StepsThroughTheDueSentencesOnly)
{
    ASSERT_TRUE(course.model().selectFirstDueSentence());
    ASSERT_EQ(course.model().getSelectedIndex(), 1);
    InterpretComponent panel(&course.model(), 1);
    EXPECT_FALSE(Widgets::isEnabled(panel, "first"));
    EXPECT_FALSE(Widgets::isEnabled(panel, "previous"));
    EXPECT_TRUE(Widgets::isEnabled(panel, "next"));

    Widgets::click(panel, "next");
    EXPECT_EQ(course.model().getSelectedIndex(), 3) << "the familiar sentence between is passed over";
    EXPECT_EQ(Widgets::byId<juce::Label>(panel, "text").getText(), "Three.");
    EXPECT_FALSE(Widgets::isEnabled(panel, "next")) << "the last due sentence";
    EXPECT_TRUE(Widgets::isEnabled(panel, "first"));
    EXPECT_TRUE(Widgets::isEnabled(panel, "previous"));
    EXPECT_FALSE(Widgets::isEnabled(panel, "play"));

    Widgets::click(panel, "first");
    EXPECT_EQ(course.model().getSelectedIndex(), 1);
    EXPECT_EQ(Widgets::byId<juce::Label>(panel, "text").getText(), "One.");
}

//==============================================================================
/** What the panel's player finished, in order, told by the length of what it held. */
struct Finishes : AudioDataPlayer::Listener
{
    // Registered after the panel, so called before it swaps the source.
    void playFinished(AudioDataPlayer* p) override
    {
        seconds.push_back(p->transportSource.getLengthInSeconds());
    }
    void playerStarted(AudioDataPlayer*) override {}
    void playerStopped(AudioDataPlayer*) override {}
    std::vector<double> seconds;
};

TEST_F(InterpretTest, ARecordingPlaysInTurnWithTheSentenceUntilStopped)
{
    if (!JackToneDevice::isServerExpected())
        GTEST_SKIP() << "no JACK server expected on this machine";
    JackToneDevice tone(440.0, 0.5f);
    ASSERT_TRUE(tone.isRunning());
    ASSERT_EQ(tone.openAsDevice(*deviceManager, true), "");

    course.model().selectSentence(1, true);
    {
        InterpretComponent panel(&course.model(), 1);
        auto& waveform = Widgets::byId<RecordingThumbnail>(panel, "waveform");
        Widgets::click(panel, "record");
        EXPECT_EQ(
            Widgets::byId<juce::Component>(panel, "record").findColour(juce::TextButton::buttonColourId),
            juce::Colours::green);
        EXPECT_FALSE(Widgets::isEnabled(panel, "next")) << "no moving on while recording";
        ASSERT_TRUE(OpenCourse::pumpUntil([&] { return waveform.thumbnail.getTotalLength() >= 1.0; }, 30000));
        {
            ModalAnswerer noReport; // a recording that lost blocks would say so here
            Widgets::click(panel, "record");
        }
        EXPECT_EQ(
            Widgets::byId<juce::Component>(panel, "record").findColour(juce::TextButton::buttonColourId),
            juce::Colours::red);
        const double recorded = panel.getPlayer().transportSource.getLengthInSeconds();
        EXPECT_NEAR(recorded, 1.0, 0.3);

        Finishes finishes;
        panel.getPlayer().addListener(&finishes);
        Widgets::click(panel, "play");
        EXPECT_EQ(Widgets::byId<juce::Button>(panel, "play").getButtonText(), TRANS("Stop"));
        ASSERT_TRUE(OpenCourse::pumpUntil([&] { return finishes.seconds.size() >= 4; }, 30000));
        const double sentence = course.model().getSentenceLengthSeconds(1);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(finishes.seconds[i], i % 2 == 0 ? recorded : sentence, 0.05) << "playback " << i;

        // A new recording ends the playback and holds navigation until it stops.
        Widgets::click(panel, "record");
        EXPECT_FALSE(panel.getPlayer().transportSource.isPlaying());
        EXPECT_FALSE(Widgets::isEnabled(panel, "play"));
        EXPECT_FALSE(Widgets::isEnabled(panel, "next"));
        {
            ModalAnswerer noReport;
            Widgets::click(panel, "record");
        }
        EXPECT_TRUE(Widgets::isEnabled(panel, "play"));
        EXPECT_TRUE(Widgets::isEnabled(panel, "next"));
        panel.getPlayer().removeListener(&finishes);
    }
    deviceManager->closeAudioDevice();
}

//==============================================================================
/** The whole workspace on the review course, with the command center that opens the window. */
class InterpretWindowTest : public testing::Test
{
protected:
    InterpretWindowTest()
        : workspace(
              []
              {
                  Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
                  CourseWorkingSet set(6.0, rate);
                  ASSERT_TRUE(set.writeSentences(reviewSentences(), 1));
                  ASSERT_TRUE(set.writeOggCourseAudio(
                      DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
              })
    {
        workspace.layOut(1000, 700);
        CommandWatcher::deliverPostedMessages(); // what the load started
        CommandCenter::interpretWindowPosition = {};
    }

    void open(const ModalAnswerer::Handler& handler) const
    {
        ModalAnswerer answerer;
        answerer.handle(handler);
        EXPECT_TRUE(workspace.main().getCommandCenter()->perform(
            juce::ApplicationCommandTarget::InvocationInfo(CommandCenter::interpretSentence)));
        answerer.expectDone();
    }

    OpenWorkspace workspace;
};

void close(juce::Component& window)
{
    dynamic_cast<juce::DocumentWindow&>(window).closeButtonPressed();
}

TEST_F(InterpretWindowTest, OpensModalFixedInSizeAndReopensWhereItWasLeft)
{
    workspace.model().selectSentence(1, true);
    juce::Rectangle<int> left;
    open(
        [&left](juce::Component& window)
        {
            EXPECT_EQ(window.getName(), TRANS("Interpret and contrast audition"));
            auto* dialog = dynamic_cast<juce::DialogWindow*>(&window);
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(dialog->isResizable());
            EXPECT_NE(dynamic_cast<InterpretComponent*>(dialog->getContentComponent()), nullptr);
            const auto target = window.getPosition() + juce::Point<int>(37, 23);
            window.setTopLeftPosition(target);
            EXPECT_TRUE(OpenCourse::pumpUntil([&] { return window.getPosition() == target; }));
            left = window.getBounds();
            close(window);
        });
    EXPECT_TRUE(CommandCenter::interpretWindowPosition.isNotEmpty());

    // Twice, so that a window that creeps by its frame at each reopening shows.
    for (int reopening = 1; reopening <= 2; ++reopening)
        open(
            [&left, reopening](juce::Component& window)
            {
                OpenCourse::pumpUntil([&] { return window.getBounds() == left; });
                EXPECT_EQ(window.getBounds(), left) << "reopening " << reopening;
                close(window);
            });
}
} // namespace
