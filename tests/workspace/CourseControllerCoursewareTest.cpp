// Courseware in the whole workspace: generating it from the open course (the save chooser, the
// rendered audio, the stripped course text, the file that replaces an old one only when whole)
// and loading it as a new learning course, with the refusals and the hostile files that must leave
// no working set behind to block the next course.
#include "workspace/CourseController.h"

#include "engine/ArchiveJob.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CoursewareFile.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"

#include "harness/CourseWorkingSet.h"
#include "harness/FileFaults.h"
#include "harness/FolderContents.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ZeroStream.h"

#include <gtest/gtest.h>

#include <numeric>

using juce::File;
using juce::String;

namespace
{
const int rate = 44100;
// Four sentences of a second and a half fill the six seconds of the recording.
const int sentenceSamples = 66150;
const String courseName = "Listening/Unit 3";
const String offeredName = "Listening-Unit 3.qzc";

/** A course left in the temporary folder for the workspace to reopen: four sentences with both
    texts, the second and the fourth unfamiliar with review figures; a review course has its
    rendered audio beside it. */
void leaveCourse(int nowStatus)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences =
        OpenCourse::contiguous({sentenceSamples, sentenceSamples, sentenceSamples, sentenceSamples});
    for (int i = 0; i < 4; ++i)
    {
        auto& s = sentences[(size_t)i];
        s.foreign = "Sentence " + String(i);
        s.native = "Satz " + String(i);
        if (i % 2 == 1)
            s = {s.start, s.end, s.foreign, s.native, true, 5, 3, 2, "4 Apr 2017"};
    }
    if (nowStatus != 0)
    {
        ASSERT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(set.getStem() + ".ogg")));
    }
    ASSERT_TRUE(set.writeSentences(sentences, nowStatus));
}

/** A learning course of two seconds at that rate cut into sentences of uneven lengths. */
void leaveUnevenCourse(double courseRate)
{
    CourseWorkingSet set(2.0, courseRate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::unevenlyCut(set.getLengthInSamples(), 24);
    for (size_t i = 0; i < sentences.size(); ++i)
        sentences[i].foreign = "Sentence " + String((int)i);
    ASSERT_TRUE(set.writeSentences(sentences));
}

std::unique_ptr<juce::XmlElement> entryText(const File& archive, const String& name)
{
    juce::ZipFile zip(archive);
    std::unique_ptr<juce::InputStream> stream(zip.createStreamForEntry(zip.getIndexOfFileName(name)));
    return stream == nullptr ? nullptr : juce::parseXML(stream->readEntireStreamAsString());
}

File targetIn(const File& folder)
{
    return folder.getChildFile(offeredName);
}

class CoursewareTest : public testing::Test
{
protected:
    CoursewareTest() { Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true)); }

    std::unique_ptr<OpenWorkspace> start(int nowStatus = 0)
    {
        auto workspace = std::make_unique<OpenWorkspace>([nowStatus] { leaveCourse(nowStatus); });
        workspace->controller().setCourseTitle(courseName);
        return workspace;
    }

    /** Generates as the learner does: the offered name in the chooser, then the render and the
        waveform jobs run; `more` queues what comes between (the overwrite question). */
    static void generate(CourseController& controller, ModalAnswerer& answerer,
                         const std::function<void()>& more = {})
    {
        answerer.chooseFile(targetIn(CoursewareFile::saveFolder()));
        if (more)
            more();
        answerer.letProgressRun();
        answerer.letProgressRun();
        controller.generateCourseware();
    }

    /** Generates courseware from an uneven course at the course rate, rendered at the render rate,
        and loads it back: every sentence must hold exactly the samples its audio became. */
    static void generateAndLoadBack(double courseRate, double renderRate)
    {
        DocumentManager::TempDir().deleteRecursively();
        CoursewareFile::saveFolder().deleteRecursively();
        OpenWorkspace workspace([courseRate] { leaveUnevenCourse(courseRate); });
        systemModel->audioRenderSampleRate = renderRate;
        auto& controller = workspace.controller();
        auto& model = workspace.model();
        ASSERT_TRUE(controller.isCourseOpen());

        const auto expected = OpenCourse::renderedLengths(model, renderRate);
        {
            ModalAnswerer answerer;
            generate(controller, answerer);
            answerer.expectDone();
        }
        controller.resetToEmpty();
        ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());

        {
            // Nothing is expected: a refusal's box would be reported.
            ModalAnswerer answerer;
            EXPECT_TRUE(controller.loadCourseware(targetIn(CoursewareFile::saveFolder())));
            answerer.expectDone();
        }
        ASSERT_TRUE(controller.isCourseOpen());
        const auto laidOut = OpenCourse::laidOutOtherwise(*model.getCourseTree().createXml(), expected);
        EXPECT_TRUE(laidOut.isEmpty()) << laidOut;
        EXPECT_EQ(model.getReader()->lengthInSamples,
                  std::accumulate(expected.begin(), expected.end(), (juce::int64)0));
        controller.resetToEmpty();
    }

    /** A courseware file generated from a fresh learning course, kept outside the data folder. */
    File makeCourseware()
    {
        auto workspace = start();
        ModalAnswerer answerer;
        generate(workspace->controller(), answerer);
        answerer.expectDone();
        const auto kept = File::getSpecialLocation(File::userHomeDirectory).getChildFile(offeredName);
        EXPECT_TRUE(targetIn(CoursewareFile::saveFolder()).copyFileTo(kept));
        workspace.reset();
        EXPECT_TRUE(DocumentManager::TempDir().deleteRecursively());
        return kept;
    }
};
} // namespace

