// CD track extraction: the ".cda" file's track is found on its disc, copied into a WAV file of
// 44100 Hz, 2 channels, 16 bits in whole blocks behind its progress window; a cancel keeps what
// was written, failures end without a WAV file.
#include "engine/audio/AudioCDExtractor.h"

#include "platform/AudioCdDiscs.h"

#include "harness/CdImages.h"
#include "harness/ModalAnswerer.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using juce::File;
using juce::String;

namespace
{

/** A track of made-up samples (frame i holds i + 1 in the left channel and -(i + 1) in the right);
    from frame `stallFrom` on it waits for the job to be told to stop, so a cancel always finds it
    running. */
class MadeUpTrack : public juce::AudioFormatReader
{
public:
    explicit MadeUpTrack(juce::int64 length, juce::int64 stallFrom = -1)
        : juce::AudioFormatReader(nullptr, "made up"), stall(stallFrom)
    {
        sampleRate = 44100.0;
        bitsPerSample = 16;
        numChannels = 2;
        lengthInSamples = length;
    }

    static int left(juce::int64 frame) { return (int)(frame % 30000 + 1) * 65536; }

    bool readSamples(int* const* dest, int numDest, int offset, juce::int64 start, int count) override
    {
        if (stall >= 0 && start >= stall)
            while (!juce::Thread::currentThreadShouldExit())
                juce::Thread::sleep(5);
        clearSamplesBeyondAvailableLength(dest, numDest, offset, start, count, lengthInSamples);
        for (int i = 0; i < count; ++i)
        {
            if (dest[0] != nullptr)
                dest[0][offset + i] = left(start + i);
            if (numDest > 1 && dest[1] != nullptr)
                dest[1][offset + i] = -left(start + i);
        }
        return true;
    }

private:
    juce::int64 stall;
};

struct Wav
{
    std::unique_ptr<juce::AudioFormatReader> reader;
    std::vector<int> left, right;
};

/** The WAV file's reader and its samples; no reader when it is no WAV file. */
Wav readWav(const File& file)
{
    Wav wav;
    juce::WavAudioFormat format;
    if (auto in = file.createInputStream())
        wav.reader.reset(format.createReaderFor(in.release(), true));
    if (wav.reader == nullptr)
        return wav;
    const auto length = (int)wav.reader->lengthInSamples;
    wav.left.assign((size_t)length, 0);
    wav.right.assign((size_t)length, 0);
    int* channels[] = {wav.left.data(), wav.right.data()};
    wav.reader->read(channels, 2, 0, length, false);
    return wav;
}

void expectFormat(const Wav& wav)
{
    ASSERT_NE(wav.reader, nullptr);
    EXPECT_EQ(wav.reader->sampleRate, 44100.0);
    EXPECT_EQ(wav.reader->numChannels, 2u);
    EXPECT_EQ(wav.reader->bitsPerSample, 16u);
    EXPECT_EQ(wav.reader->metadataValues.size(), 0);
}

class AudioCDExtractorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        sheet = CdImages::write(images, "lesson", tones, "Lesson");
        ASSERT_NE(sheet, File());
        AudioCdDiscs::refreshPlaceholders();
        ASSERT_TRUE(track(3).existsAsFile());
    }

    File track(int number) const
    {
        return AudioCdDiscs::placeholderRoot()
            .getChildFile("lesson.cue")
            .getChildFile(AudioCdDiscs::trackFileName(number));
    }

    /** Where the track starts in the image's data file. */
    juce::int64 startOf(int number) const
    {
        juce::int64 start = 0;
        for (int i = 0; i < number - 1; ++i)
            start += CdImages::trackFrames(tones[(size_t)i]);
        return start;
    }

    const std::vector<CdImages::Track> tones{{1.0, 440.0}, {2.0, 880.0}, {0.5, 660.0}};
    File images = makeScratchFolder("images");
    CdImages::ScopedFolder pointedAt{images};
    File sheet;
    File destination = makeScratchFolder("out").getChildFile("CD-Track02.wav");
};
} // namespace

