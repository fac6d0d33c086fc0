// The course controller's roads in the whole workspace: a recording with lyrics made into a course
// and shown, start-up with what the last run left, giving up, and the zoom that fills the strip.
#include "workspace/CourseController.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/Page.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

#include "harness/AudioFixtures.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <functional>

using juce::File;
using juce::String;

namespace
{
const double rate = 44100.0;

/** A recording of that length and, beside it, a lyrics file with a line every two seconds. */
File writeRecordingWithLyrics(const String& name, double seconds, const juce::StringArray& lines)
{
    const auto audio = AudioFixtures::writeHomeTone(name + ".wav", seconds);
    String lyrics;
    for (int i = 0; i < lines.size(); ++i)
        lyrics << "[00:" << String(2 * i).paddedLeft('0', 2) << ".00]" << lines[i] << "\n";
    EXPECT_TRUE(audio.withFileExtension("lrc").replaceWithText(lyrics));
    return audio;
}

bool dropAndLetItRun(MainComponent& main, const File& file)
{
    ModalAnswerer answerer;
    answerer.letProgressRun();
    return main.fileDroped(file);
}

/** A working set left in the temporary folder, as the last run leaves an open course. */
void leaveWorkingSet(const std::vector<CourseWorkingSet::Sentence>& sentences, int nowStatus = 0)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    ASSERT_TRUE(set.writeSentences(sentences, nowStatus));
}

/** Archives a review course due since the given date into the library, as archiving leaves it. */
void archiveReviewCourse(const String& reviewDate)
{
    CourseWorkingSet set(6.0, rate);
    ASSERT_TRUE(set.wasCreated());
    auto sentences = OpenCourse::contiguous({2 * (int)rate, 2 * (int)rate});
    sentences[1].unfamiliar = true;
    sentences[1].reviewDate = reviewDate;
    ASSERT_TRUE(set.writeSentences(sentences, 1));
    auto course = set.readCourseText();
    course->setAttribute(CourseModel::NextReviewDate, reviewDate);
    ASSERT_TRUE(course->writeTo(set.getCourseText()));

    const auto stem = set.getStem();
    ASSERT_TRUE(set.writeOggCourseAudio(DocumentManager::TempDir().getChildFile(stem + ".ogg")));
    juce::ZipFile::Builder archive;
    for (const auto& file : DocumentManager::TempDir().findChildFiles(File::findFiles, false, "*"))
        archive.addFile(file, 9);
    const auto target = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    ASSERT_TRUE(target.create().wasOk());
    {
        juce::FileOutputStream out(target);
        ASSERT_TRUE(out.setPosition(0));
        ASSERT_TRUE(archive.writeToStream(out, nullptr));
    }
    ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
}

String statusField(MainComponent& main, int type)
{
    return main.getStatusBar().getInfo(type);
}
} // namespace

//==============================================================================
TEST(CourseControllerLoad, ARecordingWithLyricsShowsOneBlockPerLineAndItsTitle)
{
    Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
    OpenWorkspace workspace;
    workspace.layOut(1000, 700);
    auto& main = workspace.main();
    const auto audio = writeRecordingWithLyrics("Lesson 1", 6.0, {"One.", "Two.", "Three."});

    ASSERT_TRUE(dropAndLetItRun(main, audio));
    ASSERT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_EQ(workspace.model().getCourseFile().getFileName(), "2017-0402-1530-07.xml");
    EXPECT_EQ(workspace.window().getName(), "qZ - Lesson 1 (2017-04-02)" + TRANS(" - Learning..."));

    // One block per lyrics line on the strip, laid end to end from the left edge.
    auto* strip = main.getThumbsContainer();
    auto& thumbs = workspace.model().getThumbs();
    ASSERT_EQ(thumbs.size(), 3);
    int x = 0;
    for (auto* block : thumbs)
    {
        EXPECT_EQ(block->getParentComponent(), strip);
        EXPECT_TRUE(block->isVisible());
        EXPECT_EQ(block->getX(), x);
        EXPECT_GT(block->getWidth(), 0);
        x = block->getRight();
    }
    // The strip was zoomed in until it fills the view.
    EXPECT_GE(strip->getAllThumbsWidth(), main.getThumbsViewport().getMaximumVisibleWidth());

    // And one block per line on the pages, under one another on the first page.
    auto* pages = main.getPagesContainer();
    ASSERT_EQ(pages->getNumPages(), 1);
    auto& pageViews = workspace.model().getPages();
    ASSERT_EQ(pageViews.size(), 3);
    for (int i = 0; i < pageViews.size(); ++i)
    {
        EXPECT_EQ(pageViews[i]->getParentComponent(), pages->getPage(0));
        EXPECT_TRUE(pageViews[i]->isVisible());
        EXPECT_EQ(pageViews[i]->getY(), Page::sentenceTop + Page::sentencePitch * i);
    }

    EXPECT_EQ(statusField(main, StatusBar::unfamiliarCount), "0");
    EXPECT_EQ(statusField(main, StatusBar::sentenceCount), "3");
    EXPECT_EQ(statusField(main, StatusBar::selectedNumber), "1 -");
    EXPECT_EQ(statusField(main, StatusBar::selectedLength), "0:02.00");
    EXPECT_EQ(statusField(main, StatusBar::courseLength), "0:06.00");
}

