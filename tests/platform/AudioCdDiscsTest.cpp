// The audio-CD layer over libcdio, tried on images the tests make: the disc reader gives each
// track's samples as the data file holds them and fails where the data is gone; the catalog shows
// the images as folders of ".cda" files and follows them as they come and go.
#include "platform/AudioCdDiscs.h"

#include "harness/CdImages.h"
#include "harness/FolderContents.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <filesystem>

using juce::File;
using juce::String;
using Reading = AudioCdDiscReader::Reading;

namespace
{
const std::vector<CdImages::Track> threeTones{{0.5, 440.0}, {0.7, 880.0}, {0.3, 660.0}};

/** Reads frames of the disc as the framework's integer samples; false when the read failed. */
bool readFrames(AudioCdDiscReader& reader, juce::int64 start, int count, std::vector<int>& left,
                std::vector<int>& right)
{
    left.assign((size_t)count, 0);
    right.assign((size_t)count, 0);
    int* channels[] = {left.data(), right.data()};
    return reader.read(channels, 2, start, count, false);
}

const AudioCdDiscs::Disc* discWithFolder(const std::vector<AudioCdDiscs::Disc>& discs, const File& folder)
{
    for (const auto& disc : discs)
        if (disc.folder == folder)
            return &disc;
    return nullptr;
}
} // namespace

TEST(AudioCdDiscReader, ReadsEveryTrackOfAnImageAsItsDataFileHoldsIt)
{
    const auto sheet = CdImages::write(makeScratchFolder("cd"), "lesson", threeTones, "Lesson One");
    ASSERT_NE(sheet, File());
    const auto data = sheet.withFileExtension("bin");

    // Direct reading serves images; verified reading (through cd-paranoia) serves drives, tried
    // here on the same image.
    for (const auto reading : {Reading::direct, Reading::verified})
    {
        SCOPED_TRACE(reading == Reading::direct ? "direct" : "verified");
        auto reader = AudioCdDiscReader::openImage(sheet, reading);
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(reader->sampleRate, 44100.0);
        EXPECT_EQ(reader->numChannels, 2u);
        EXPECT_EQ(reader->bitsPerSample, 16u);
        EXPECT_EQ(reader->getTitle(), "Lesson One");

        const auto& tracks = reader->getTracks();
        ASSERT_EQ(tracks.size(), 3u);
        juce::int64 start = 0;
        for (size_t i = 0; i < tracks.size(); ++i)
        {
            EXPECT_EQ(tracks[i].number, (int)i + 1);
            EXPECT_EQ(tracks[i].startSample, start);
            EXPECT_EQ(tracks[i].endSample, start + CdImages::trackFrames(threeTones[i]));
            start = tracks[i].endSample;
        }
        EXPECT_EQ(reader->lengthInSamples, start);

        // A span across several of the reader's chunks and a track boundary, starting inside a
        // sector, and running past the end of the disc into silence.
        const auto first = tracks[1].startSample - 1001;
        const auto count = (int)(reader->lengthInSamples - first + 500);
        std::vector<int> left, right;
        ASSERT_TRUE(readFrames(*reader, first, count, left, right));
        const auto expected = CdImages::rawSamples(data, first, count - 500);
        for (int i = 0; i < count - 500; ++i)
        {
            ASSERT_EQ(left[(size_t)i], expected[(size_t)(2 * i)] * 65536) << "frame " << first + i;
            ASSERT_EQ(right[(size_t)i], expected[(size_t)(2 * i + 1)] * 65536) << "frame " << first + i;
        }
        for (int i = count - 500; i < count; ++i)
            ASSERT_EQ(left[(size_t)i], 0);
        // The tones are there: not all of the second track is silence.
        EXPECT_TRUE(std::any_of(left.begin() + 2000, left.begin() + 3000, [](int s) { return s != 0; }));
    }
}

TEST(AudioCdDiscReader, AReadFailsWhereTheDataFileWasCutOffAfterTheDiscWasOpened)
{
    for (const auto reading : {Reading::direct, Reading::verified})
    {
        SCOPED_TRACE(reading == Reading::direct ? "direct" : "verified");
        const auto sheet = CdImages::write(makeScratchFolder("cd"), "lesson", threeTones);
        ASSERT_NE(sheet, File());
        auto reader = AudioCdDiscReader::openImage(sheet, reading);
        ASSERT_NE(reader, nullptr);
        const auto second = reader->getTracks()[1];

        // Cut in the middle of the second track.
        const auto cut = (second.startSample + 10 * AudioCdDiscReader::samplesPerSector) * 4;
        std::filesystem::resize_file(sheet.withFileExtension("bin").getFullPathName().toStdString(),
                                     (uintmax_t)cut);

        std::vector<int> left, right;
        EXPECT_FALSE(readFrames(*reader, second.startSample, (int)(second.endSample - second.startSample),
                                left, right));
        // What is still there reads as before.
        EXPECT_TRUE(readFrames(*reader, 0, 4096, left, right));
    }
}

TEST(AudioCdDiscReader, ImagesThatFailTheirCheckAreNotOpened)
{
    const auto folder = makeScratchFolder("cd");
    const auto sheet = CdImages::write(folder, "lesson", threeTones);
    ASSERT_NE(sheet, File());
    ASSERT_TRUE(sheet.withFileExtension("bin").moveFileTo(folder.getSiblingFile("lesson.bin")));

    String problem;
    EXPECT_EQ(AudioCdDiscReader::openImage(sheet, Reading::direct, &problem), nullptr);
    EXPECT_TRUE(problem.contains("missing")) << problem;
}

