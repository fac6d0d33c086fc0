// A review day in the course model: the first due sentence selected at opening, answers counted
// and rescheduled, the next answer opened, the boxes at the end of the day, the due navigation and
// the day close that dates the course.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/sentences/ReviewSentence.h"

#include "harness/CommandWatcher.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

#include <limits>

using juce::String;

namespace
{
constexpr juce::CommandID interpretCurrentSentence = 0x2005;

class ReviewDayTest : public testing::Test
{
protected:
    ReviewDayTest() { Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)); }
    ~ReviewDayTest() override { Clock::clearFixedTime(); }

    /** Four sentences of a second: 0 familiar, 1 and 3 unfamiliar and due, 2 unfamiliar and due
        only in May. */
    void SetUp() override
    {
        auto sentences =
            OpenCourse::contiguous({OpenCourse::rate, OpenCourse::rate, OpenCourse::rate, OpenCourse::rate});
        const char* texts[] = {"zero", "one two", "three", "four"};
        for (size_t i = 0; i < sentences.size(); ++i)
            sentences[i].foreign = texts[i];
        schedule(sentences[1], 2, "1 Apr 2017", 3, 2);
        schedule(sentences[2], 5, "3 May 2017", 0, 0);
        schedule(sentences[3], 5, "30 Mar 2017", 1, 1);
        ASSERT_TRUE(course.workingSet().writeOggCourseAudio(
            course.workingSet().getCourseText().getSiblingFile(course.workingSet().getStem() + ".ogg")));
        ASSERT_TRUE(course.open(sentences, 1));
    }

    static void schedule(OpenCourse::Sentence& s, int interval, const char* date, int reviews, int correct)
    {
        s.unfamiliar = true;
        s.intervalDays = interval;
        s.reviewDate = date;
        s.reviews = reviews;
        s.correct = correct;
    }

    CourseModel& model() const { return course.model(); }
    ReviewSentence& review(int index) const { return *dynamic_cast<ReviewSentence*>(&course.page(index)); }
    void answer(int index, const String& text) const { review(index).getAnswerField().setText(text, false); }
    String text(int index, const juce::Identifier& key) const { return course.textOf(index, key); }

    /** The interval, date, reviews and right answers of a sentence, in one line. */
    String figures(int index) const
    {
        return text(index, CourseModel::NextIntervalDays) + ", " + text(index, CourseModel::NextReviewDate) +
               ", " + text(index, CourseModel::TotalReviews) + ", " + text(index, CourseModel::CorrectTimes);
    }

    bool isAsking(int index) const
    {
        auto& field = review(index).getAnswerField();
        return field.isOpenForInput() && field.isCurrentlyModal(false) && !field.isReadOnly();
    }

    OpenCourse course;
};

const juce::StringArray dayEndButtons()
{
    return {TRANS("Review next due course"), TRANS("Interpreter training"), TRANS("Cancel")};
}
} // namespace

TEST_F(ReviewDayTest, OpeningSelectsTheFirstDueSentenceAndARightAnswerMakesItStatusFour)
{
    EXPECT_EQ(model().getSelectedIndex(), 1);
    const int statuses[] = {1, 3, 2, 3};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(model().getSentenceStatus(i), statuses[i]) << "sentence " << i;

    answer(1, "  one two ");
    EXPECT_EQ(model().getSentenceStatus(1), 4);
    EXPECT_TRUE(model().stillHasDueSentence());
    answer(3, "Four"); // letter case counts
    EXPECT_EQ(model().getSentenceStatus(3), 3);
    answer(3, "four");
    EXPECT_FALSE(model().stillHasDueSentence());
}

TEST_F(ReviewDayTest, ARightAnswerIsCountedAndRescheduledAndTheNextAnswerOpens)
{
    answer(1, "one two");
    model().reviewSuccessed(&review(1), true);

    EXPECT_EQ(figures(1), "5, 7 Apr 2017, 4, 3");
    EXPECT_EQ(model().getSelectedIndex(), 3);
    EXPECT_TRUE(isAsking(3));
    EXPECT_FALSE(isAsking(1));

    // Right only after the attempts ran out: the day goes on, the sentence keeps its schedule.
    answer(3, "four");
    ModalAnswerer answerer;
    answerer.cancel();
    model().reviewSuccessed(&review(3), false);
    answerer.expectDone();
    EXPECT_EQ(figures(3), "5, 30 Mar 2017, 1, 1");
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Congratulations!"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("This course review completed today. ") + "\r\n\r\n" +
                                              TRANS("What do you want to do next?"));
    EXPECT_EQ(answerer.seen()[0].buttons, dayEndButtons());
}

