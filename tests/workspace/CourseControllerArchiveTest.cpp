// A course's road through the library in the whole workspace: archiving a learned course with its
// refusals, its course audio and its mobile file; faults on the way that must leave the learning
// course as it was; rebuilding the mobile file; and review days closed one course after another.
#include "workspace/CourseController.h"

#include "dialogs/NoteEditor.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"

#include "harness/CourseWorkingSet.h"
#include "harness/FileFaults.h"
#include "harness/FolderContents.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/Widgets.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>

using juce::File;
using juce::String;

namespace
{
const int rate = 44100;
// Four sentences of a second and a half fill the six seconds of the recording.
const int sentenceSamples = 66150;
// The tip sound lasts one second.
const int tipSamples = rate;

/** The day the courses are learnt; archiving schedules them two days later. */
juce::Time learningDay(int hour = 15)
{
    return juce::Time(2017, 3, 2, hour, 30, 7, 0, true);
}

/** A learning course left in the temporary folder, which the workspace reopens at its start:
    four sentences, of which the given ones are unfamiliar; the unfamiliar ones have texts unless
    told otherwise. */
void leaveLearningCourse(std::initializer_list<int> unfamiliar, bool withTexts = true)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences =
        OpenCourse::contiguous({sentenceSamples, sentenceSamples, sentenceSamples, sentenceSamples});
    for (int i : unfamiliar)
    {
        sentences[(size_t)i].unfamiliar = true;
        sentences[(size_t)i].foreign = withTexts ? "Sentence " + String(i) : String();
    }
    ASSERT_TRUE(set.writeSentences(sentences));
}

/** The entries a course archive of that stem holds, sorted as entriesOf sorts them. */
juce::StringArray archivedSet(const String& stem, bool withRetelling)
{
    juce::StringArray names;
    for (const auto* suffix : {".ogg", ".smg", ".xml", "-retell.ogg"})
        if (withRetelling || String(suffix) != "-retell.ogg")
            names.add(stem + suffix);
    names.sort(false);
    return names;
}

std::unique_ptr<juce::XmlElement> archivedCourseText(const File& archive)
{
    juce::ZipFile zip(archive);
    std::unique_ptr<juce::InputStream> stream(
        zip.createStreamForEntry(zip.getIndexOfFileName(archive.getFileNameWithoutExtension() + ".xml")));
    return stream == nullptr ? nullptr : juce::parseXML(stream->readEntireStreamAsString());
}

juce::int64 samplesIn(const File& oggFile)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(oggFile));
    return reader == nullptr ? -1 : reader->lengthInSamples;
}

/** A copy of an archive's entry in the home folder. */
File extractedEntry(const File& archive, const String& name)
{
    const auto copy = File::getSpecialLocation(File::userHomeDirectory).getChildFile(name);
    juce::ZipFile zip(archive);
    std::unique_ptr<juce::InputStream> entry(zip.createStreamForEntry(zip.getIndexOfFileName(name)));
    EXPECT_NE(entry, nullptr) << name;
    juce::MemoryBlock bytes;
    if (entry != nullptr)
        entry->readIntoMemoryBlock(bytes);
    EXPECT_TRUE(copy.replaceWithData(bytes.getData(), bytes.getSize()));
    return copy;
}

/** The first channel's loudest sample over 20 ms from the onset, and over the 20 ms from 0.5 s
    after it, when the piece has long settled. */
std::pair<float, float> onsetAndSettledPeaks(const File& oggFile, int onset)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(oggFile));
    if (reader == nullptr)
        return {-1.0f, -1.0f};
    const auto window = (int)(0.02 * reader->sampleRate);
    const auto settled = onset + (int)(0.5 * reader->sampleRate);
    juce::AudioBuffer<float> samples((int)reader->numChannels, settled + window);
    reader->read(&samples, 0, samples.getNumSamples(), 0, true, true);
    return {samples.getMagnitude(0, onset, window), samples.getMagnitude(0, settled, window)};
}

juce::MemoryBlock contentOf(const File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData(block);
    return block;
}

File mobileFileOf(const String& stem)
{
    return DocumentManager::MobileDir().getChildFile("M-" + stem + ".ogg");
}

