// The change of a learned course into a review course while it is archived: the sentences laid
// back to back on the rendered audio's time line, the first review dates, the course's state,
// and the course text that archiving packs.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include "harness/FileFaults.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

namespace
{
class CourseModelArchivingTest : public testing::Test
{
protected:
    CourseModelArchivingTest()
    {
        Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
        // Rendered at twice the course's rate: every length doubles.
        systemModel->audioRenderSampleRate = 88200.0;
    }

    /** Three sentences with a removed stretch between the first two: a familiar one, a newly
        marked one, and one that was marked before and keeps its schedule. */
    bool open()
    {
        std::vector<OpenCourse::Sentence> sentences(3);
        sentences[0] = {0, 9999, "One.", "", false, 0, 0, 0, ""};
        sentences[1] = {15000, 19999, "Two.", "", true, 0, 0, 0, ""};
        sentences[2] = {20000, 25000, "Three.", "", true, 7, 3, 2, "1 Jan 2030"};
        return course.open(sentences);
    }

    OpenCourse course;
};
} // namespace

TEST_F(CourseModelArchivingTest, TheCourseIsLaidOnTheRenderedAudioAndScheduledForItsFirstReview)
{
    ASSERT_TRUE(open());
    auto& model = course.model();
    ASSERT_TRUE(model.updateAndSaveTextOfNewCourse(course.workingSet().getCourseText()));

    const auto saved = course.workingSet().readCourseText();
    ASSERT_NE(saved, nullptr);
    struct Expected
    {
        int start, end, interval;
        const char* date;
    };
    // The 10000 samples from 0 to 9999 are 20000 at twice the rate; the gap of 5000 samples is
    // gone.
    const Expected expected[] = {
        {0, 19999, 0, ""}, {20000, 29999, 2, "4 Apr 2017"}, {30000, 40001, 7, "1 Jan 2030"}};
    for (int i = 0; i < 3; ++i)
    {
        const auto* sentence = saved->getChildElement(i);
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::StartSamples), expected[i].start) << i;
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::EndSamples), expected[i].end) << i;
        EXPECT_EQ(sentence->getIntAttribute(CourseModel::NextIntervalDays), expected[i].interval) << i;
        EXPECT_EQ(sentence->getStringAttribute(CourseModel::NextReviewDate), expected[i].date) << i;
    }
    EXPECT_EQ(saved->getChildElement(2)->getIntAttribute(CourseModel::TotalReviews), 3);
    EXPECT_EQ(saved->getIntAttribute(CourseModel::NowStatus), 1);
    EXPECT_EQ(saved->getIntAttribute(CourseModel::NextNeedReview), 2);
    EXPECT_EQ(saved->getStringAttribute(CourseModel::NextReviewDate), "4 Apr 2017");
    EXPECT_EQ(saved->getIntAttribute(CourseModel::CourseLength), 40001);
    EXPECT_DOUBLE_EQ(saved->getDoubleAttribute(CourseModel::CourseSeconds), 40001 / 88200.0);

    // Nothing follows the tree any more: no view moves and no save is made.
    const auto text = course.workingSet().getCourseText().loadFileAsString();
    model.setValue(0, CourseModel::EndSamples, 100, false);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(300);
    EXPECT_EQ(course.thumb(0).end, 9999);
    EXPECT_EQ(course.workingSet().getCourseText().loadFileAsString(), text);
    EXPECT_EQ(undoManager->getNumActionsInCurrentTransaction(), 0);
    EXPECT_FALSE(undoManager->canUndo());
}

TEST_F(CourseModelArchivingTest, ACourseTextThatCanNotBeWrittenIsReported)
{
    ASSERT_TRUE(open());
    const auto before = course.workingSet().getCourseText().loadFileAsString();
    ReadOnlyFolder readOnly(DocumentManager::TempDir());
    if (!readOnly.holds())
        GTEST_SKIP() << "this file system can't make a folder read-only";

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    EXPECT_FALSE(course.model().updateAndSaveTextOfNewCourse(course.workingSet().getCourseText()));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Message"));
    EXPECT_EQ(answerer.seen()[0].message, TRANS("Unknown error: the course xml file write failed!"));
    EXPECT_EQ(course.workingSet().getCourseText().loadFileAsString(), before);
}