TEST(CourseControllerLoad, TheZoomStopsAtItsMaximumForACourseTooShortToFillTheStrip)
{
    OpenWorkspace workspace(
        []
        {
            CourseWorkingSet set(6.0, rate);
            ASSERT_TRUE(set.wasCreated());
            ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({10})));
            // Left in the temporary folder, it is opened at the start.
        });
    ASSERT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, ThumbsContainer::maximumZoom);
    EXPECT_LT(workspace.main().getThumbsContainer()->getAllThumbsWidth(),
              workspace.main().getThumbsViewport().getMaximumVisibleWidth());
}

TEST(CourseControllerLoad, TheOpenDialogTakesEachKindOfFileToItsRoad)
{
    OpenWorkspace workspace;
    auto& controller = workspace.controller();
    const auto track = homeFile("Track01.cda");
    ASSERT_TRUE(track.replaceWithText("not a track"));
    const auto shortAudio = AudioFixtures::writeHomeTone("short.wav", 0.4);
    const auto recording = writeRecordingWithLyrics("lesson", 6.0, {"One.", "Two."});

    struct Alert
    {
        String title, message;
        juce::MessageBoxIconType icon;
    };
    const auto expectAlerts = [](const ModalAnswerer& answerer, const std::vector<Alert>& alerts)
    {
        ASSERT_EQ(answerer.seen().size(), alerts.size() + 1);
        EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::fileChooser);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Select an audio file and open it"));
        for (size_t i = 0; i < alerts.size(); ++i)
        {
            EXPECT_EQ(answerer.seen()[i + 1].title, alerts[i].title);
            EXPECT_EQ(answerer.seen()[i + 1].message, alerts[i].message);
            EXPECT_EQ(answerer.seen()[i + 1].icon, alerts[i].icon);
        }
    };

    {
        ModalAnswerer answerer;
        answerer.cancel();
        EXPECT_FALSE(controller.learnNewCourse());
        expectAlerts(answerer, {});
    }
    {
        ModalAnswerer answerer;
        answerer.chooseFile(track);
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(controller.learnNewCourse());
        expectAlerts(answerer, {{TRANS("Ah oh"), TRANS("This file isn't a valid CD audio."),
                                 juce::MessageBoxIconType::InfoIcon}});
    }
    {
        // The open dialog names its failure "Message", where a drop says "Ah oh".
        ModalAnswerer answerer;
        answerer.chooseFile(shortAudio);
        answerer.press(TRANS("OK"));
        answerer.press(TRANS("OK"));
        EXPECT_FALSE(controller.learnNewCourse());
        expectAlerts(answerer,
                     {{TRANS("Ah oh"), TRANS("Invalid audio file!"), juce::MessageBoxIconType::InfoIcon},
                      {TRANS("Message"), TRANS("File load failed!"), juce::MessageBoxIconType::WarningIcon}});
    }
    EXPECT_FALSE(controller.isCourseOpen());
    EXPECT_FALSE(DocumentManager::TempDir().exists());

    ModalAnswerer answerer;
    answerer.chooseFile(recording);
    answerer.letProgressRun();
    EXPECT_TRUE(controller.learnNewCourse());
    EXPECT_EQ(workspace.model().getNumSentences(), 2);
}