/** What the working set holds, file by file, to tell whether a step changed it. */
std::map<String, juce::MemoryBlock> workingSetContents()
{
    std::map<String, juce::MemoryBlock> contents;
    for (const auto& file : DocumentManager::TempDir().findChildFiles(File::findFiles, false, "*"))
        contents[file.getFileName()] = contentOf(file);
    return contents;
}

class ArchiveTest : public testing::Test
{
protected:
    ArchiveTest() { Clock::setFixedTime(learningDay()); }

    /** The workspace, started with what the function leaves for it. */
    std::unique_ptr<OpenWorkspace> start(const std::function<void()>& beforeStart)
    {
        return std::make_unique<OpenWorkspace>(
            [&]
            {
                systemModel->atLeastUnreview = 1;
                beforeStart();
            });
    }

    /** Learns and archives a course made at that hour of the learning day; its stem. */
    String learnAndArchive(int hour)
    {
        Clock::setFixedTime(learningDay(hour));
        auto workspace = start([] { leaveLearningCourse({1, 3}); });
        const auto stem =
            DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
        EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());
        EXPECT_TRUE(DocumentManager::CourseDir().getChildFile(stem + ".mqz").existsAsFile());
        return stem;
    }
};
} // namespace

TEST_F(ArchiveTest, ACourseWithoutUnfamiliarSentencesOrTheLearnersYesStaysAsItIs)
{
    // The texts' keys, translated once the workspace has installed the language; an empty key
    // is an empty line.
    const struct
    {
        const char* what;
        std::initializer_list<int> unfamiliar;
        bool withTexts;
        const char* title;
        juce::StringArray lines;
        const char* answer;
    } cases[] = {
        {"no unfamiliar sentence",
         {},
         true,
         "Ah oh",
         {"There isn't any unfamiliar sentence need review,",
          "in this case, add to library is not necessary.", "", "If you want to review this course,",
          "at least keep one sentence is unfamiliar.", "",
          "Double click a sentence on page or press [Ctrl + J]."},
         "OK"},
        {"an unfamiliar sentence without its text",
         {2},
         false,
         "Ah oh",
         {"All unfamiliar sentences must have their text.", "", "Please complete all necessary texts first."},
         "OK"},
        {"the learner's Cancel",
         {2},
         true,
         "Confirm",
         {"Are you sure archive this course (add to the library)? "},
         "Cancel"},
    };
    for (const auto& c : cases)
    {
        auto workspace = start([&] { leaveLearningCourse(c.unfamiliar, c.withTexts); });
        const auto before = workingSetContents();
        juce::StringArray message;
        for (const auto& line : c.lines)
            message.add(line.isEmpty() ? String() : TRANS(line));
        {
            ModalAnswerer answerer;
            answerer.press(TRANS(c.answer));
            workspace->controller().newCourseAddToLibrary();
            answerer.expectDone();
            ASSERT_EQ(answerer.seen().size(), 1u) << c.what;
            EXPECT_EQ(answerer.seen()[0].title, TRANS(c.title)) << c.what;
            EXPECT_EQ(answerer.seen()[0].message, message.joinIntoString("\r\n")) << c.what;
            EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::InfoIcon) << c.what;
        }
        EXPECT_TRUE(workspace->controller().isCourseOpen()) << c.what;
        EXPECT_TRUE(workspace->model().isLearning()) << c.what;
        EXPECT_EQ(workingSetContents(), before) << c.what;
        EXPECT_FALSE(DocumentManager::CourseDir().exists()) << c.what;
        EXPECT_FALSE(DocumentManager::MobileDir().exists()) << c.what;
        workspace.reset();
        DocumentManager::TempDir().deleteRecursively();
    }
}