TEST_F(CoursewareTest, ACourseLearntOrReviewedGoesIntoCoursewareAndComesBackAsANewLearningCourse)
{
    for (const int nowStatus : {0, 1})
    {
        SCOPED_TRACE(nowStatus == 0 ? "a course being learnt" : "a course under review");
        auto workspace = start(nowStatus);
        auto& controller = workspace->controller();
        const auto openCourse = workspace->model().getCourseTree().toXmlString();
        const auto target = targetIn(CoursewareFile::saveFolder());
        {
            ModalAnswerer answerer;
            generate(controller, answerer);
            answerer.expectDone();
            ASSERT_GE(answerer.seen().size(), 1u);
            const auto& chooser = answerer.seen()[0];
            EXPECT_EQ(chooser.kind, ModalAnswerer::Kind::fileChooser);
            EXPECT_EQ(chooser.title, TRANS("Generate courseware"));
            EXPECT_EQ(chooser.folder, CoursewareFile::saveFolder());
            EXPECT_EQ(chooser.fileName, offeredName);
            EXPECT_EQ(answerer.seen().size(), 3u);
        }

        // The file holds the three entries; nothing is left of the scratch folder, and the open
        // course is as it was.
        const String stem = "Listening-Unit 3";
        EXPECT_EQ(FolderContents::entriesOf(target),
                  juce::StringArray(stem + ".ogg", stem + ".smg", stem + ".xml"));
        EXPECT_FALSE(CoursewareFile::scratchFolder().exists());
        EXPECT_EQ(workspace->model().getCourseTree().toXmlString(), openCourse);
        EXPECT_TRUE(controller.isCourseOpen());

        const auto text = entryText(target, stem + ".xml");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->getIntAttribute(CourseModel::NowStatus, -1), 0);
        EXPECT_EQ(text->getIntAttribute(CourseModel::CourseLength), 4 * sentenceSamples - 1);
        EXPECT_FALSE(text->hasAttribute(CourseModel::NextReviewDate.toString()));
        EXPECT_FALSE(text->hasAttribute(CourseModel::AudioFile.toString()));

        // Given up, and opened again from the file.
        controller.resetToEmpty();
        ASSERT_TRUE(controller.loadCourseware(target));
        const auto newStem = DocumentManager::getCurrentTimeString(true);
        EXPECT_EQ(OpenWorkspace::filesInTemporaryFolder(),
                  juce::StringArray(newStem + ".smg", newStem + ".xml", "courseware-" + newStem + ".ogg"));
        auto& model = workspace->model();
        EXPECT_TRUE(model.isLearning());
        EXPECT_EQ(model.getReader()->lengthInSamples, 4 * sentenceSamples);
        EXPECT_EQ(
            model.getValue(-1, CourseModel::AudioFile).toString(),
            DocumentManager::TempDir().getChildFile("courseware-" + newStem + ".ogg").getFullPathName());
        EXPECT_EQ(model.getValue(-1, CourseModel::LearnDate).toString(),
                  Clock::now().toString(true, true, true, true));
        EXPECT_TRUE(workspace->window().getName().startsWith("qZ - " + courseName + " ("));
        ASSERT_EQ(model.getNumSentences(), 4);
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(model.getValue(i, CourseModel::EnglishText).toString(), "Sentence " + String(i));
            EXPECT_EQ(model.getValue(i, CourseModel::ChineseText).toString(), "Satz " + String(i));
            EXPECT_EQ((bool)model.getValue(i, CourseModel::NeedReview), i % 2 == 1);
            EXPECT_EQ((int)model.getValue(i, CourseModel::StartSamples), i * sentenceSamples);
            for (const auto* key : {&CourseModel::NextIntervalDays, &CourseModel::NextReviewDate,
                                    &CourseModel::TotalReviews, &CourseModel::CorrectTimes})
                EXPECT_FALSE(model.getCourseTree().getChild(i).hasProperty(*key)) << key->toString();
        }
        controller.resetToEmpty();
        workspace.reset();
        ASSERT_TRUE(CoursewareFile::saveFolder().deleteRecursively());
    }
}

