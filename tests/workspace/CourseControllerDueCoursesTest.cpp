// The courses due on a review day in the whole workspace: an archive that can't be opened is named
// to the learner and set aside for the day, without blocking the other due courses or a new one;
// and a day close whose archive job the learner cancels reports nothing and leaves the course due.
#include "workspace/CourseController.h"

#include "engine/ArchiveJob.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"

#include "common/LibraryArchives.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/TemporaryHome.h"
#include "harness/ZeroStream.h"

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

// Random bytes don't compress: packing them takes long enough for the cancel to come first.
constexpr int slowToPack = 48 * 1024 * 1024;

void writeRandom(const File& file, int bytes)
{
    juce::MemoryBlock block((size_t)bytes);
    juce::Random(bytes).fillBitsRandomly(block.getData(), block.getSize());
    ASSERT_TRUE(file.replaceWithData(block.getData(), block.getSize()));
}

/** Gives the archived course a retelling that takes seconds to read back: a gigabyte of zeros,
    which deflates to a megabyte, with random bytes beside it, in an entry that no unpack takes,
    so that the archive is large enough for the progress window. */
void makeSlowToUnpack(const File& archive)
{
    const auto stem = archive.getFileNameWithoutExtension();
    const auto folder = makeScratchFolder("unpacked");
    ASSERT_TRUE(SafeArchive::unpack(archive, folder, nullptr).wasOk());
    juce::ZipFile::Builder builder;
    for (const auto& file : folder.findChildFiles(File::findFiles, false, "*"))
        builder.addFile(file, 9);
    builder.addEntry(new ZeroStream(1 << 30), 1, stem + "-retell.ogg", juce::Time());
    juce::MemoryBlock padding((size_t)ArchiveJob::bytesWorthAWindow);
    juce::Random(7).fillBitsRandomly(padding.getData(), padding.getSize());
    builder.addEntry(new juce::MemoryInputStream(padding, false), 0, "padding.bin", juce::Time());
    ASSERT_TRUE(archive.deleteFile());
    juce::FileOutputStream out(archive);
    ASSERT_TRUE(out.openedOk());
    ASSERT_TRUE(builder.writeToStream(out, nullptr));
    folder.deleteRecursively();
}

/** Puts a text where the archived course's audio was: a whole archive whose course can't load. */
void replaceAudioWithText(const File& archive)
{
    const auto folder = makeScratchFolder("unpacked");
    ASSERT_TRUE(SafeArchive::unpack(archive, folder, nullptr).wasOk());
    ASSERT_TRUE(
        folder.getChildFile(archive.getFileNameWithoutExtension() + ".ogg").replaceWithText("no audio"));
    ASSERT_TRUE(SafeArchive::write(archive, folder.findChildFiles(File::findFiles, false, "*"), 9).wasOk());
    folder.deleteRecursively();
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
        bool unpacks;              // its audio isn't audio, in a whole archive: the load fails
    } cases[] = {
        {"the damaged course offered first", 2, 0, 1, "Congratulations!", false},
        {"the damaged course offered next", 2, 1, 2, "Ah oh", false},
        {"the damaged course alone", 1, 0, 0, nullptr, false},
        {"a course whose audio isn't audio offered first", 2, 0, 1, "Congratulations!", true},
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
                if (c.unpacks)
                    replaceAudioWithText(damaged);
                else
                    ASSERT_TRUE(LibraryArchives::damageEntry(damaged,
                                                             damaged.getFileNameWithoutExtension() + ".ogg"));
                damagedBytes = contentOf(damaged);
                answerer = std::make_unique<ModalAnswerer>();
                // The course model's own box comes first when the load fails.
                for (int i = c.unpacks ? 2 : 1; c.damaged == 0 && i > 0; --i)
                    answerer->press(TRANS("OK"));
            });
        ASSERT_NE(answerer, nullptr);
        answerer->expectDone();
        auto& controller = workspace->controller();
        const auto named = TRANS("Course archive load failed!") + "\r\n\r\n" + damaged.getFullPathName();
        const auto expectBox = [&](const ModalAnswerer& seen, const String& title, size_t boxes = 1)
        {
            ASSERT_EQ(seen.seen().size(), boxes);
            EXPECT_EQ(seen.seen().back().title, title);
            if (title == TRANS("Ah oh"))
            {
                EXPECT_EQ(seen.seen().back().message, named);
            }
        };
        if (c.damaged == 0)
            expectBox(*answerer, TRANS("Ah oh"), c.unpacks ? 2 : 1);
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
            expectBox(closing, TRANS(c.dayCloseTitle), c.unpacks && c.damaged != 0 ? 2 : 1);
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

TEST_F(DueCoursesTest, ACancelledDayCloseSaysNothingAndTheCourseItStoppedAtStaysDue)
{
    const struct
    {
        const char* what;
        bool packOfTheReviewedCourse; // else the unpack of the next due course
    } cases[] = {
        {"the reviewed course's pack", true},
        {"the next due course's unpack", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        File reviewed, next;
        auto workspace = std::make_unique<OpenWorkspace>(
            [&]
            {
                systemModel->atLeastUnreview = 1;
                archiveDueCourse(9);
                archiveDueCourse(10);
                const auto due = dueCourses();
                ASSERT_EQ(due.size(), 2);
                reviewed = due[0];
                next = due[1];
                if (!c.packOfTheReviewedCourse)
                    makeSlowToUnpack(next);
            });
        auto& controller = workspace->controller();
        ASSERT_EQ(openStem(), reviewed.getFileNameWithoutExtension());
        if (c.packOfTheReviewedCourse)
            writeRandom(DocumentManager::TempDir().getChildFile(openStem() + "-retell.ogg"), slowToPack);
        const auto cancelledOn = c.packOfTheReviewedCourse ? reviewed : next;
        const auto before = contentOf(cancelledOn);

        {
            ModalAnswerer answerer;
            answerer.cancelProgressAfter(0);
            controller.currentCourseReviewFinished();
            answerer.expectDone();
            ASSERT_EQ(answerer.seen().size(), 1u) << "a cancel shows no message";
            EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
        }
        // Nothing half-written replaces the archive, and no half-unpacked course is left.
        EXPECT_EQ(contentOf(cancelledOn), before);
        EXPECT_EQ(DocumentManager::TempDir().exists(), c.packOfTheReviewedCourse);
        // The course stays open, or due: the learner can take the same step again.
        EXPECT_EQ(openStem(), c.packOfTheReviewedCourse ? reviewed.getFileNameWithoutExtension() : String());
        EXPECT_EQ(controller.getNumDueCourses(), 1);
        EXPECT_EQ(isEnabled(*workspace, CommandCenter::reviewCourse), !c.packOfTheReviewedCourse);
        EXPECT_FALSE(isEnabled(*workspace, CommandCenter::newCourse));
        if (c.packOfTheReviewedCourse)
        {
            ModalAnswerer answerer;
            answerer.letProgressRun();
            controller.currentCourseReviewFinished();
            answerer.expectDone();
            EXPECT_EQ(openStem(), next.getFileNameWithoutExtension());
        }
        workspace.reset();
        clearLibrary();
    }
}