TEST_F(ArchiveTest, TheArchiveHoldsTheReviewCourseWithItsRenderedAudioAndTheMobileFileRepeatsTheUnfamiliar)
{
    // A retelling of four bytes holds nothing and is left out; one of five goes with the course.
    for (const int retellingBytes : {4, 5})
    {
        String stem;
        auto workspace = start(
            [&]
            {
                leaveLearningCourse({1, 3});
                stem = DocumentManager::getCourseFile(DocumentManager::waveformFile)
                           .getFileNameWithoutExtension();
                ASSERT_TRUE(DocumentManager::TempDir()
                                .getChildFile(stem + "-retell.ogg")
                                .replaceWithText(String("12345").substring(0, retellingBytes)));
            });
        EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());

        const auto archive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
        EXPECT_EQ(FolderContents::entriesOf(archive), archivedSet(stem, retellingBytes == 5))
            << retellingBytes;

        const auto course = archivedCourseText(archive);
        ASSERT_NE(course, nullptr);
        EXPECT_EQ(course->getIntAttribute(CourseModel::NowStatus), 1);
        EXPECT_EQ(course->getStringAttribute(CourseModel::NextReviewDate), "4 Apr 2017");
        EXPECT_EQ(course->getIntAttribute(CourseModel::CourseLength), 4 * sentenceSamples - 1);

        // Familiar sentences once; each unfamiliar one after the tip, three times, each time
        // followed by 0.9 of its length in silence.
        const int unfamiliarSamples = tipSamples + 3 * (sentenceSamples + (int)(0.9 * sentenceSamples));
        EXPECT_EQ(samplesIn(mobileFileOf(stem)), 2 * sentenceSamples + 2 * unfamiliarSamples);

        EXPECT_FALSE(workspace->controller().isCourseOpen());
        EXPECT_FALSE(DocumentManager::TempDir().exists());
        EXPECT_EQ(workspace->window().getName(), "qZ");
        workspace.reset();

        // The archive opens again as a review course on its rendered audio.
        Clock::setFixedTime(learningDay() + juce::RelativeTime::days(2));
        auto review = start([] {});
        ASSERT_TRUE(review->controller().isCourseOpen()) << retellingBytes;
        EXPECT_FALSE(review->model().isLearning());
        EXPECT_EQ(review->model().getReader()->lengthInSamples, 4 * sentenceSamples);
        review.reset();
        DocumentManager::TempDir().deleteRecursively();
        DocumentManager::CourseDir().deleteRecursively();
        Clock::setFixedTime(learningDay());
    }
}

TEST_F(ArchiveTest, TheArchivedCourseLaysEachSentenceOnExactlyItsSamplesOfTheRenderedAudio)
{
    const struct
    {
        double courseRate, renderRate;
    } cases[] = {{44100.0, 11025.0}, {48000.0, 22050.0}, {96000.0, 44100.0},
                 {48000.0, 44100.0}, {44100.0, 96000.0}, {44100.0, 44100.0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(String(c.courseRate) + " Hz rendered at " + String(c.renderRate) + " Hz");
        String stem;
        auto workspace = start(
            [&]
            {
                CourseWorkingSet set(2.0, c.courseRate);
                ASSERT_TRUE(set.wasCreated());
                auto sentences = OpenCourse::unevenlyCut(set.getLengthInSamples(), 24);
                for (auto& s : sentences)
                {
                    s.foreign = "Sentence";
                    s.unfamiliar = true;
                }
                ASSERT_TRUE(set.writeSentences(sentences));
                stem = set.getStem();
            });
        systemModel->audioRenderSampleRate = c.renderRate;
        const auto expected = OpenCourse::renderedLengths(workspace->model(), c.renderRate);
        EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());

        const auto archive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
        const auto course = archivedCourseText(archive);
        ASSERT_NE(course, nullptr);
        const auto laidOut = OpenCourse::laidOutOtherwise(*course, expected);
        EXPECT_TRUE(laidOut.isEmpty()) << laidOut;
        const auto audio = extractedEntry(archive, stem + ".ogg");
        EXPECT_EQ(samplesIn(audio), std::accumulate(expected.begin(), expected.end(), (juce::int64)0));
        EXPECT_EQ(course->getIntAttribute(CourseModel::CourseLength), samplesIn(audio) - 1);
        workspace.reset();
        DocumentManager::TempDir().deleteRecursively();
        DocumentManager::CourseDir().deleteRecursively();
    }
}