TEST_F(ReviewDayTest, AFailureCountsAReviewAndTakesARightAnswerBack)
{
    model().reviewFailed(&review(1));
    EXPECT_EQ(figures(1), "1, 3 Apr 2017, 4, 1");
    // Nothing moves on: the learner still has to get it right.
    EXPECT_EQ(model().getSelectedIndex(), 1);
    EXPECT_EQ(model().getSentenceStatus(1), 3);

    // Counters from a text made elsewhere never wrap around; reviews are never below 0.
    const struct
    {
        const char* reviews;
        const char* correct;
        bool right;
        const char* expected;
    } cases[] = {
        {"2147483647", "99999999999", true, "2147483647, 2147483647"},
        {"-5", "-2147483648", false, "1, -2147483648"},
        {"", "x", false, "1, -1"},
    };
    for (const auto& c : cases)
    {
        model().setValue(3, CourseModel::TotalReviews, c.reviews, false);
        model().setValue(3, CourseModel::CorrectTimes, c.correct, false);
        answer(3, "four");
        answer(1, "one two");
        ModalAnswerer answerer;
        if (c.right)
        {
            answerer.cancel();
            model().reviewSuccessed(&review(3), true);
        }
        else
        {
            model().reviewFailed(&review(3));
        }
        answerer.expectDone();
        EXPECT_EQ(text(3, CourseModel::TotalReviews) + ", " + text(3, CourseModel::CorrectTimes), c.expected)
            << c.reviews << " and " << c.correct;
    }
}

TEST_F(ReviewDayTest, TheLastAnswerOffersTheNextCourseOrInterpretation)
{
    const struct
    {
        const char* choice;
        bool interprets;
    } cases[] = {{"", false}, {"Interpreter training", true}};
    for (const auto& c : cases)
    {
        answer(1, "one two");
        model().selectSentence(3, true);
        answer(3, "four");

        CommandWatcher watcher{interpretCurrentSentence};
        ModalAnswerer answerer;
        if (String(c.choice).isEmpty())
            answerer.cancel();
        else
            answerer.press(TRANS(c.choice));
        model().reviewSuccessed(&review(3), false);
        answerer.expectDone();
        CommandWatcher::deliverPostedMessages();

        SCOPED_TRACE(c.choice);
        EXPECT_EQ(watcher.performed.size(), c.interprets ? 1 : 0);
        // Interpretation starts at the first due sentence.
        EXPECT_EQ(model().getSelectedIndex(), c.interprets ? 1 : 3);
    }
}

TEST_F(ReviewDayTest, AFullyReviewedCourseIsMarkedAndSaidSoBeforeTheDayEnds)
{
    EXPECT_FALSE(model().allReviewedAndMakerNeedDel());
    EXPECT_EQ(text(-1, CourseModel::NowStatus), "1");

    // Sentence 3 finishes with this answer (three days late: 12 + 1 reaches 13); the others had.
    for (int i : {1, 2})
        model().setValue(i, CourseModel::NextIntervalDays, 999999, false);
    answer(1, "one two");
    answer(3, "four");
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    answerer.cancel();
    model().reviewSuccessed(&review(3), true);
    answerer.expectDone();

    EXPECT_EQ(figures(3), "999999, 1 Feb 3013, 2, 2");
    EXPECT_EQ(text(-1, CourseModel::NowStatus), "-1");
    EXPECT_EQ(text(-1, CourseModel::NextReviewDate), "1 Jan 3013");
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Congratulations!"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("This course has been full-reviewed completly.") +
                                              "\r\n\r\n" +
                                              TRANS("It can be removed in 'Course Manager' dialog."));
    EXPECT_EQ(answerer.seen()[1].buttons, dayEndButtons());
}

TEST_F(ReviewDayTest, AnUnfamiliarSentenceWithoutTextStopsTheDayAndIsShown)
{
    EXPECT_TRUE(model().allUnfamiliarsHaveTexts());
    // Blanks are no text: they would match an empty answer.
    model().setValue(2, CourseModel::EnglishText, "   ", false);
    answer(1, "one two");
    answer(3, "four");
    model().selectSentence(3, true);

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    model().reviewSuccessed(&review(3), false);
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Ah oh"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("All unfamiliar sentences must have their text.") +
                                              "\r\n\r\n" +
                                              TRANS("Please complete all necessary texts first."));
    EXPECT_EQ(model().getSelectedIndex(), 2);
}

