#include "engine/Clock.h"
#include "engine/SystemModel.h"
#include "workspace/QzLookAndFeel.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

namespace
{
class UsageStatisticsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // English texts, so the box reads as written.
        model.language = 1;
        model.setAppLanguage();
        Clock::setFixedMillisecondCounter(1000000);
    }

    int stored(const juce::String& key) { return model.getProperties().getIntValue(key); }
    void advance(juce::uint32 ms) { Clock::setFixedMillisecondCounter(Clock::millisecondCounter() + ms); }

    QzLookAndFeel lookAndFeel;
    SystemModel model{lookAndFeel};
};
} // namespace

TEST_F(UsageStatisticsTest, TimingCountsWholeSecondsOnceAndOnlyWhileRunning)
{
    model.startTiming();
    advance(90900);
    model.stopTiming(true);
    EXPECT_EQ(stored(SystemModel::TotalLearnTime), 90);

    // A second stop without a start adds nothing.
    advance(5000);
    model.stopTiming(true);
    EXPECT_EQ(stored(SystemModel::TotalLearnTime), 90);

    // A restart counts only the time since the second start.
    model.startTiming();
    advance(60000);
    model.startTiming();
    advance(12000);
    model.stopTiming(false);
    EXPECT_EQ(stored(SystemModel::TotalReviewTime), 12);
    EXPECT_EQ(stored(SystemModel::TotalLearnTime), 90);

    // Across a wrap of the counter.
    Clock::setFixedMillisecondCounter(0xffffffffu - 1000);
    model.startTiming();
    Clock::setFixedMillisecondCounter(2000);
    model.stopTiming(false);
    EXPECT_EQ(stored(SystemModel::TotalReviewTime), 15);
}

TEST_F(UsageStatisticsTest, UnfamiliarCountNeverGoesBelowZero)
{
    model.reviewSentenceMinusOne();
    EXPECT_EQ(stored(SystemModel::TotalReviewSentences), 0);
    model.reviewSentenceAddOne();
    model.reviewSentenceAddOne();
    model.reviewSentenceMinusOne();
    EXPECT_EQ(stored(SystemModel::TotalReviewSentences), 1);
}

TEST_F(UsageStatisticsTest, BoxShowsLevelDaysAndAverages)
{
    // A first start today: day 1.
    EXPECT_EQ(model.getStatisticsTitle(), "Current level: +0");
    EXPECT_TRUE(model.getStatisticsText().contains("Total days: 1\r\n"));
    EXPECT_TRUE(model.getStatisticsText().contains("Average daily unfamiliar sentences: 0\r\n"));

    auto& file = model.getProperties();
    file.setValue(SystemModel::TotalReviewSentences, 250);
    file.setValue(SystemModel::TotalLearnTime, 7200);
    file.setValue(SystemModel::TotalReviewTime, 3600);
    file.setValue(SystemModel::FirstUsingDate, "1 Mar 2026");
    Clock::setFixedTime(juce::Time(2026, 2, 2, 15, 0)); // 2 March 2026, the second day

    EXPECT_EQ(model.getStatisticsTitle(), "Current level: +2");
    EXPECT_EQ(model.getStatisticsText(), "Total unfamiliar sentences learned: 250\r\n"
                                         "Total days: 2\r\n"
                                         "Average daily unfamiliar sentences: 125\r\n"
                                         "\r\n"
                                         "Total time: 3 hours 0 minutes \r\n"
                                         "Daily average time: 1 hours 30 minutes \r\n"
                                         "\r\n"
                                         "Total learning time: 2 hours 0 minutes \r\n"
                                         "Daily average learning time: 1 hours 0 minutes \r\n"
                                         "Total review time: 1 hours 0 minutes \r\n"
                                         "Daily average review time: 0 hours 30 minutes ");

    ModalAnswerer answerer;
    answerer.press("OK");
    model.popStatisticsWindow();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Current level: +2");
    EXPECT_EQ(answerer.seen()[0].message, model.getStatisticsText());
    EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::InfoIcon);
}

TEST(UsageStatisticsOfACourse, UnfamiliarCountFollowsTheFlagThroughUndoAndRedo)
{
    OpenCourse course;
    ASSERT_TRUE(course.open(OpenCourse::contiguous({44100, 44100, 44100})));
    auto& model = course.model();
    const auto count = []
    { return systemModel->getProperties().getIntValue(SystemModel::TotalReviewSentences); };

    for (int index : {0, 1})
    {
        undoManager->beginNewTransaction();
        model.setValue(index, CourseModel::NeedReview, true, true);
    }
    EXPECT_EQ(count(), 2);

    undoManager->undo();
    EXPECT_EQ(count(), 1);
    undoManager->redo();
    EXPECT_EQ(count(), 2);

    // Unmarking takes it off the count again.
    model.setValue(0, CourseModel::NeedReview, false, true);
    EXPECT_EQ(count(), 1);
}

