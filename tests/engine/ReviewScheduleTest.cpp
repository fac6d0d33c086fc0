// The review schedule's interval rule, the sentence statuses and the mark command with its
// information box and the stop of a review.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
class ReviewScheduleTest : public testing::Test
{
protected:
    ReviewScheduleTest() { Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)); }
    ~ReviewScheduleTest() override { Clock::clearFixedTime(); }

    /** Three sentences of one second: the second unfamiliar and due, the third unfamiliar and due
        only in May, with the given review figures on the second. */
    bool open(int nowStatus, int reviews = 0, int correct = 0)
    {
        auto sentences = OpenCourse::contiguous({OpenCourse::rate, OpenCourse::rate, OpenCourse::rate});
        sentences[1].unfamiliar = true;
        sentences[1].intervalDays = 5;
        sentences[1].reviewDate = "1 Apr 2017";
        sentences[1].reviews = reviews;
        sentences[1].correct = correct;
        sentences[2].unfamiliar = true;
        sentences[2].intervalDays = 5;
        sentences[2].reviewDate = "3 May 2017";
        if (nowStatus != 0 &&
            !course.workingSet().writeOggCourseAudio(
                course.workingSet().getCourseText().getSiblingFile(course.workingSet().getStem() + ".ogg")))
            return false;
        return course.open(sentences, nowStatus);
    }

    CourseModel& model() const { return course.model(); }

    OpenCourse course;
};
} // namespace

TEST_F(ReviewScheduleTest, NextIntervalFollowsTheSequenceSetting)
{
    const struct
    {
        int days;
        bool ok;
        int sequence;
        bool nextDay;
        int expected;
    } cases[] = {
        {0, false, 6, false, 2},  {0, true, 6, true, 1},    {1, true, 6, false, 2},   {1, false, 6, false, 1},
        {2, true, 6, false, 5},   {5, false, 6, false, 2},  {3, true, 1, false, 4},   {4, false, 5, false, 2},
        {10, true, 3, false, 16}, {10, true, 0, false, 10}, {10, true, 8, false, 10},
    };
    for (const auto& c : cases)
    {
        systemModel->intervalSequence = c.sequence;
        systemModel->reviewOnNextDay = c.nextDay;
        EXPECT_EQ(GlobalData::getNextIntervalDays(c.days, c.ok), c.expected)
            << c.days << (c.ok ? " right" : " wrong") << " with sequence " << c.sequence;
    }
}

TEST_F(ReviewScheduleTest, StatusesInLearningAndInReview)
{
    ASSERT_TRUE(open(0));
    EXPECT_EQ(model().getSentenceStatus(-1), 0);
    EXPECT_EQ(model().getSentenceStatus(0), 1);
    EXPECT_EQ(model().getSentenceStatus(1), 2); // unfamiliar, but being learned
    EXPECT_EQ(model().getSentenceStatus(3), 1); // past the end
    EXPECT_FALSE(model().stillHasDueSentence());

    ASSERT_TRUE(open(1));
    ASSERT_FALSE(model().isLearning());
    EXPECT_EQ(model().getSentenceStatus(0), 1);
    EXPECT_EQ(model().getSentenceStatus(1), 3);
    EXPECT_EQ(model().getSentenceStatus(2), 2); // not due before May
    EXPECT_TRUE(model().stillHasDueSentence());

    model().courseModelReset();
    EXPECT_EQ(model().getSentenceStatus(0), 0);
    EXPECT_FALSE(model().stillHasDueSentence());
}

TEST_F(ReviewScheduleTest, MarkingIsOneUndoStepThatSchedulesTheFirstReview)
{
    ASSERT_TRUE(open(0));
    undoManager->clearUndoHistory();
    model().selectSentence(0, true);
    model().browseInfoAndSetUnfamiliar();

    EXPECT_TRUE(model().getValue(0, CourseModel::NeedReview));
    EXPECT_EQ(course.intOf(0, CourseModel::NextIntervalDays), 2);
    EXPECT_EQ(course.textOf(0, CourseModel::NextReviewDate), "4 Apr 2017");
    EXPECT_EQ(course.intOf(-1, CourseModel::TotalNeedReview), 3);
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Set sentence need review"));

    ASSERT_TRUE(undoManager->undo());
    EXPECT_FALSE(model().getValue(0, CourseModel::NeedReview));
    EXPECT_EQ(course.intOf(0, CourseModel::NextIntervalDays), 0);
    EXPECT_EQ(course.textOf(0, CourseModel::NextReviewDate), "");
    EXPECT_EQ(course.intOf(-1, CourseModel::TotalNeedReview), 2);
    EXPECT_TRUE(course.viewsOutOfStep().isEmpty()) << course.viewsOutOfStep();
}

TEST_F(ReviewScheduleTest, StoppedReviewKeepsItsScheduleWhenMarkedAgain)
{
    ASSERT_TRUE(open(0, 2, 0));
    model().selectSentence(1, true);

    ModalAnswerer answerer;
    answerer.press(TRANS("Stop review"));
    answerer.press(TRANS("OK"));
    model().browseInfoAndSetUnfamiliar();
    answerer.expectDone();

    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Sentence info"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("Length: ") + "1.00s\r\n" + TRANS("Next review date: ") +
                                              "2017-04-01\r\n" + TRANS("Review times: ") + "2\r\n" +
                                              TRANS("Correct rate: ") + "0.0%");
    const juce::StringArray buttons{TRANS("OK"), TRANS("Stop review")};
    EXPECT_EQ(answerer.seen()[0].buttons, buttons);
    EXPECT_EQ(answerer.seen()[1].title, TRANS("Confirm"));
    EXPECT_EQ(answerer.seen()[1].icon, juce::MessageBoxIconType::QuestionIcon);

    EXPECT_FALSE(model().getValue(1, CourseModel::NeedReview));
    EXPECT_EQ(course.intOf(-1, CourseModel::TotalNeedReview), 1);
    EXPECT_EQ(undoManager->getUndoDescription(), TRANS("Sentence stop review"));

    // Marked again, it takes up its old interval and date.
    model().browseInfoAndSetUnfamiliar();
    EXPECT_TRUE(model().getValue(1, CourseModel::NeedReview));
    EXPECT_EQ(course.intOf(1, CourseModel::NextIntervalDays), 5);
    EXPECT_EQ(course.textOf(1, CourseModel::NextReviewDate), "1 Apr 2017");
}

TEST_F(ReviewScheduleTest, InfoBoxShowsTheCorrectRateAndOkChangesNothing)
{
    ASSERT_TRUE(open(0, 4, 3));
    model().selectSentence(1, true);
    undoManager->clearUndoHistory();

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    model().browseInfoAndSetUnfamiliar();
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(answerer.seen()[0].message.endsWith(TRANS("Correct rate: ") + "75.0%"));
    EXPECT_TRUE(model().getValue(1, CourseModel::NeedReview));
    EXPECT_FALSE(undoManager->canUndo());
}