TEST_F(ReviewDayTest, DueNavigationStepsThroughTheSentencesDueToday)
{
    // Sentence 1 answered already: answered ones count as due for the navigation.
    answer(1, "one two");
    const struct
    {
        int selected;
        bool first;
        bool last;
        int previous; // -1: none, the selection stays
        int next;
    } cases[] = {
        {0, false, false, -1, 1},
        {1, true, false, -1, 3},
        {2, false, false, 1, 3},
        {3, false, true, 1, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("selected " + String(c.selected));
        model().selectSentence(c.selected, true);
        EXPECT_EQ(model().currentSentenceIsFirstDue(), c.first);
        EXPECT_EQ(model().currentSentenceIsLastDue(), c.last);

        EXPECT_EQ(model().selectPrevDueSentence(), c.previous >= 0);
        EXPECT_EQ(model().getSelectedIndex(), c.previous >= 0 ? c.previous : c.selected);

        model().selectSentence(c.selected, true);
        EXPECT_EQ(model().selectNextDueSentence(), c.next >= 0);
        EXPECT_EQ(model().getSelectedIndex(), c.next >= 0 ? c.next : c.selected);
    }

    model().selectSentence(3, true);
    EXPECT_TRUE(model().selectFirstDueSentence());
    EXPECT_EQ(model().getSelectedIndex(), 1);

    // A sentence taken out of review is no longer due.
    model().setValue(1, CourseModel::NeedReview, false, false);
    model().selectSentence(3, true);
    EXPECT_TRUE(model().currentSentenceIsFirstDue());
}

TEST_F(ReviewDayTest, TheDayCloseDatesTheCourseByItsEarliestUnfamiliarSentence)
{
    // Typed review: the answers have counted already, only the course is dated.
    model().updateCourseAttribWhenReviewed();
    EXPECT_EQ(text(-1, CourseModel::NextReviewDate), "30 Mar 2017");
    EXPECT_EQ(text(-1, CourseModel::NextNeedReview), "1");
    EXPECT_EQ(figures(1), "2, 1 Apr 2017, 3, 2");

    // Listening review: every due sentence counts as known.
    systemModel->transWhenReview = false;
    model().updateCourseAttribWhenReviewed();
    EXPECT_EQ(figures(1), "5, 7 Apr 2017, 4, 3");
    EXPECT_EQ(figures(3), "999999, 1 Feb 3013, 2, 2");
    EXPECT_EQ(figures(2), "5, 3 May 2017, 0, 0");
    EXPECT_EQ(text(-1, CourseModel::NextReviewDate), "7 Apr 2017");
    EXPECT_EQ(text(-1, CourseModel::NextNeedReview), "1");

    // The sentences due on the course's date are counted, all of them.
    model().setValue(2, CourseModel::NextReviewDate, "7 Apr 2017", false);
    model().setValue(0, CourseModel::NextReviewDate, "7 Apr 2017", false);
    model().updateCourseAttribWhenReviewed();
    EXPECT_EQ(text(-1, CourseModel::NextNeedReview), "3");

    // With no unfamiliar sentence left the course is parked on the finished date.
    for (int i = 1; i < 4; ++i)
        model().setValue(i, CourseModel::NeedReview, false, false);
    model().updateCourseAttribWhenReviewed();
    EXPECT_EQ(text(-1, CourseModel::NextReviewDate), "1 Feb 3013");
    EXPECT_EQ(text(-1, CourseModel::NextNeedReview), "1");
}

TEST_F(ReviewDayTest, TheCurrentDueSentenceAsksForItsAnswerOnlyWhileUnanswered)
{
    model().selectSentence(2, true); // not due
    model().transCurrentDueSentence();
    EXPECT_FALSE(review(2).getAnswerField().isOpenForInput());

    model().selectSentence(3, true);
    model().transCurrentDueSentence();
    EXPECT_TRUE(isAsking(3));
    review(3).textEditotExitModal();

    answer(3, "four");
    model().transCurrentDueSentence();
    EXPECT_FALSE(isAsking(3));
}