TEST(CourseControllerLoad, TheOpenDialogListsFlacRecordingsBesideTheOthersAndOpensThem)
{
    OpenWorkspace workspace;
    const auto folder = homeFile("recordings");
    ASSERT_TRUE(folder.createDirectory().wasOk());
    const auto tone = AudioFixtures::silenceThenSine(1, rate, 0.0, 2.0, 440.0, 0.5f);
    const auto talk = folder.getChildFile("talk.wav");
    ASSERT_TRUE(AudioFixtures::writeWav(talk, tone, rate));
    const auto song = folder.getChildFile("song.flac");
    const auto source = homeFile("song-source.wav");
    ASSERT_TRUE(AudioFixtures::writeWav(source, tone, rate));
    ASSERT_TRUE(AudioFixtures::runTool(
        {"flac", "--silent", "--force", "-o", song.getFullPathName(), source.getFullPathName()}));
    ASSERT_TRUE(folder.getChildFile("notes.txt").replaceWithText("not audio"));

    // What the chooser's list shows once it has read the folder, as the learner sees it.
    juce::StringArray listed;
    ModalAnswerer answerer;
    answerer.handle(
        [&](juce::Component& window)
        {
            auto* browser = ModalAnswerer::findContent<juce::FileBrowserComponent>(window);
            auto* rows = ModalAnswerer::findContent<juce::FileListComponent>(window);
            ASSERT_NE(browser, nullptr);
            ASSERT_NE(rows, nullptr);
            browser->setRoot(folder);
            auto& list = rows->directoryContentsList;
            const auto giveUp = juce::Time::getMillisecondCounter() + 10000;
            while (list.isStillLoading() && juce::Time::getMillisecondCounter() < giveUp)
                juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
            for (int i = 0; i < list.getNumFiles(); ++i)
                listed.add(list.getFile(i).getFileName());
        });
    answerer.chooseFile(song);
    answerer.letProgressRun();
    EXPECT_TRUE(workspace.controller().learnNewCourse());

    listed.sort(false);
    EXPECT_EQ(listed.joinIntoString(", "), "song.flac, talk.wav");
    EXPECT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_EQ(workspace.model().getCourseTree()[CourseModel::AudioFile].toString(), song.getFullPathName());
}

//==============================================================================
TEST(CourseControllerStart, ACourseLeftInTheTemporaryFolderIsReopened)
{
    auto sentences = OpenCourse::contiguous({2 * (int)rate, 2 * (int)rate, 2 * (int)rate});
    // Two of them due: the left course's due sentences are counted with the library's.
    for (int i : {0, 2})
    {
        sentences[(size_t)i].unfamiliar = true;
        sentences[(size_t)i].reviewDate = "1 Jan 2020";
    }
    OpenWorkspace workspace(
        [&]
        {
            leaveWorkingSet(sentences);
            systemModel->atLeastUnreview = 0;
        });

    ASSERT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_TRUE(workspace.model().isLearning());
    EXPECT_EQ(workspace.model().getNumSentences(), 3);
    EXPECT_EQ(workspace.controller().getNumDueSentences(), 2);
    EXPECT_TRUE(workspace.window().getName().endsWith(TRANS(" - Learning...")));
}

TEST(CourseControllerStart, StrayFilesWithoutACourseTextAreDeleted)
{
    OpenWorkspace workspace(
        []
        {
            ASSERT_TRUE(DocumentManager::TempDir().getChildFile("2017-0402-1530-07.smg").create().wasOk());
            ASSERT_TRUE(DocumentManager::TempDir().getChildFile("CD-Track01.wav").create().wasOk());
        });
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    EXPECT_FALSE(DocumentManager::TempDir().exists());
    EXPECT_EQ(workspace.window().getName(), "qZ");
}

TEST(CourseControllerStart, EnoughDueCoursesOpenTheFirstForReview)
{
    OpenWorkspace workspace(
        []
        {
            archiveReviewCourse("1 Jan 2020");
            systemModel->atLeastUnreview = 1;
        });

    ASSERT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_FALSE(workspace.model().isLearning());
    // The opened course leaves the due list.
    EXPECT_EQ(workspace.controller().getNumDueCourses(), 0);
    EXPECT_EQ(workspace.controller().getNumDueSentences(), 1);
    EXPECT_TRUE(workspace.window().getName().endsWith(TRANS(" - Reviewing...")));
}

TEST(CourseControllerStart, FewerDueCoursesThanTheSettingOpenNothing)
{
    OpenWorkspace workspace(
        []
        {
            archiveReviewCourse("1 Jan 2020");
            systemModel->atLeastUnreview = 2;
        });
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    EXPECT_EQ(workspace.controller().getNumDueCourses(), 1);
    EXPECT_FALSE(DocumentManager::TempDir().exists());
}