TEST_F(ArchiveTest, TheCourseAudioAndTheMobileFileStartEverySentenceAtTheLevelItKeeps)
{
    // The recording is a tone at half scale, rendered mono as by default: each sentence at the
    // same level from its first sample to its last.
    String stem;
    auto workspace = start(
        [&]
        {
            leaveLearningCourse({1, 3});
            stem =
                DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
        });
    ASSERT_EQ(systemModel->audioRenderChanels, 1);
    EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());

    const auto courseAudio =
        extractedEntry(DocumentManager::CourseDir().getChildFile(stem + ".mqz"), stem + ".ogg");
    // The mobile file: the first sentence once, the tip, then the second sentence.
    const struct
    {
        const char* what;
        File file;
        int onset;
    } onsets[] = {
        {"the course audio's first sentence", courseAudio, 0},
        {"the course audio's third sentence", courseAudio, 2 * sentenceSamples},
        {"the mobile file's first sentence", mobileFileOf(stem), 0},
        {"the mobile file's second sentence after the tip", mobileFileOf(stem), sentenceSamples + tipSamples},
    };
    for (const auto& o : onsets)
    {
        const auto [atOnset, settled] = onsetAndSettledPeaks(o.file, o.onset);
        EXPECT_NEAR(settled, 0.5f, 0.02f) << o.what;
        EXPECT_NEAR(atOnset, settled, 0.02f) << o.what;
    }
}

TEST_F(ArchiveTest, NotesBeingEditedAreSavedOrDiscardedAsTheLearnerSaysBeforeTheCourseGoes)
{
    for (const bool save : {true, false})
    {
        auto workspace = start([] { leaveLearningCourse({1, 3}); });
        const auto stem =
            DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
        auto& controller = workspace->controller();
        controller.showOrHideNoteEditor();
        ASSERT_NE(controller.getNoteEditor(), nullptr);
        Widgets::byId<juce::TextEditor>(*controller.getNoteEditor(), "title").setText("Lesson 9");
        Widgets::byId<juce::TextEditor>(*controller.getNoteEditor(), "notes").setText("New words");

        // The archiving question, then the notes editor's, then the three jobs.
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        answerer.press(TRANS(save ? "Save" : "Discard"));
        for (int i = 0; i < 3; ++i)
            answerer.letProgressRun();
        controller.newCourseAddToLibrary();
        answerer.expectDone();
        ASSERT_GE(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[1].message,
                  TRANS("Notes and/or title has been changed, do you want to save?"));

        const auto course = archivedCourseText(DocumentManager::CourseDir().getChildFile(stem + ".mqz"));
        ASSERT_NE(course, nullptr) << save;
        EXPECT_EQ(course->getStringAttribute(CourseModel::Notes), save ? "New words" : "") << save;
        EXPECT_EQ(course->getStringAttribute(CourseModel::CourseName) == "Lesson 9", save) << save;
        workspace.reset();
        DocumentManager::CourseDir().deleteRecursively();
        DocumentManager::MobileDir().deleteRecursively();
    }
}

TEST_F(ArchiveTest, WithoutTheTipSoundTheMobileFileHoldsOnlySentencesAndPauses)
{
    String stem;
    auto workspace = start(
        [&]
        {
            leaveLearningCourse({0});
            stem =
                DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
            systemModel->mobUnTipSound = false;
            systemModel->mobUnfTimes = 2;
            systemModel->mobUnfInterval = 0.5;
        });
    EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());
    EXPECT_EQ(samplesIn(mobileFileOf(stem)),
              3 * sentenceSamples + 2 * (sentenceSamples + (int)(0.5 * sentenceSamples)));
}