TEST_F(AudioCDExtractorTest, TheReaderOfATrackFileIsItsTrackCountedInNameOrder)
{
    for (int number = 1; number <= 3; ++number)
    {
        SCOPED_TRACE(number);
        auto reader = AudioCDExtractor::extractAudioFormatReader(track(number));
        ASSERT_NE(reader, nullptr);
        const auto length = CdImages::trackFrames(tones[(size_t)number - 1]);
        EXPECT_EQ(reader->lengthInSamples, length);

        std::vector<int> left(4096), right(4096);
        int* channels[] = {left.data(), right.data()};
        ASSERT_TRUE(reader->read(channels, 2, 0, 4096, false));
        const auto expected = CdImages::rawSamples(sheet.withFileExtension("bin"), startOf(number), 4096);
        for (int i = 0; i < 4096; ++i)
            ASSERT_EQ(left[(size_t)i], expected[(size_t)(2 * i)] * 65536) << i;
    }

    // A ".cda" file beyond the disc's tracks, one outside the discs' folders, and one of a disc
    // whose image went away stand for no track.
    const auto beyond = track(4);
    ASSERT_TRUE(beyond.replaceWithText("copied in by hand"));
    const auto elsewhere = File::getSpecialLocation(File::userHomeDirectory).getChildFile("Track01.cda");
    ASSERT_TRUE(elsewhere.replaceWithText("not on a disc"));
    EXPECT_EQ(AudioCDExtractor::extractAudioFormatReader(beyond), nullptr);
    EXPECT_EQ(AudioCDExtractor::extractAudioFormatReader(elsewhere), nullptr);
    ASSERT_TRUE(sheet.deleteFile());
    EXPECT_EQ(AudioCDExtractor::extractAudioFormatReader(track(1)), nullptr);
}

TEST_F(AudioCDExtractorTest, TheSecondTrackBecomesAStereo16BitWavOfWholeBlocks)
{
    ModalAnswerer answerer;
    answerer.letProgressRun();
    ASSERT_TRUE(AudioCDExtractor::extractAudioDataToFile(track(2), destination));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
    EXPECT_EQ(answerer.seen()[0].title, TRANS("Extracting audio data..."));
    EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray(TRANS("Cancel")));

    const auto wav = readWav(destination);
    expectFormat(wav);
    // Two seconds are 88200 samples: 44 blocks of 2048, the last 1912 of them silence.
    const auto length = CdImages::trackFrames(tones[1]);
    ASSERT_EQ(length, 88200);
    ASSERT_EQ(wav.reader->lengthInSamples, 90112);
    const auto expected = CdImages::rawSamples(sheet.withFileExtension("bin"), startOf(2), (int)length);
    for (int i = 0; i < (int)length; ++i)
    {
        ASSERT_EQ(wav.left[(size_t)i], expected[(size_t)(2 * i)] * 65536) << i;
        ASSERT_EQ(wav.right[(size_t)i], expected[(size_t)(2 * i + 1)] * 65536) << i;
    }
    for (auto i = (size_t)length; i < wav.left.size(); ++i)
        ASSERT_EQ(wav.left[i], 0) << i;
}

TEST_F(AudioCDExtractorTest, TheCopyEndsOnAWholeBlockPaddedWithSilence)
{
    // {track length, file length}: a track of whole blocks gets one more block of silence.
    for (const auto& [length, expected] :
         std::vector<std::pair<int, int>>{{100000, 100352}, {4096, 6144}, {1, 2048}})
    {
        SCOPED_TRACE(length);
        {
            ModalAnswerer answerer;
            answerer.letProgressRun();
            AudioCDExtractor extractor(std::make_unique<MadeUpTrack>(length), destination);
            EXPECT_TRUE(extractor.runThread());
        }
        const auto wav = readWav(destination);
        expectFormat(wav);
        ASSERT_EQ(wav.reader->lengthInSamples, expected);
        for (int i = 0; i < expected; ++i)
        {
            ASSERT_EQ(wav.left[(size_t)i], i < length ? MadeUpTrack::left(i) : 0) << i;
            ASSERT_EQ(wav.right[(size_t)i], i < length ? -MadeUpTrack::left(i) : 0) << i;
        }
    }
}