TEST_F(CoursewareTest, CoursewareOfEveryRenderRateLoadsBackWithEachSentenceOnItsOwnAudio)
{
    // Every rate the preferences offer, from recordings at the usual rates.
    const double renderRates[] = {11025.0, 22050.0, 44100.0, 48000.0, 96000.0};
    const double courseRates[] = {44100.0, 48000.0, 96000.0};
    for (const double courseRate : courseRates)
        for (const double renderRate : renderRates)
        {
            SCOPED_TRACE(String(courseRate) + " Hz rendered at " + String(renderRate) + " Hz");
            generateAndLoadBack(courseRate, renderRate);
        }
}

TEST_F(CoursewareTest, AnOldCoursewareFileIsReplacedOnlyByAWholeNewOne)
{
    const String old("an older courseware file");
    const struct
    {
        const char* what;
        bool readOnlyFolder;
        double renderRate;
        bool replaced;
        juce::StringArray messages;
    } cases[] = {
        {"written", false, 44100.0, true, {}},
        {"a folder that can't be written",
         true,
         44100.0,
         false,
         {"Unknown error: the courseware file write failed!"}},
        {"a sample rate that can't be rendered", false, 12345.0, false, {"Render audio data unsuccessful."}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto workspace = start();
        systemModel->audioRenderSampleRate = c.renderRate;
        const auto target = targetIn(CoursewareFile::saveFolder());
        ASSERT_TRUE(target.create().wasOk());
        ASSERT_TRUE(target.replaceWithText(old));
        const auto openCourse = workspace->model().getCourseTree().toXmlString();
        {
            std::unique_ptr<ReadOnlyFolder> readOnly;
            if (c.readOnlyFolder)
            {
                readOnly = std::make_unique<ReadOnlyFolder>(CoursewareFile::saveFolder());
                if (!readOnly->holds())
                    GTEST_SKIP() << "the folder can't be made read-only here";
            }
            ModalAnswerer answerer;
            answerer.chooseFile(target);
            answerer.press(TRANS("Overwrite"));
            // A rate the encoder can't take is told by the render job itself, before it starts.
            if (c.renderRate != 44100.0)
                answerer.press(TRANS("OK"));
            else
            {
                answerer.letProgressRun();
                answerer.letProgressRun();
            }
            for (int i = 0; i < c.messages.size(); ++i)
                answerer.press(TRANS("OK"));
            workspace->controller().generateCourseware();
            answerer.expectDone();
            ASSERT_GE(answerer.seen().size(), 2u);
            EXPECT_EQ(answerer.seen()[1].buttons.contains(TRANS("Overwrite")), true);
            if (!c.messages.isEmpty())
            {
                EXPECT_EQ(answerer.seen().back().title, TRANS("Message"));
                EXPECT_EQ(answerer.seen().back().message, TRANS(c.messages[0]));
            }
        }
        EXPECT_EQ(target.loadFileAsString() == old, !c.replaced);
        EXPECT_EQ(FolderContents::entriesOf(target).size(), c.replaced ? 3 : 0);
        EXPECT_EQ(CoursewareFile::saveFolder().getNumberOfChildFiles(File::findFiles), 1);
        EXPECT_FALSE(CoursewareFile::scratchFolder().exists());
        EXPECT_EQ(workspace->model().getCourseTree().toXmlString(), openCourse);
        workspace.reset();
        ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
        ASSERT_TRUE(CoursewareFile::saveFolder().deleteRecursively());
    }

    // Cancelled in the chooser: nothing is made.
    auto workspace = start();
    ModalAnswerer answerer;
    answerer.cancel();
    workspace->controller().generateCourseware();
    answerer.expectDone();
    EXPECT_TRUE(CoursewareFile::saveFolder().isDirectory());
    EXPECT_EQ(CoursewareFile::saveFolder().getNumberOfChildFiles(File::findFiles), 0);
    EXPECT_FALSE(CoursewareFile::scratchFolder().exists());
}

TEST_F(CoursewareTest, ANameTypedWithoutTheExtensionAsksBeforeTheFileItEndsUpAsIsReplaced)
{
    const String old("an older courseware file");
    const struct
    {
        const char* what;
        bool fileThere;
        const char* answer; // to the question, when one comes
        bool written;
    } cases[] = {
        {"no file of that name: written without a question", false, nullptr, true},
        {"a file of that name, overwritten", true, "Overwrite", true},
        {"a file of that name, kept", true, "Cancel", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        auto workspace = start();
        const auto target = targetIn(CoursewareFile::saveFolder());
        if (c.fileThere)
        {
            ASSERT_TRUE(target.create().wasOk());
            ASSERT_TRUE(target.replaceWithText(old));
        }
        {
            ModalAnswerer answerer;
            answerer.chooseFile(target.withFileExtension({}));
            if (c.answer != nullptr)
                answerer.press(TRANS(c.answer));
            if (c.written)
            {
                answerer.letProgressRun();
                answerer.letProgressRun();
            }
            workspace->controller().generateCourseware();
            answerer.expectDone();
            if (c.answer != nullptr)
            {
                // The chooser's own question, about the file that would be replaced.
                ASSERT_GE(answerer.seen().size(), 2u);
                const auto& question = answerer.seen()[1];
                EXPECT_EQ(question.kind, ModalAnswerer::Kind::question);
                EXPECT_EQ(question.title, TRANS("File already exists"));
                EXPECT_EQ(
                    question.message,
                    TRANS("There's already a file called: FLNM").replace("FLNM", target.getFullPathName()) +
                        "\n\n" + TRANS("Are you sure you want to overwrite it?"));
                EXPECT_EQ(question.buttons, juce::StringArray(TRANS("Overwrite"), TRANS("Cancel")));
            }
        }
        EXPECT_EQ(target.loadFileAsString() == old, !c.written);
        EXPECT_EQ(FolderContents::entriesOf(target).size(), c.written ? 3 : 0);
        EXPECT_EQ(CoursewareFile::saveFolder().getNumberOfChildFiles(File::findFiles), 1);
        EXPECT_FALSE(CoursewareFile::scratchFolder().exists());
        workspace.reset();
        ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
        ASSERT_TRUE(CoursewareFile::saveFolder().deleteRecursively());
    }
}

TEST_F(CoursewareTest, ABadFileOrAStrayWorkingSetIsRefusedAndTheNextCourseStillOpens)
{
    const auto good = makeCourseware();
    const auto home = File::getSpecialLocation(File::userHomeDirectory);

    // A sender's file whose course text has a sentence far past the audio.
    const auto outside = home.getChildFile("outside.qzc");
    {
        juce::ZipFile zip(good);
        juce::ZipFile::Builder builder;
        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            std::unique_ptr<juce::InputStream> in(zip.createStreamForEntry(i));
            auto bytes = in->readEntireStreamAsString();
            const auto name = zip.getEntry(i)->filename;
            if (name.endsWith(".xml"))
                bytes = bytes.replace("EndSamples=\"264599\"", "EndSamples=\"9264599\"");
            builder.addEntry(new juce::MemoryInputStream(bytes.toRawUTF8(), bytes.getNumBytesAsUTF8(), true),
                             9, name, juce::Time::getCurrentTime());
        }
        juce::FileOutputStream out(outside);
        ASSERT_TRUE(builder.writeToStream(out, nullptr));
    }
    const auto notAZip = home.getChildFile("notes.qzc");
    ASSERT_TRUE(notAZip.replaceWithText("these are no courseware"));

    OpenWorkspace workspace;
    auto& controller = workspace.controller();
    ASSERT_FALSE(controller.isCourseOpen());
    const String failed = TRANS("Courseware load failed!") + "\r\n\r\n";
    const struct
    {
        const char* what;
        File file;
        String title, message;
    } refusals[] = {
        {"not a ZIP file", notAZip, TRANS("Ah oh"), failed + notAZip.getFullPathName()},
        {"a sentence outside the audio", outside, TRANS("Ah oh"), failed + outside.getFullPathName()},
    };
    for (const auto& r : refusals)
    {
        SCOPED_TRACE(r.what);
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(controller.loadCourseware(r.file));
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, r.title);
        EXPECT_EQ(answerer.seen()[0].message, r.message);
        EXPECT_FALSE(controller.isCourseOpen());
        EXPECT_TRUE(OpenWorkspace::filesInTemporaryFolder().isEmpty());
    }

    // A stray file in the temporary folder stops a load, and stays.
    const auto stray = DocumentManager::TempDir().getChildFile("stray.wav");
    ASSERT_TRUE(stray.create().wasOk());
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(controller.loadCourseware(good));
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Message"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS("Error: the temp folder is not empty!"));
        EXPECT_EQ(OpenWorkspace::filesInTemporaryFolder(), juce::StringArray("stray.wav"));
    }
    ASSERT_TRUE(stray.deleteFile());

    // After the refusals, the good file opens at once; a drop while it is open is refused.
    ASSERT_TRUE(controller.loadCourseware(good));
    EXPECT_TRUE(controller.isCourseOpen());
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(workspace.main().fileDroped(good));
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].message,
                  TRANS("Please archive current course first, then do this again."));
    }
}