TEST_F(ArchiveTest, AFailedArchiveLeavesTheLearningCourseAsItWas)
{
    enum class Fault
    {
        readOnlyLibrary,
        fullDisk,
        cancelledPack
    };
    struct Case
    {
        const char* what;
        Fault fault;
        const char* message; // none for a cancel
    };
    // The course audio of six seconds of a tone takes some 15 kB, its mobile file some 40 kB.
    const Case cases[] = {
        {"the learner's cancel of the pack", Fault::cancelledPack, nullptr},
        {"a read-only library", Fault::readOnlyLibrary, "Unknown error: the course document write failed!"},
        {"a full disk while the mobile file is rendered", Fault::fullDisk,
         "Mobile audio file generate unsuccessful."},
    };
    for (const auto& c : cases)
    {
        auto workspace = start([] { leaveLearningCourse({1, 3}); });
        const auto stem =
            DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
        if (c.fault == Fault::cancelledPack)
        {
            // A long retelling of random bytes, which don't compress: the pack takes long enough
            // for the cancel to come first.
            juce::MemoryBlock retelling((size_t)48 * 1024 * 1024);
            juce::Random(1).fillBitsRandomly(retelling.getData(), retelling.getSize());
            ASSERT_TRUE(DocumentManager::TempDir()
                            .getChildFile(stem + "-retell.ogg")
                            .replaceWithData(retelling.getData(), retelling.getSize()));
        }
        const auto before = workingSetContents();
        {
            std::unique_ptr<ReadOnlyFolder> readOnly;
            std::unique_ptr<FileSizeLimit> full;
            if (c.fault == Fault::readOnlyLibrary)
            {
                readOnly = std::make_unique<ReadOnlyFolder>(DocumentManager::CourseDir());
                if (!readOnly->holds())
                    GTEST_SKIP() << "this file system can't make a folder read-only";
            }
            if (c.fault == Fault::fullDisk)
                full = std::make_unique<FileSizeLimit>(25000);

            ModalAnswerer answerer;
            answerer.press(TRANS("OK"));
            for (int i = 0; i < 3; ++i)
                answerer.letProgressRun();
            if (c.message != nullptr)
                answerer.press(TRANS("OK"));
            else
                answerer.cancelProgressAfter(0);
            workspace->controller().newCourseAddToLibrary();
            answerer.expectDone();
            ASSERT_FALSE(answerer.seen().empty()) << c.what;
            if (c.message != nullptr)
            {
                EXPECT_EQ(answerer.seen().back().message, TRANS(c.message)) << c.what;
            }
            else
            {
                // The question, the three rendering jobs and the pack: a cancel is no failure.
                EXPECT_EQ(answerer.seen().size(), 5u) << c.what;
                EXPECT_EQ(answerer.seen().back().kind, ModalAnswerer::Kind::progress) << c.what;
            }
        }

        auto& model = workspace->model();
        EXPECT_TRUE(workspace->controller().isCourseOpen()) << c.what;
        EXPECT_TRUE(model.isLearning()) << c.what;
        EXPECT_EQ(workingSetContents(), before) << c.what;
        EXPECT_EQ(model.getNumSentences(), 4) << c.what;
        EXPECT_EQ((int)model.getValue(3, CourseModel::StartSamples), 3 * sentenceSamples) << c.what;
        EXPECT_FALSE(DocumentManager::CourseDir().getChildFile(stem + ".mqz").exists()) << c.what;
        // No scratch file is left: only a mobile file that was made whole before the pack failed.
        EXPECT_FALSE(DocumentManager::TempDir().getChildFile(".archiving").exists()) << c.what;
        EXPECT_EQ(DocumentManager::MobileDir().getNumberOfChildFiles(File::findFiles),
                  c.fault == Fault::fullDisk ? 0 : 1)
            << c.what;

        // The course is followed and saved as before.
        workspace->controller().setCourseTitle("Still learning");
        EXPECT_TRUE(OpenCourse::pumpUntil(
            [&]
            {
                const auto text = juce::parseXML(DocumentManager::getCourseFile(DocumentManager::courseText));
                return text != nullptr &&
                       text->getStringAttribute(CourseModel::CourseName) == "Still learning";
            }))
            << c.what;
        workspace.reset();
        DocumentManager::TempDir().deleteRecursively();
        DocumentManager::MobileDir().deleteRecursively();
    }
}

TEST_F(ArchiveTest, RebuildingTheMobileFileReplacesItOnlyWhenTheNewOneIsWhole)
{
    const auto stem = learnAndArchive(15);
    const auto first = contentOf(mobileFileOf(stem));
    Clock::setFixedTime(learningDay() + juce::RelativeTime::days(2));
    auto workspace = start([] {});
    ASSERT_TRUE(workspace->controller().isCourseOpen());

    // Long enough that the learner's Cancel comes while it is rendered.
    systemModel->mobNonUnfTimes = 20;
    systemModel->mobUnfTimes = 30;
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        answerer.cancelProgressAfter(0);
        answerer.press(TRANS("OK"));
        commandManager->invokeDirectly(CommandCenter::rebuildMobileAudio, false);
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 3u);
        EXPECT_EQ(answerer.seen()[0].message,
                  TRANS("Are you sure you want to rebuild the mobile audio file of this course?") +
                      "\r\n\r\n" + TRANS("This action can't undo and the old one will be replaced."));
        EXPECT_EQ(answerer.seen()[2].message, TRANS("Mobile audio file generate unsuccessful."));
    }
    EXPECT_EQ(contentOf(mobileFileOf(stem)), first);
    EXPECT_EQ(DocumentManager::MobileDir().getNumberOfChildFiles(File::findFiles), 1);

    systemModel->mobNonUnfTimes = 1;
    systemModel->mobUnfTimes = 1;
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        answerer.letProgressRun();
        commandManager->invokeDirectly(CommandCenter::rebuildMobileAudio, false);
        answerer.expectDone();
    }
    // The two unfamiliar sentences are heard once each now: the review course's rendered audio.
    const int unfamiliarSamples = tipSamples + sentenceSamples + (int)(0.9 * sentenceSamples);
    EXPECT_EQ(samplesIn(mobileFileOf(stem)), 2 * sentenceSamples + 2 * unfamiliarSamples);
}