TEST(UsageStatisticsOfACourse, MergingCountsOnlyTheUnfamiliarSentencesThatRemain)
{
    OpenCourse course;
    auto sentences = OpenCourse::contiguous({66150, 66150, 66150, 66150, 66150, 66150});
    for (int i : {1, 2, 3, 4})
        sentences[(size_t)i].unfamiliar = true;
    ASSERT_TRUE(course.open(sentences));
    auto& model = course.model();
    systemModel->getProperties().setValue(SystemModel::TotalReviewSentences, 5);
    const auto count = []
    { return systemModel->getProperties().getIntValue(SystemModel::TotalReviewSentences); };

    // Familiar with unfamiliar: one flag goes with the removed sentence, one comes to the first.
    // Two unfamiliar: one of them is gone. Unfamiliar with familiar: nothing changes.
    const struct
    {
        int index;
        int expected;
    } merges[] = {{0, 5}, {1, 4}, {2, 4}};
    for (const auto& m : merges)
    {
        model.mergeSentences(m.index);
        EXPECT_EQ(count(), m.expected) << "merge at " << m.index;
    }
    EXPECT_EQ(model.getNumSentences(), 3);

    while (undoManager->canUndo())
        undoManager->undo();
    EXPECT_EQ(model.getNumSentences(), 6);
    EXPECT_EQ(count(), 5);
}

TEST(UsageStatisticsOfACourse, TimeBetweenSavesCountsForLearningOrForReview)
{
    const struct
    {
        int nowStatus;
        juce::String counted;
        juce::String other;
    } cases[] = {{0, SystemModel::TotalLearnTime, SystemModel::TotalReviewTime},
                 {1, SystemModel::TotalReviewTime, SystemModel::TotalLearnTime}};
    for (const auto& c : cases)
    {
        {
            Clock::setFixedMillisecondCounter(1000000);
            OpenCourse course;
            // A review course plays the Ogg Vorbis audio that archiving left.
            auto& set = course.workingSet();
            ASSERT_TRUE(c.nowStatus == 0 ||
                        set.writeOggCourseAudio(set.getCourseText().getSiblingFile(set.getStem() + ".ogg")));
            ASSERT_TRUE(course.open(OpenCourse::contiguous({44100, 44100}), c.nowStatus));
            const auto stored = [](const juce::String& key)
            { return systemModel->getProperties().getIntValue(key); };
            const int before = stored(c.counted);
            const int otherBefore = stored(c.other);
            systemModel->startTiming(); // as the controller does when it has loaded a course

            Clock::setFixedMillisecondCounter(1000000 + 40500);
            course.model().setValue(0, CourseModel::EnglishText, "Edited.", true);
            ASSERT_TRUE(OpenCourse::pumpUntil([&] { return stored(c.counted) == before + 40; }))
                << c.nowStatus;

            // Each save starts the next timing, so the time up to the following save counts too.
            Clock::setFixedMillisecondCounter(1000000 + 60500);
            course.model().setValue(1, CourseModel::EnglishText, "Edited too.", true);
            ASSERT_TRUE(OpenCourse::pumpUntil([&] { return stored(c.counted) == before + 60; }))
                << c.nowStatus;
            EXPECT_EQ(stored(c.other), otherBefore) << c.nowStatus;
        }
        // The next case makes a working set of its own.
        DocumentManager::TempDir().deleteRecursively();
    }
}

TEST(UsageStatisticsOfTheWorkspace, ClearingTheWorkspaceAndClosingTheProgramStopTheTiming)
{
    const auto courseLeftInTheTemporaryFolder = []
    {
        CourseWorkingSet set(6.0, 44100);
        ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({2 * 44100, 2 * 44100})));
    };
    const auto learnt = [] { return systemModel->getProperties().getIntValue(SystemModel::TotalLearnTime); };

    Clock::setFixedMillisecondCounter(1000000);
    {
        OpenWorkspace workspace(courseLeftInTheTemporaryFolder);
        ASSERT_TRUE(workspace.controller().isCourseOpen());
        Clock::setFixedMillisecondCounter(1000000 + 12000);
        workspace.controller().resetToEmpty();
        EXPECT_EQ(learnt(), 12);

        // Nothing runs without a course.
        Clock::setFixedMillisecondCounter(1000000 + 99000);
        workspace.controller().resetToEmpty();
        EXPECT_EQ(learnt(), 12);
    }
    {
        Clock::setFixedMillisecondCounter(2000000);
        OpenWorkspace workspace(courseLeftInTheTemporaryFolder);
        ASSERT_TRUE(workspace.controller().isCourseOpen());
        Clock::setFixedMillisecondCounter(2000000 + 50000);
    }
    ProcessWideObjects restarted;
    EXPECT_EQ(learnt(), 62);
}
