// The courses due on a review day in the whole workspace: an archive that can't be opened is named
// to the learner and set aside for the day, without blocking the other due courses or a new one.
#include "workspace/CourseController.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"

#include "harness/CourseWorkingSet.h"
#include "harness/LibraryArchives.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

using juce::File;
using juce::String;

namespace
{
constexpr int rate = 44100;

/** 2 April 2017, afternoon: the courses' review day. */
juce::Time reviewDay()
{
    return juce::Time(2017, 3, 2, 15, 30, 7, 0, true);
}

/** Leaves in the library a review course archived at that hour of the day before: two sentences
    of two seconds, the second unfamiliar and due on the review day. Its stem. */
String archiveDueCourse(int hour)
{
    Clock::setFixedTime(juce::Time(2017, 3, 1, hour, 0, 0, 0, true));
    CourseWorkingSet set(4.0, rate);
    EXPECT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::contiguous({2 * rate, 2 * rate});
    sentences[1].unfamiliar = true;
    sentences[1].foreign = "The dog runs.";
    sentences[1].intervalDays = 1;
    sentences[1].reviewDate = "2 Apr 2017";
    EXPECT_TRUE(set.writeSentences(sentences, 1));
    auto course = set.readCourseText();
    course->setAttribute(CourseModel::NextReviewDate, "2 Apr 2017");
    EXPECT_TRUE(course->writeTo(set.getCourseText()));
    EXPECT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
    EXPECT_TRUE(DocumentManager::packDocument());
    DocumentManager::TempDir().deleteRecursively();
    Clock::setFixedTime(reviewDay());
    return set.getStem();
}

/** The due courses in the order in which the workspace will offer them. */
juce::Array<File> dueCourses()
{
    juce::Array<File> due;
    int sentences = 0;
    DocumentManager::getCoursesNeedReview(due, sentences);
    return due;
}

juce::MemoryBlock contentOf(const File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData(block);
    return block;
}

String openStem()
{
    return DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
}

bool isEnabled(OpenWorkspace& workspace, int commandId)
{
    juce::ApplicationCommandInfo info(commandId);
    workspace.main().getCommandCenter()->getCommandInfo(commandId, info);
    return (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
}

void clearLibrary()
{
    for (const auto& folder :
         {DocumentManager::TempDir(), DocumentManager::CourseDir(), DocumentManager::MobileDir()})
        folder.deleteRecursively();
}

class DueCoursesTest : public testing::Test
{
protected:
    DueCoursesTest() { Clock::setFixedTime(reviewDay()); }
    ~DueCoursesTest() override { Clock::clearFixedTime(); }
};
} // namespace

TEST_F(DueCoursesTest, AnArchiveThatCantBeOpenedIsNamedAndSetAsideForTheDay)
{
    const struct
    {
        const char* what;
        int courses;
        int damaged; // its place among the due courses
        int dueSentencesAfterStart;
        const char* dayCloseTitle; // the box at the close of the good course's day
    } cases[] = {
        {"the damaged course offered first", 2, 0, 1, "Congratulations!"},
        {"the damaged course offered next", 2, 1, 2, "Ah oh"},
        {"the damaged course alone", 1, 0, 0, nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        File damaged;
        String goodStem;
        juce::MemoryBlock damagedBytes;
        std::unique_ptr<ModalAnswerer> answerer;
        auto workspace = std::make_unique<OpenWorkspace>(
            [&]
            {
                systemModel->atLeastUnreview = 1;
                for (int i = 0; i < c.courses; ++i)
                    archiveDueCourse(9 + i);
                const auto due = dueCourses();
                ASSERT_EQ(due.size(), c.courses);
                damaged = due[c.damaged];
                if (c.courses > 1)
                    goodStem = due[1 - c.damaged].getFileNameWithoutExtension();
                ASSERT_TRUE(
                    LibraryArchives::damageEntry(damaged, damaged.getFileNameWithoutExtension() + ".ogg"));
                damagedBytes = contentOf(damaged);
                answerer = std::make_unique<ModalAnswerer>();
                if (c.damaged == 0)
                    answerer->press(TRANS("OK"));
            });
        ASSERT_NE(answerer, nullptr);
        answerer->expectDone();
        auto& controller = workspace->controller();
        const auto named = TRANS("Course archive load failed!") + "\r\n\r\n" + damaged.getFullPathName();
        const auto expectBox = [&](const ModalAnswerer& seen, const String& title)
        {
            ASSERT_EQ(seen.seen().size(), 1u);
            EXPECT_EQ(seen.seen()[0].title, title);
            if (title == TRANS("Ah oh"))
            {
                EXPECT_EQ(seen.seen()[0].message, named);
            }
        };
        if (c.damaged == 0)
            expectBox(*answerer, TRANS("Ah oh"));
        else
            EXPECT_TRUE(answerer->seen().empty());
        answerer.reset();

        // The other due course opens for review, and the damaged one is no longer counted as due.
        EXPECT_EQ(controller.isCourseOpen(), goodStem.isNotEmpty());
        EXPECT_EQ(openStem(), goodStem);
        EXPECT_EQ(controller.getNumDueCourses(), c.damaged == 0 ? 0 : 1);
        EXPECT_EQ(controller.getNumDueSentences(), c.dueSentencesAfterStart);
        if (c.dayCloseTitle != nullptr)
        {
            ModalAnswerer closing;
            closing.press(TRANS("OK"));
            controller.currentCourseReviewFinished();
            closing.expectDone();
            expectBox(closing, TRANS(c.dayCloseTitle));
        }

        // Nothing is left to block learning, and the learner's archive is as it was.
        EXPECT_FALSE(controller.isCourseOpen());
        EXPECT_EQ(controller.getNumDueCourses(), 0);
        EXPECT_TRUE(isEnabled(*workspace, CommandCenter::newCourse));
        EXPECT_FALSE(isEnabled(*workspace, CommandCenter::reviewCourse));
        EXPECT_FALSE(DocumentManager::TempDir().exists());
        EXPECT_EQ(contentOf(damaged), damagedBytes);
        workspace.reset();
        clearLibrary();
    }
}