TEST_F(ArchiveTest, ClosingReviewDaysPacksEachCourseBackAndOpensTheNextUntilAllAreDone)
{
    juce::StringArray stems;
    stems.add(learnAndArchive(10));
    stems.add(learnAndArchive(11));
    Clock::setFixedTime(learningDay() + juce::RelativeTime::days(2));
    Clock::setFixedMillisecondCounter(1000);
    auto workspace = start([] {});
    auto& controller = workspace->controller();
    ASSERT_TRUE(controller.isCourseOpen());
    const auto firstStem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    ASSERT_TRUE(stems.contains(firstStem));
    const auto reviewTime = systemModel->getProperties().getIntValue("TotalReviewTime");

    // A library that can't be written keeps the day's results in the working set.
    {
        ReadOnlyFolder readOnly(DocumentManager::CourseDir());
        if (readOnly.holds())
        {
            ModalAnswerer answerer;
            answerer.press(TRANS("OK"));
            controller.currentCourseReviewFinished();
            answerer.expectDone();
            ASSERT_EQ(answerer.seen().size(), 1u);
            EXPECT_EQ(answerer.seen()[0].message, TRANS("Unknown error: the course document write failed!"));
            EXPECT_TRUE(controller.isCourseOpen());
            EXPECT_EQ(
                DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension(),
                firstStem);
        }
    }

    Clock::setFixedMillisecondCounter(61000);
    {
        ModalAnswerer none;
        controller.currentCourseReviewFinished();
        none.expectDone();
    }
    EXPECT_GE(systemModel->getProperties().getIntValue("TotalReviewTime"), reviewTime + 60);
    ASSERT_TRUE(controller.isCourseOpen());
    const auto secondStem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    EXPECT_NE(secondStem, firstStem);
    EXPECT_TRUE(stems.contains(secondStem));
    EXPECT_EQ(FolderContents::entriesOf(DocumentManager::CourseDir().getChildFile(firstStem + ".mqz")),
              archivedSet(firstStem, false));

    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        controller.currentCourseReviewFinished();
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Congratulations!"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS("All courses review completed today."));
    }
    EXPECT_FALSE(controller.isCourseOpen());
    EXPECT_FALSE(DocumentManager::TempDir().exists());
    EXPECT_EQ(DocumentManager::CourseDir().getNumberOfChildFiles(File::findFiles), 2);
}

TEST_F(ArchiveTest, AKillWhileArchivingLeavesTheOldArchiveAndTheNextStartClearsTheScratch)
{
    const auto stem = learnAndArchive(15);
    const auto archive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    const auto whole = contentOf(archive);
    // Killed while the day close rewrote the archive, and while a mobile file was rendered.
    ASSERT_TRUE(SafeArchive::scratchFileFor(archive).replaceWithData(whole.getData(), whole.getSize() / 3));
    ASSERT_TRUE(SafeArchive::scratchFileFor(mobileFileOf(stem)).replaceWithText("half an Ogg stream"));

    Clock::setFixedTime(learningDay() + juce::RelativeTime::days(2));
    auto workspace = start([] {});
    EXPECT_EQ(DocumentManager::CourseDir().getNumberOfChildFiles(File::findFiles), 1);
    EXPECT_EQ(DocumentManager::MobileDir().getNumberOfChildFiles(File::findFiles), 1);
    EXPECT_EQ(contentOf(archive), whole);
    // The old archive is whole: it is the course opened for review.
    ASSERT_TRUE(workspace->controller().isCourseOpen());
    EXPECT_FALSE(workspace->model().isLearning());
}

