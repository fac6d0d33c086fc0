// Courses from audio-CD tracks, through the open dialog and the drop road: the track is extracted
// into the temporary folder and made a course; a bad or vanished image, or a cancel, ends with its
// message and leaves no WAV file behind.
#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "platform/AudioCdDiscs.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"

#include "harness/CdImages.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenWorkspace.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using juce::File;
using juce::String;
using Icon = juce::MessageBoxIconType;

namespace
{
struct Box
{
    String title;
    String message;
    Icon icon;
};

const std::vector<CdImages::Track> twoTones{{1.0, 440.0}, {2.0, 880.0}};

File trackFile(const String& image, int number)
{
    return AudioCdDiscs::placeholderRoot()
        .getChildFile(image + ".cue")
        .getChildFile(AudioCdDiscs::trackFileName(number));
}

void resize(const File& file, juce::int64 bytes)
{
    std::filesystem::resize_file(file.getFullPathName().toStdString(), (uintmax_t)bytes);
}

class CourseControllerCd : public testing::Test
{
protected:
    void SetUp() override
    {
        sheet = CdImages::write(images, "lesson", twoTones, "Lesson");
        ASSERT_NE(sheet, File());
    }

    File images = makeScratchFolder("images");
    CdImages::ScopedFolder pointedAt{images};
    File sheet;
};
} // namespace

TEST_F(CourseControllerCd, ATrackOpenedOrDroppedBecomesACourseOfItsExtractedWav)
{
    struct Road
    {
        const char* name;
        std::function<bool(OpenWorkspace&, ModalAnswerer&)> open;
    };
    const std::vector<Road> roads{
        {"the open dialog",
         [](OpenWorkspace& workspace, ModalAnswerer& answerer)
         {
             // The dialog finds the disc's folder written as it opens.
             answerer.chooseFile(trackFile("lesson", 2));
             answerer.letProgressRun();
             answerer.letProgressRun();
             return workspace.controller().learnNewCourse();
         }},
        {"a drop",
         [](OpenWorkspace& workspace, ModalAnswerer& answerer)
         {
             AudioCdDiscs::refreshPlaceholders();
             answerer.letProgressRun();
             answerer.letProgressRun();
             return workspace.main().fileDroped(trackFile("lesson", 2));
         }},
    };

    for (const auto& road : roads)
    {
        SCOPED_TRACE(road.name);
        OpenWorkspace workspace;
        ModalAnswerer answerer;
        ASSERT_TRUE(road.open(workspace, answerer));
        answerer.expectDone();

        const auto& seen = answerer.seen();
        ASSERT_GE(seen.size(), 2u);
        EXPECT_EQ(seen[seen.size() - 2].title, TRANS("Extracting audio data..."));
        EXPECT_EQ(seen[seen.size() - 1].title, TRANS("Reading and parsing audio data..."));

        ASSERT_TRUE(workspace.controller().isCourseOpen());
        const auto audio = DocumentManager::TempDir().getChildFile("CD-Track02.wav");
        EXPECT_EQ(workspace.model().getCourseTree().getProperty(CourseModel::AudioFile).toString(),
                  audio.getFullPathName());
        // Two seconds of the second tone, in 44 whole blocks of 2048 samples.
        EXPECT_EQ(workspace.model().getCourseTree().getProperty(CourseModel::CourseLength).toString(),
                  "90112");
        EXPECT_TRUE(workspace.window().getName().startsWith("qZ - CD-Track02 ("));
        workspace.controller().resetToEmpty();
        ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
    }
}

TEST_F(CourseControllerCd, ABadOrVanishedImageFailsWithItsMessagesAndLeavesNoWav)
{
    const auto data = sheet.withFileExtension("bin");
    const auto firstTrackBytes = CdImages::trackFrames(twoTones[0]) * 4;
    struct Case
    {
        const char* name;
        std::function<void()> spoil;
    };
    const std::vector<Case> cases{
        {"the sheet now reads a file outside its folder",
         [&]
         {
             ASSERT_TRUE(data.copyFileTo(images.getSiblingFile("lesson.bin")));
             ASSERT_TRUE(sheet.replaceWithText(
                 sheet.loadFileAsString().replace("\"lesson.bin\"", "\"../lesson.bin\"")));
         }},
        {"the data file is gone", [&] { ASSERT_TRUE(data.deleteFile()); }},
        {"the data file was cut off part-way through a sector",
         [&] { resize(data, firstTrackBytes + 5000); }},
        {"the data file was cut off before the track", [&] { resize(data, firstTrackBytes); }},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_NE(CdImages::write(images, "lesson", twoTones), File());
        AudioCdDiscs::refreshPlaceholders();
        ASSERT_TRUE(trackFile("lesson", 2).existsAsFile());
        c.spoil();

        // The drop road: a file manager or the side browser may still show the old track files.
        OpenWorkspace workspace;
        // The job finds no track; the empty file it leaves is no audio to make a course of.
        const std::vector<Box> noTrack{
            {TRANS("Ah oh"), TRANS("This file isn't a valid CD audio."), Icon::InfoIcon},
            {TRANS("Ah oh"), TRANS("Invalid audio file!"), Icon::InfoIcon},
            {TRANS("Ah oh"), TRANS("Audio CD data load failed!"), Icon::WarningIcon}};
        ModalAnswerer answerer;
        answerer.letProgressRun();
        for (size_t i = 0; i < noTrack.size(); ++i)
            answerer.press(TRANS("OK"));
        EXPECT_FALSE(workspace.main().fileDroped(trackFile("lesson", 2)));
        answerer.expectDone();

        ASSERT_EQ(answerer.seen().size(), noTrack.size() + 1);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Extracting audio data..."));
        for (size_t i = 0; i < noTrack.size(); ++i)
        {
            EXPECT_EQ(answerer.seen()[i + 1].title, noTrack[i].title);
            EXPECT_EQ(answerer.seen()[i + 1].message, noTrack[i].message);
            EXPECT_EQ(answerer.seen()[i + 1].icon, noTrack[i].icon);
        }
        EXPECT_FALSE(workspace.controller().isCourseOpen());
        EXPECT_TRUE(OpenWorkspace::filesInTemporaryFolder().isEmpty())
            << OpenWorkspace::filesInTemporaryFolder().joinIntoString(", ");
        images.getSiblingFile("lesson.bin").deleteFile();
    }
}

TEST_F(CourseControllerCd, ACancelledExtractionLeavesTheTemporaryFolderEmpty)
{
    // A whole CD's length of silence (a sparse file, no room taken), so that the copy is still
    // running when the Cancel button is pressed.
    ASSERT_NE(CdImages::write(images, "long", {{1.0, 440.0}}), File());
    resize(images.getChildFile("long.bin"), (juce::int64)80 * 60 * 75 * 2352);
    AudioCdDiscs::refreshPlaceholders();

    OpenWorkspace workspace;
    ModalAnswerer answerer;
    answerer.cancel();
    EXPECT_FALSE(workspace.main().fileDroped(trackFile("long", 1)));
    answerer.expectDone();
    ASSERT_EQ(answerer.seen().size(), 1u) << "a cancel shows no message";
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Extracting audio data..."));
    EXPECT_FALSE(workspace.controller().isCourseOpen());
    EXPECT_TRUE(OpenWorkspace::filesInTemporaryFolder().isEmpty())
        << OpenWorkspace::filesInTemporaryFolder().joinIntoString(", ");
}