//==============================================================================
TEST(AudioCdDiscs, PlaceholderFoldersFollowTheImagesAsTheyComeAndGo)
{
    const auto images = makeScratchFolder("images");
    CdImages::ScopedFolder pointedAt(images);
    const auto lesson = CdImages::write(images, "lesson", {{0.5, 440.0}, {0.7, 880.0}}, "Lesson One");
    ASSERT_NE(lesson, File());
    // An image whose sheet reads a file outside its folder is left out.
    const auto outside = CdImages::write(images, "outside", {{0.5, 440.0}});
    ASSERT_NE(outside, File());
    ASSERT_TRUE(
        outside.replaceWithText(outside.loadFileAsString().replace("\"outside.bin\"", "\"../secret.bin\"")));
    ASSERT_TRUE(images.getChildFile("notes.txt").replaceWithText("not an image"));

    // What an earlier run left: a disc gone, and a gone disc's folder holding a file of the learner's.
    const auto root = AudioCdDiscs::placeholderRoot();
    ASSERT_TRUE(root.getChildFile("old.cue/Track01.cda").create().wasOk());
    ASSERT_TRUE(root.getChildFile("sr7/Track03.cda").create().wasOk());
    ASSERT_TRUE(root.getChildFile("sr7/mine.txt").replaceWithText("keep"));

    auto discs = AudioCdDiscs::refreshPlaceholders();
    const auto* disc = discWithFolder(discs, root.getChildFile("lesson.cue"));
    ASSERT_NE(disc, nullptr);
    EXPECT_EQ(disc->label, "Lesson One");
    EXPECT_EQ(disc->source, lesson.getFullPathName());
    EXPECT_EQ(disc->numTracks, 2);
    EXPECT_EQ(discWithFolder(discs, root.getChildFile("outside.cue")), nullptr);
    EXPECT_EQ(FolderContents::namesIn(root.getChildFile("lesson.cue")),
              juce::StringArray({"Track01.cda", "Track02.cda"}));
    EXPECT_FALSE(root.getChildFile("outside.cue").exists());
    EXPECT_FALSE(root.getChildFile("old.cue").exists());
    EXPECT_EQ(FolderContents::namesIn(root.getChildFile("sr7")), juce::StringArray({"mine.txt"}));

    // The image loses a track and gets no title: the folder follows.
    ASSERT_NE(CdImages::write(images, "lesson", {{0.5, 440.0}}), File());
    discs = AudioCdDiscs::refreshPlaceholders();
    disc = discWithFolder(discs, root.getChildFile("lesson.cue"));
    ASSERT_NE(disc, nullptr);
    EXPECT_EQ(disc->label, "Audio CD");
    EXPECT_EQ(FolderContents::namesIn(root.getChildFile("lesson.cue")), juce::StringArray({"Track01.cda"}));

    // Without the images folder the image's folder goes.
    unsetenv(AudioCdDiscs::imagesVariable);
    discs = AudioCdDiscs::refreshPlaceholders();
    EXPECT_EQ(discWithFolder(discs, root.getChildFile("lesson.cue")), nullptr);
    EXPECT_FALSE(root.getChildFile("lesson.cue").exists());
}

TEST(AudioCdDiscs, AFileLiesOnACdDriveOnlyDirectlyInADiscFolder)
{
    const auto root = AudioCdDiscs::placeholderRoot();
    const auto home = File::getSpecialLocation(File::userHomeDirectory);
    const std::vector<std::pair<File, bool>> cases{
        {root.getChildFile("lesson.cue/Track01.cda"), true},
        {root.getChildFile("sr0/Track12.cda"), true},
        {root.getChildFile("Track01.cda"), false},
        {root.getChildFile("sr0/sub/Track01.cda"), false},
        {home.getChildFile("Track01.cda"), false},
        {File("/media/cdrom/Track01.cda"), false},
        {File("/tmp/qz/audio-cd/sr0/Track01.cda"), false},
    };
    for (const auto& [file, onDrive] : cases)
        EXPECT_EQ(AudioCdDiscs::isOnCdDrive(file), onDrive) << file.getFullPathName();
}

TEST(AudioCdDiscs, ADiscIsOpenedByItsFolderAlone)
{
    const auto images = makeScratchFolder("images");
    CdImages::ScopedFolder pointedAt(images);
    ASSERT_NE(CdImages::write(images, "lesson", threeTones), File());
    const auto root = AudioCdDiscs::placeholderRoot();

    auto reader = AudioCdDiscs::openDisc(root.getChildFile("lesson.cue"));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->getTracks().size(), 3u);

    for (const auto& folder :
         {root.getChildFile("other.cue"), root.getChildFile("sr9"), images.getChildFile("lesson.cue"),
          root.getChildFile("lesson.cue/Track01.cda")})
        EXPECT_EQ(AudioCdDiscs::openDisc(folder), nullptr) << folder.getFullPathName();

    unsetenv(AudioCdDiscs::imagesVariable);
    EXPECT_EQ(AudioCdDiscs::openDisc(root.getChildFile("lesson.cue")), nullptr);
}