TEST_F(ArchiveTest, TheArchiveCommandStopsTheReplayBeforeTheJobsReadTheCourseAudio)
{
    auto workspace = start([] { leaveLearningCourse({1}); });
    auto& commands = *workspace->main().getCommandCenter();
    auto& replay = commands.getReplayPlayer();
    commands.playOrStopCurrentSentence();
    ASSERT_TRUE(replay.transportSource.isPlaying());

    ModalAnswerer answerer;
    answerer.press(TRANS("Cancel"));
    commandManager->invokeDirectly(CommandCenter::archiveCourse, false);
    answerer.expectDone();
    EXPECT_FALSE(replay.transportSource.isPlaying());
    EXPECT_EQ(replay.transportSource.getTotalLength(), 0);
}

TEST_F(ArchiveTest, AStartAfterAKilledArchivingFindsTheLearningCourseOrTheArchivedOne)
{
    // What a kill leaves at each step: archiving works in its scratch folder and packs the review
    // course's text from there, so the learning course's own files are as they were until the
    // archive is in the library; only once the library holds that very text is the archiving over.
    enum class ScratchText
    {
        none,
        archived,
        other
    };
    const struct
    {
        const char* when;
        bool archiveMade;
        ScratchText text;
        bool learningReopened;
    } cases[] = {
        {"while rendering", false, ScratchText::none, true},
        {"while packing", false, ScratchText::other, true},
        {"while clearing the workspace", true, ScratchText::archived, false},
        {"while packing over an archive of another text", true, ScratchText::other, true},
    };
    for (const auto& c : cases)
    {
        Clock::setFixedTime(learningDay());
        String stem;
        std::map<String, juce::MemoryBlock> learning;
        juce::MemoryBlock archivedText;
        {
            auto workspace = start([] { leaveLearningCourse({1, 3}); });
            stem =
                DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
            learning = workingSetContents();
            if (c.archiveMade)
            {
                EXPECT_TRUE(workspace->archiveAsTheLearnerDoes());
                juce::ZipFile zip(DocumentManager::CourseDir().getChildFile(stem + ".mqz"));
                std::unique_ptr<juce::InputStream> entry(
                    zip.createStreamForEntry(zip.getIndexOfFileName(stem + ".xml")));
                ASSERT_NE(entry, nullptr) << c.when;
                entry->readIntoMemoryBlock(archivedText);
            }
        }
        // The learning course's files in place, and the scratch folder as the kill left it.
        const auto temp = DocumentManager::TempDir();
        ASSERT_TRUE(temp.createDirectory().wasOk());
        for (const auto& [name, content] : learning)
            ASSERT_TRUE(temp.getChildFile(name).replaceWithData(content.getData(), content.getSize()))
                << c.when;
        const auto scratch = temp.getChildFile(".archiving");
        ASSERT_TRUE(scratch.createDirectory().wasOk());
        ASSERT_TRUE(scratch.getChildFile(stem + ".ogg").replaceWithText("rendered audio")) << c.when;
        const auto reviewText = scratch.getChildFile(stem + ".xml");
        if (c.text == ScratchText::archived)
        {
            ASSERT_TRUE(reviewText.replaceWithData(archivedText.getData(), archivedText.getSize()));
        }
        if (c.text == ScratchText::other)
        {
            ASSERT_TRUE(reviewText.replaceWithText("<COURSE NowStatus=\"1\"/>"));
        }

        auto workspace = start([] {});
        EXPECT_EQ(workspace->controller().isCourseOpen(), c.learningReopened) << c.when;
        EXPECT_FALSE(scratch.exists()) << c.when;
        if (c.learningReopened)
        {
            EXPECT_TRUE(workspace->model().isLearning()) << c.when;
            EXPECT_EQ(workingSetContents(), learning) << c.when;
        }
        else
        {
            EXPECT_FALSE(temp.exists()) << c.when;
        }
        EXPECT_EQ(DocumentManager::CourseDir().getChildFile(stem + ".mqz").existsAsFile(), c.archiveMade)
            << c.when;
        workspace.reset();
        for (const auto& folder : {temp, DocumentManager::CourseDir(), DocumentManager::MobileDir()})
            folder.deleteRecursively();
    }
}