TEST(CourseControllerStart, ACourseNotYetDueIsNotOffered)
{
    OpenWorkspace workspace(
        []
        {
            archiveReviewCourse("1 Jan 2999");
            systemModel->atLeastUnreview = 0;
        });
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    EXPECT_EQ(workspace.controller().getNumDueCourses(), 0);
}

//==============================================================================
TEST(CourseControllerClose, GivingUpAsksAndOnlyOkClearsTheWorkspace)
{
    OpenWorkspace workspace;
    auto& main = workspace.main();
    ASSERT_TRUE(dropAndLetItRun(main, writeRecordingWithLyrics("lesson", 6.0, {"One.", "Two."})));
    const auto workingSet = OpenWorkspace::filesInTemporaryFolder();
    const auto title = workspace.window().getName();

    {
        ModalAnswerer answerer;
        answerer.press(TRANS("Cancel"));
        workspace.controller().giveUpCurrentCourse();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Confirm"));
        EXPECT_EQ(answerer.seen()[0].message, TRANS("Are you sure you want to give up this course?") +
                                                  "\r\n\r\n" + TRANS("This action can't be undo."));
        EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::QuestionIcon);
    }
    EXPECT_TRUE(workspace.controller().isCourseOpen());
    EXPECT_EQ(OpenWorkspace::filesInTemporaryFolder(), workingSet);
    EXPECT_EQ(workspace.window().getName(), title);

    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        workspace.controller().giveUpCurrentCourse();
    }
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    EXPECT_FALSE(DocumentManager::TempDir().exists());
    EXPECT_EQ(workspace.window().getName(), "qZ");
    EXPECT_EQ(workspace.model().getThumbs().size(), 0);
    EXPECT_EQ(main.getPagesContainer()->getNumPages(), 0);
    EXPECT_EQ(statusField(main, StatusBar::sentenceCount), "0");
    EXPECT_EQ(statusField(main, StatusBar::courseLength), "00:00.00");
    EXPECT_DOUBLE_EQ(GlobalData::widthZoomFactor, 1.0);

    // With the workspace empty, the next recording can be opened.
    EXPECT_TRUE(dropAndLetItRun(main, homeFile("lesson.wav")));
}

TEST(CourseControllerClose, AWorkingSetDeletedWhileOpenIsNeverMadeAgainBySaving)
{
    {
        OpenWorkspace workspace;
        ASSERT_TRUE(dropAndLetItRun(workspace.main(), writeRecordingWithLyrics("lesson", 6.0, {"One."})));
        ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());

        // An edit starts the delayed save; closing the workspace saves once more.
        workspace.controller().setCourseTitle("Renamed");
        juce::MessageManager::getInstance()->runDispatchLoopUntil(400);
        EXPECT_FALSE(DocumentManager::TempDir().exists());
    }
    EXPECT_FALSE(DocumentManager::TempDir().exists());

    // And the next start finds nothing to reopen.
    OpenWorkspace next;
    EXPECT_FALSE(next.controller().isCourseOpen());
}

TEST(CourseControllerClose, TheReplayLetsGoOfTheCourseAudioBeforeItGoes)
{
    // The replay reads through a reader over the model's own: left holding it while the course
    // is cleared or another is loaded, its thread would read freed memory.
    const struct
    {
        const char* road;
        std::function<void(CourseController&)> run;
    } roads[] = {
        {"giving up", [](CourseController& controller) { controller.resetToEmpty(); }},
        {"loading again", [](CourseController& controller)
         { controller.loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)); }},
    };
    for (const auto& road : roads)
    {
        OpenWorkspace workspace(
            [] {
                leaveWorkingSet(OpenCourse::contiguous({2 * (int)rate, 2 * (int)rate}));
            });
        ASSERT_TRUE(workspace.controller().isCourseOpen()) << road.road;
        auto& replay = workspace.main().getCommandCenter()->getReplayPlayer();
        ASSERT_TRUE(commandManager->invokeDirectly(CommandCenter::replaySentence, false)) << road.road;
        ASSERT_NE(replay.readerSource, nullptr) << road.road;

        road.run(workspace.controller());
        EXPECT_EQ(replay.readerSource, nullptr) << road.road;
        EXPECT_FALSE(replay.transportSource.isPlaying()) << road.road;
        DocumentManager::TempDir().deleteRecursively();
    }
}
