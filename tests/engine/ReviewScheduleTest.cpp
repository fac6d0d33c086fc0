// The review schedule's interval rule, scheduling with the late bonus and the finish, dates across
// midnight and daylight-saving changes, what bad review values in a course text read as, the
// sentence statuses and the mark command with its information box and the stop of a review.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

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
        // A due sentence without a foreign text would count as answered by the empty answer.
        const char* texts[] = {"zero", "one two", "three"};
        for (size_t i = 0; i < sentences.size(); ++i)
            sentences[i].foreign = texts[i];
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

    /** Gives sentence 1 of the open course that interval and date (as a course text may hold
        them, text included), schedules it after an answer and reads back what it got. */
    std::pair<String, String> scheduled(const juce::var& interval, const String& date, bool ok)
    {
        model().setValue(1, CourseModel::NextIntervalDays, interval, false);
        model().setValue(1, CourseModel::NextReviewDate, date, false);
        model().setNextIntervalDays(1, ok);
        return {course.textOf(1, CourseModel::NextIntervalDays),
                course.textOf(1, CourseModel::NextReviewDate)};
    }

    OpenCourse course;
};

/** Puts the process in a time zone for the test's lifetime (the framework's local times follow
    the process's zone), and back afterwards. */
class TimeZone
{
public:
    explicit TimeZone(const char* zone) : saved(std::getenv("TZ") != nullptr ? std::getenv("TZ") : "")
    {
        hadZone = std::getenv("TZ") != nullptr;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (hadZone)
            setenv("TZ", saved.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string saved;
    bool hadZone = false;
};

juce::Time local(int year, int month, int day, int hours, int minutes)
{
    return juce::Time(year, month, day, hours, minutes, 0, 0, true);
}
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

TEST_F(ReviewScheduleTest, SchedulingMultipliesAddsTheLateBonusAndFinishesAtTheMaximum)
{
    ASSERT_TRUE(open(1));
    const struct
    {
        const char* what;
        juce::var interval;
        const char* date;
        bool ok;
        int sequence;
        int maximum;
        const char* expectedInterval;
        const char* expectedDate;
    } cases[] = {
        {"on time, 2 x 2.5", 2, "2 Apr 2017", true, 6, 13, "5", "7 Apr 2017"},
        {"a day late earns nothing", 5, "1 Apr 2017", false, 6, 13, "2", "4 Apr 2017"},
        {"three days late: 12 (12.5 to even) + 1 reaches 13", 5, "30 Mar 2017", true, 6, 13, "999999",
         "1 Feb 3013"},
        {"the same below a higher maximum", 5, "30 Mar 2017", true, 6, 20, "13", "15 Apr 2017"},
        {"a week late: 5 + 3", 2, "26 Mar 2017", true, 6, 13, "8", "10 Apr 2017"},
        {"a new interval is the first", 0, "2 Apr 2017", false, 6, 13, "2", "4 Apr 2017"},
        {"one day becomes two", 1, "2 Apr 2017", true, 6, 13, "2", "4 Apr 2017"},
        {"a sequence outside 1 to 7 keeps the interval", 10, "2 Apr 2017", true, 0, 20, "10", "12 Apr 2017"},
        // What a course text from elsewhere may hold.
        {"a negative interval counts as none", -7, "2 Apr 2017", true, 6, 13, "2", "4 Apr 2017"},
        {"an interval beyond the maximum finishes", 5000, "2 Apr 2017", false, 6, 13, "999999", "1 Feb 3013"},
        {"an interval at the integer limit finishes", "2147483647", "2 Apr 2017", true, 6, 13, "999999",
         "1 Feb 3013"},
        {"a number beyond the integer range finishes", "99999999999", "2 Apr 2017", true, 6, 13, "999999",
         "1 Feb 3013"},
        {"an unreadable date earns no bonus", 5, "2017-03-02", true, 6, 20, "12", "14 Apr 2017"},
        {"a maximum of 0 finishes at once", 2, "2 Apr 2017", true, 6, 0, "999999", "1 Feb 3013"},
        {"no interval beyond the finished mark", 400000, "2 Apr 2017", true, 6,
         std::numeric_limits<int>::max(), "999999", "1 Feb 3013"},
    };
    for (const auto& c : cases)
    {
        systemModel->intervalSequence = c.sequence;
        systemModel->maxIntervalDays = c.maximum;
        model().selectSentence(0, true);
        const auto [interval, date] = scheduled(c.interval, c.date, c.ok);
        EXPECT_EQ(interval, c.expectedInterval) << c.what;
        EXPECT_EQ(date, c.expectedDate) << c.what;
    }

    // The schedule's own changes run no callback: the selection stays where it was.
    model().selectSentence(0, true);
    model().setNextIntervalDays(1, true);
    EXPECT_EQ(model().getSelectedIndex(), 0);

    // Familiar sentences and indices outside the course are left alone.
    model().setNextIntervalDays(0, true);
    model().setNextIntervalDays(7, true);
    model().setNextIntervalDays(-1, true);
    EXPECT_EQ(course.textOf(0, CourseModel::NextIntervalDays), "0");
    EXPECT_EQ(course.textOf(-1, CourseModel::NextIntervalDays), "");
}

TEST_F(ReviewScheduleTest, DatesFollowTheLocalCalendarAcrossMidnightAndDaylightSavingChanges)
{
    const TimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(open(1));
    systemModel->intervalSequence = 6;
    systemModel->maxIntervalDays = 20;
    const struct
    {
        const char* what;
        juce::Time now;
        int interval;
        const char* date;
        const char* expectedInterval;
        const char* expectedDate;
    } cases[] = {
        {"a minute before midnight", local(2017, 3, 2, 23, 59), 2, "2 Apr 2017", "5", "7 Apr 2017"},
        {"at midnight", local(2017, 3, 3, 0, 0), 2, "3 Apr 2017", "5", "8 Apr 2017"},
        // Clocks go forward on 30 March 2025: two days from a late evening are not 48 hours.
        {"over the spring change", local(2025, 2, 29, 23, 30), 0, "29 Mar 2025", "2", "31 Mar 2025"},
        // Clocks go back on 26 October 2025: the day of 25 hours is one day, not one day and more,
        // so a review at 23:30 on the fourth day is still less than four days late.
        {"late over the autumn change", local(2025, 9, 26, 23, 30), 2, "23 Oct 2025", "6", "1 Nov 2025"},
    };
    for (const auto& c : cases)
    {
        Clock::setFixedTime(c.now);
        const auto [interval, date] = scheduled(c.interval, c.date, true);
        EXPECT_EQ(interval, c.expectedInterval) << c.what;
        EXPECT_EQ(date, c.expectedDate) << c.what;
    }

    // The time of day stays, also where the clock changed in between.
    Clock::setFixedTime(local(2025, 9, 25, 0, 30));
    const auto later = DocumentManager::getDateAfterDays(2);
    EXPECT_EQ(later.toString(true, false), "27 Oct 2025");
    EXPECT_EQ(later.toString(false, true, false, true), "0:30");
    Clock::setFixedTime(local(2025, 2, 31, 23, 30));
    EXPECT_EQ(DocumentManager::getDateAfterDays(-2).toString(true, true, false, true), "29 Mar 2025 23:30");
}

TEST_F(ReviewScheduleTest, UnreadableDatesAreNeverDue)
{
    const struct
    {
        const char* date;
        bool due;
    } cases[] = {
        {"1 Apr 2017", true},   {"2 Apr 2017", true},
        {"9 dec 2016", true}, // read as January
        {"3 Apr 2017", false},  {"", false},
        {"2017-04-02", false},  {"Apr 1 2017", false},
        {"1 Apr 17", false},    {"0 Apr 2017", false},
        {"32 Mar 2017", false}, {"1 Apr 2017 ", false},
        {"x Apr 2017", false},  {"1 April 2017", false},
        {"-1 Apr 2017", false},
    };
    ASSERT_TRUE(course.workingSet().writeOggCourseAudio(
        course.workingSet().getCourseText().getSiblingFile(course.workingSet().getStem() + ".ogg")));
    for (const auto& c : cases)
    {
        auto sentences = OpenCourse::contiguous({OpenCourse::rate});
        sentences[0].foreign = "one";
        sentences[0].unfamiliar = true;
        sentences[0].intervalDays = 2;
        sentences[0].reviewDate = c.date;
        ASSERT_TRUE(course.open(sentences, 1));
        EXPECT_EQ(model().unfamiliarIsDue(0), c.due) << '"' << c.date << '"';
        EXPECT_EQ(model().getSentenceStatus(0), c.due ? 3 : 2) << '"' << c.date << '"';

        // The due scan of the library and of a course left open reads them the same way.
        const auto text = course.workingSet().readCourseText();
        EXPECT_EQ(DocumentManager::countDueSentences(*text), c.due ? 1 : 0) << '"' << c.date << '"';
    }
}
