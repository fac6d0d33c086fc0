// The whole workspace on a machine without any audio device: the device manager is opened as at
// start-up while no sound card and no JACK server can be reached. What needs no sound (opening a
// course, editing its texts, archiving it, a review typed on the keyboard) works as usual; what
// needs sound tells the learner that there is none instead of playing into nothing.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "engine/audio/AudioDeviceCheck.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/sentences/PageSentence.h"
#include "workspace/sentences/ReviewSentence.h"

#include "harness/CommandWatcher.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

#include <cstdlib>

using juce::String;

namespace
{
constexpr int rate = 44100;

/** Four sentences of a second and a half; the last two unfamiliar with texts, the others none.
    As a review course (state 1) the unfamiliar ones are due, a day late on the fixed day, and its
    rendered audio lies beside. */
void leaveCourse(int nowStatus)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::contiguous({66150, 66150, 66150, 66150});
    for (size_t i : {2u, 3u})
    {
        sentences[i].unfamiliar = true;
        sentences[i].foreign = i == 2 ? "The dog runs." : "Birds sing.";
        sentences[i].intervalDays = 2;
        sentences[i].reviewDate = "1 Apr 2017";
        sentences[i].reviews = 1;
        sentences[i].correct = 1;
    }
    ASSERT_TRUE(set.writeSentences(sentences, nowStatus));
    if (nowStatus != 0)
    {
        ASSERT_TRUE(set.writeOggCourseAudio(set.getCourseText().getSiblingFile(set.getStem() + ".ogg")));
    }
}

class NoAudioDeviceTest : public testing::Test
{
protected:
    NoAudioDeviceTest()
    {
        Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
        // The JACK library connects to the server this variable names: none runs under it.
        if (const char* value = std::getenv("JACK_DEFAULT_SERVER"))
            previousServer = value;
        setenv("JACK_DEFAULT_SERVER", "qz-no-such-server", 1);
        setenv("JACK_NO_START_SERVER", "1", 1);
    }

    ~NoAudioDeviceTest() override
    {
        if (previousServer.isEmpty())
            unsetenv("JACK_DEFAULT_SERVER");
        else
            setenv("JACK_DEFAULT_SERVER", previousServer.toRawUTF8(), 1);
        Clock::clearFixedTime();
    }

    /** The workspace started as the application starts it, the device manager opened first. */
    std::unique_ptr<OpenWorkspace> start(int nowStatus)
    {
        return std::make_unique<OpenWorkspace>(
            [nowStatus]
            {
                // A review asks for typed answers first.
                systemModel->transWhenReview = true;
                systemModel->transFirst = 1;
                leaveCourse(nowStatus);
                AudioDeviceCheck::openDevice(*deviceManager, nullptr);
            });
    }

    static bool machineHasASoundCard() { return deviceManager->getCurrentAudioDevice() != nullptr; }

    String previousServer;
};
} // namespace

TEST_F(NoAudioDeviceTest, OpeningEditingAndArchivingACourseNeedNoSound)
{
    auto workspace = start(0);
    if (machineHasASoundCard())
        GTEST_SKIP() << "this machine has a sound card";
    EXPECT_TRUE(AudioDeviceCheck::isMissing());

    auto& controller = workspace->controller();
    auto& model = workspace->model();
    ASSERT_TRUE(controller.isCourseOpen());
    ASSERT_EQ(model.getNumSentences(), 4);

    auto* page = dynamic_cast<PageSentence*>(model.getPages()[1]);
    ASSERT_NE(page, nullptr);
    page->setOrginText("A cat.", true);
    EXPECT_EQ(model.getValue(1, CourseModel::EnglishText).toString(), "A cat.");

    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::courseText).getFileNameWithoutExtension();
    EXPECT_TRUE(workspace->archiveAsTheLearnerDoes()) << "the course stays open";
    EXPECT_TRUE(DocumentManager::CourseDir().getChildFile(stem + ".mqz").existsAsFile());
}

TEST_F(NoAudioDeviceTest, AReviewIsAnsweredOnTheKeyboardWithoutSound)
{
    auto workspace = start(1);
    if (machineHasASoundCard())
        GTEST_SKIP() << "this machine has a sound card";

    auto& controller = workspace->controller();
    auto& model = workspace->model();
    ASSERT_FALSE(model.isLearning());
    ASSERT_EQ(controller.getNumDueSentences(), 2);

    for (int index : {2, 3})
    {
        SCOPED_TRACE(index);
        auto* review = dynamic_cast<ReviewSentence*>(model.getPages()[index]);
        ASSERT_NE(review, nullptr);
        auto& field = review->getAnswerField();
        ASSERT_TRUE(field.isOpenForInput()) << index;
        field.insertTextAtCaret(model.getValue(index, CourseModel::EnglishText).toString());
        ModalAnswerer answerer;
        if (index == 3)
            answerer.cancel(); // the day's "Congratulations!"
        EXPECT_TRUE(field.keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));
        CommandWatcher::deliverPostedMessages();
        answerer.expectDone();
    }
    EXPECT_EQ(controller.getNumDueSentences(), 0);
}

TEST_F(NoAudioDeviceTest, WhatNeedsSoundSaysThatThereIsNoDevice)
{
    const struct
    {
        const char* what;
        CommandCenter::CommandId command;
    } cases[] = {
        {"playing the sentence", CommandCenter::playStop},
        {"replaying the sentence", CommandCenter::replaySentence},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto workspace = start(0);
        if (machineHasASoundCard())
            GTEST_SKIP() << "this machine has a sound card";

        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        commandManager->invokeDirectly(c.command, false);
        ASSERT_TRUE(answerer.waitUntilSeen(1, 5000));
        answerer.expectDone();
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Ah oh"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS("There is no audio device to play the sound through.") +
                                                  "\r\n" + TRANS("Please check the audio device setup."));
        EXPECT_FALSE(workspace->controller().isSentencePlayerPlaying());
        EXPECT_FALSE(workspace->main().getCommandCenter()->getReplayPlayer().transportSource.isPlaying());
    }
}