TEST_F(CoursewareTest, ALoadTheLearnerCancelsSaysNothingAndLeavesNoWorkingSet)
{
    // The same course with an audio entry that takes seconds to unpack, and a waveform entry large
    // enough for the progress window.
    const auto good = makeCourseware();
    const auto slow = File::getSpecialLocation(File::userHomeDirectory).getChildFile("slow.qzc");
    {
        juce::ZipFile zip(good);
        juce::ZipFile::Builder builder;
        juce::MemoryBlock padding((size_t)ArchiveJob::bytesWorthAWindow);
        juce::Random(7).fillBitsRandomly(padding.getData(), padding.getSize());
        for (int i = 0; i < zip.getNumEntries(); ++i)
        {
            const auto name = zip.getEntry(i)->filename;
            if (name.endsWith(".ogg"))
                builder.addEntry(new ZeroStream(1 << 30), 1, name, juce::Time());
            else if (name.endsWith(".smg"))
                builder.addEntry(new juce::MemoryInputStream(padding, false), 0, name, juce::Time());
            else
                builder.addEntry(zip.createStreamForEntry(i), 9, name, juce::Time());
        }
        juce::FileOutputStream out(slow);
        ASSERT_TRUE(builder.writeToStream(out, nullptr));
    }

    OpenWorkspace workspace;
    auto& controller = workspace.controller();
    {
        ModalAnswerer answerer;
        answerer.cancelProgressAfter(0);
        EXPECT_FALSE(controller.loadCourseware(slow));
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u) << "a cancel shows no message";
        EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
    }
    EXPECT_FALSE(controller.isCourseOpen());
    EXPECT_TRUE(OpenWorkspace::filesInTemporaryFolder().isEmpty());
    EXPECT_TRUE(controller.loadCourseware(good));
    controller.resetToEmpty();
}