TEST_F(AudioCDExtractorTest, ACancelKeepsTheValidWavWrittenSoFar)
{
    const juce::int64 stallFrom = 20 * AudioCDExtractor::blockSamples;
    ModalAnswerer answerer;
    answerer.cancelProgressAfter(200);
    {
        AudioCDExtractor extractor(std::make_unique<MadeUpTrack>(44100 * 600, stallFrom), destination);
        EXPECT_FALSE(extractor.runThread());
    }
    // The block being read when the cancel came is written whole; the job stops before the next.
    const auto wav = readWav(destination);
    expectFormat(wav);
    EXPECT_EQ(wav.reader->lengthInSamples, stallFrom + AudioCDExtractor::blockSamples);
    for (int i = 0; i < (int)wav.reader->lengthInSamples; ++i)
        ASSERT_EQ(wav.left[(size_t)i], MadeUpTrack::left(i)) << i;
}

TEST_F(AudioCDExtractorTest, ATrackThatIsNotThereIsSaidSoAndLeavesAnEmptyFile)
{
    ASSERT_TRUE(destination.replaceWithText("an earlier file"));
    ASSERT_TRUE(sheet.withFileExtension("bin").deleteFile());
    ModalAnswerer answerer;
    answerer.letProgressRun();
    answerer.press(TRANS("OK"));
    EXPECT_TRUE(AudioCDExtractor::extractAudioDataToFile(track(2), destination));
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[1].title, TRANS("Ah oh"));
    EXPECT_EQ(answerer.seen()[1].message, TRANS("This file isn't a valid CD audio."));
    EXPECT_EQ(answerer.seen()[1].icon, juce::MessageBoxIconType::InfoIcon);
    EXPECT_TRUE(destination.existsAsFile());
    EXPECT_EQ(destination.getSize(), 0);
}

TEST_F(AudioCDExtractorTest, AFailedReadOrWriteLeavesNoWav)
{
    {
        // The data file is cut off in the middle of the track after the disc was opened.
        auto reader = AudioCDExtractor::extractAudioFormatReader(track(2));
        ASSERT_NE(reader, nullptr);
        const auto cut = (startOf(2) + 30000) * 4 / 2352 * 2352;
        std::filesystem::resize_file(sheet.withFileExtension("bin").getFullPathName().toStdString(),
                                     (uintmax_t)cut);

        ModalAnswerer answerer;
        answerer.letProgressRun();
        AudioCDExtractor extractor(std::move(reader), destination);
        EXPECT_TRUE(extractor.runThread()) << "a failure is no cancel";
        EXPECT_EQ(answerer.seen().size(), 1u) << "the caller tells the learner";
    }
    EXPECT_FALSE(destination.exists());

    // A full disk, as a limit on the file size: a write in the middle of the copy fails, or only
    // the last one as the file is closed (the framework's WAV writer would not notice that one).
    std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& [frames, limitBytes] :
         std::vector<std::pair<int, rlim_t>>{{100000, 64 * 1024}, {1, 4096}})
    {
        SCOPED_TRACE(frames);
        rlimit previous{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = limitBytes;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        {
            ModalAnswerer answerer;
            answerer.letProgressRun();
            AudioCDExtractor extractor(std::make_unique<MadeUpTrack>(frames), destination);
            EXPECT_TRUE(extractor.runThread());
        }
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &previous), 0);
        EXPECT_FALSE(destination.exists());
    }
}

TEST_F(AudioCDExtractorTest, AFileOffTheDiscsIsRefusedWithoutAWord)
{
    const auto elsewhere = File::getSpecialLocation(File::userHomeDirectory).getChildFile("Track02.cda");
    ASSERT_TRUE(elsewhere.replaceWithText("not on a disc"));
    ModalAnswerer answerer;
    EXPECT_FALSE(AudioCDExtractor::extractAudioDataToFile(elsewhere, destination));
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_FALSE(destination.exists());
}
