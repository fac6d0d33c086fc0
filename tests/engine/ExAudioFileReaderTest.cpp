#include "engine/ExAudioFileReader.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "harness/AudioFixtures.h"
#include "harness/ModalAnswerer.h"
#include "harness/TemporaryHome.h"
#include "harness/WaveformStreams.h"
#include "platform/Mp3AudioFormat.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

namespace
{
const char* const stem = "2017-0402-1530-07";
const char* const progressTitle = "Reading and parsing audio data...";

/** A recording described by its file's text, "QZTEST <sample rate> <length in samples>", whose
    reader is slow (a millisecond a block, far longer than any test runs for the hour-long one the
    cancel test uses), so that the waveform job is still running when a test cancels it. Also makes
    audio that no real format would open, such as a sample rate of 0. */
class DescribedAudioFormat : public juce::AudioFormat
{
public:
    DescribedAudioFormat() : juce::AudioFormat("Described test audio", ".described") {}

    static bool write(const juce::File& file, int sampleRate, juce::int64 length)
    {
        return file.replaceWithText("QZTEST " + juce::String(sampleRate) + " " + juce::String(length));
    }

    juce::Array<int> getPossibleSampleRates() override { return {8000}; }
    juce::Array<int> getPossibleBitDepths() override { return {16}; }
    bool canDoStereo() override { return false; }
    bool canDoMono() override { return true; }

    juce::AudioFormatReader* createReaderFor(juce::InputStream* stream,
                                             bool deleteStreamIfOpeningFails) override
    {
        const auto words = juce::StringArray::fromTokens(stream->readString(), " ", {});
        if (words.size() == 3 && words[0] == "QZTEST")
            return new Reader(stream, words[1].getDoubleValue(), words[2].getLargeIntValue());
        if (deleteStreamIfOpeningFails)
            delete stream;
        return nullptr;
    }

    juce::AudioFormatWriter* createWriterFor(juce::OutputStream*, double, unsigned int, int,
                                             const juce::StringPairArray&, int) override
    {
        return nullptr;
    }
    using juce::AudioFormat::createWriterFor;

private:
    struct Reader : juce::AudioFormatReader
    {
        Reader(juce::InputStream* stream, double rate, juce::int64 length)
            : juce::AudioFormatReader(stream, "Described test audio")
        {
            sampleRate = rate;
            bitsPerSample = 16;
            numChannels = 1;
            lengthInSamples = length;
        }

        bool readSamples(int* const* channels, int numChannels_, int offset, juce::int64,
                         int numSamples) override
        {
            juce::Thread::sleep(1);
            for (int c = 0; c < numChannels_; ++c)
                if (channels[c] != nullptr)
                    juce::zeromem(channels[c] + offset, sizeof(int) * (size_t)numSamples);
            return true;
        }
    };
};

struct Sentence
{
    int start;
    int end;
    const char* text; // nullptr: not checked
};

struct LyricsCase
{
    const char* name;
    const char* lyrics;
    std::vector<Sentence> sentences;
};

juce::StringArray attributeNames(const juce::XmlElement& element)
{
    juce::StringArray names;
    for (int i = 0; i < element.getNumAttributes(); ++i)
        names.add(element.getAttributeName(i));
    return names;
}

/** Every test gets the basic formats, the MP3 reader and the described test format as the process-wide
    format manager, a fixed clock (so the working set's stem is known) and no data folder. */
class ExAudioFileReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        formats.registerBasicFormats();
        formats.registerFormat(new Mp3AudioFormat(), false);
        formats.registerFormat(new DescribedAudioFormat(), false);
        previousFormats = formatManager;
        formatManager = &formats;

        Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
        dataFolder().deleteRecursively();
        inputs = makeScratchFolder("qz-inputs");
    }

    void TearDown() override
    {
        formatManager = previousFormats;
        dataFolder().deleteRecursively();
        inputs.deleteRecursively();
    }

    static juce::File dataFolder()
    {
        return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory).getChildFile("qz");
    }

    juce::File makeWav(const juce::String& name, double seconds, double rate = 44100.0, int channels = 1)
    {
        const auto file = inputs.getChildFile(name);
        EXPECT_TRUE(file.getParentDirectory().createDirectory().wasOk());
        EXPECT_TRUE(AudioFixtures::writeWav(
            file, AudioFixtures::silenceThenSine(channels, rate, 0.0, seconds, 440.0, 0.5f), rate));
        return file;
    }

    juce::File withLyrics(const juce::File& audio, const juce::String& lyrics)
    {
        EXPECT_TRUE(audio.withFileExtension("lrc").replaceWithText(lyrics, false, false, "\r\n"));
        return audio;
    }

    juce::int64 lengthOf(const juce::File& audio)
    {
        std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(audio));
        return reader == nullptr ? -1 : reader->lengthInSamples;
    }

    /** Makes a new working set, letting the progress window run to its end. */
    bool createLettingProgressRun(const juce::File& audio)
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        const bool created = DocumentManager::createCourseFiles(audio);
        EXPECT_EQ(answerer.seen().size(), 1u);
        if (!answerer.seen().empty())
        {
            EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
            EXPECT_EQ(answerer.seen()[0].title, progressTitle);
        }
        return created;
    }

    std::unique_ptr<juce::XmlElement> courseText()
    {
        return juce::parseXML(DocumentManager::TempDir().getChildFile(juce::String(stem) + ".xml"));
    }

    static juce::MemoryBlock frameworkOverviewOf(const juce::File& audio, bool compressed = false)
    {
        return WaveformStreams::frameworkOverviewOf(audio, *formatManager, compressed);
    }

    static juce::MemoryBlock bytesOf(const juce::File& file)
    {
        juce::MemoryBlock bytes;
        file.loadFileAsData(bytes);
        return bytes;
    }

    static juce::MemoryBlock decompressed(const juce::File& smg)
    {
        return WaveformStreams::decompressed(smg);
    }

    /** Reads the waveform file back as the course model will. */
    static void expectWaveformOf(const juce::File& smg, juce::int64 length, double rate, int channels)
    {
        juce::MemoryBlock bytes;
        ASSERT_TRUE(smg.loadFileAsData(bytes)) << smg.getFullPathName();
        ASSERT_GT(bytes.getSize(), 2u);
        // A zlib header (not gzip) announcing the strongest compression.
        EXPECT_EQ((juce::uint8)bytes[0], 0x78);
        EXPECT_EQ((juce::uint8)bytes[1], 0xda);

        juce::GZIPDecompressorInputStream raw(new juce::FileInputStream(smg), true,
                                              juce::GZIPDecompressorInputStream::zlibFormat);
        char magic[4] = {};
        ASSERT_EQ(raw.read(magic, 4), 4);
        EXPECT_EQ(juce::String(magic, 4), "jatm");
        EXPECT_EQ(raw.readInt(), 64);

        juce::AudioFormatManager noFormats;
        juce::AudioThumbnailCache cache(1);
        juce::AudioThumbnail thumbnail(1024, noFormats, cache);
        juce::GZIPDecompressorInputStream stream(new juce::FileInputStream(smg), true,
                                                 juce::GZIPDecompressorInputStream::zlibFormat);
        ASSERT_TRUE(thumbnail.loadFrom(stream));
        EXPECT_EQ(juce::roundToInt(thumbnail.getTotalLength() * rate), length);
        EXPECT_EQ(thumbnail.getNumChannels(), channels);
        EXPECT_TRUE(thumbnail.isFullyLoaded());
        EXPECT_GT(thumbnail.getApproximatePeak(), 0.4f);
    }

    void expectSentences(const std::vector<Sentence>& expected, const juce::String& label)
    {
        const auto course = courseText();
        ASSERT_NE(course, nullptr) << label;
        ASSERT_EQ(course->getNumChildElements(), (int)expected.size()) << label;
        EXPECT_EQ(course->getIntAttribute(CourseModel::TotalSentences), (int)expected.size()) << label;
        for (size_t i = 0; i < expected.size(); ++i)
        {
            const auto* sentence = course->getChildElement((int)i);
            EXPECT_EQ(sentence->getIntAttribute(CourseModel::StartSamples), expected[i].start)
                << label << " " << i;
            EXPECT_EQ(sentence->getIntAttribute(CourseModel::EndSamples), expected[i].end)
                << label << " " << i;
            if (expected[i].text != nullptr)
            {
                EXPECT_EQ(sentence->getStringAttribute(CourseModel::EnglishText), expected[i].text)
                    << label << " " << i;
            }
        }
    }

    juce::AudioFormatManager formats;
    juce::AudioFormatManager* previousFormats = nullptr;
    juce::File inputs;
};
} // namespace

TEST_F(ExAudioFileReaderTest, MakesTheWorkingSetFromEachFormat)
{
    struct FormatCase
    {
        const char* extension;
        juce::StringArray encoder; // {} for the WAV itself; "IN" and "OUT" stand for the files
        double rate;
        int channels;
        bool exactLength;
    };
    const FormatCase cases[] = {
        {"wav", {}, 44100.0, 1, true},
        {"flac", {"flac", "--silent", "--force", "-o", "OUT", "IN"}, 48000.0, 2, true},
        {"ogg", {"oggenc", "--quiet", "-o", "OUT", "IN"}, 22050.0, 2, true},
        {"mp3", {"lame", "--quiet", "IN", "OUT"}, 44100.0, 2, false},
    };
    for (const auto& c : cases)
    {
        const auto wav = makeWav(juce::String("source-") + c.extension + ".wav", 2.0, c.rate, c.channels);
        auto audio = wav;
        if (!c.encoder.isEmpty())
        {
            audio = inputs.getChildFile(juce::String("lesson.") + c.extension);
            auto command = c.encoder;
            command.set(command.indexOf("IN"), wav.getFullPathName());
            command.set(command.indexOf("OUT"), audio.getFullPathName());
            ASSERT_TRUE(AudioFixtures::runTool(command)) << c.extension;
        }
        const auto length = lengthOf(audio);
        ASSERT_GT(length, 0) << c.extension;
        if (c.exactLength)
        {
            EXPECT_EQ(length, juce::roundToInt(2.0 * c.rate)) << c.extension;
        }

        DocumentManager::TempDir().deleteRecursively();
        ASSERT_TRUE(createLettingProgressRun(audio)) << c.extension;

        const auto course = courseText();
        ASSERT_NE(course, nullptr) << c.extension;
        EXPECT_EQ(course->getStringAttribute(CourseModel::AudioFile), audio.getFullPathName());
        EXPECT_EQ(course->getStringAttribute(CourseModel::CourseName), audio.getFileNameWithoutExtension());
        EXPECT_EQ(course->getStringAttribute(CourseModel::CourseLength), juce::String(length));
        ASSERT_EQ(course->getNumChildElements(), 1) << c.extension;
        const auto* whole = course->getFirstChildElement();
        EXPECT_EQ(attributeNames(*whole), juce::StringArray("StartSamples", "EndSamples"));
        EXPECT_EQ(whole->getStringAttribute(CourseModel::StartSamples), "0");
        EXPECT_EQ(whole->getStringAttribute(CourseModel::EndSamples), juce::String(length));

        const auto smg = DocumentManager::TempDir().getChildFile(juce::String(stem) + ".smg");
        expectWaveformOf(smg, length, c.rate, c.channels);
        // The overview is filled by our own job, in large blocks: it must be the very stream the
        // framework's loader would have made.
        EXPECT_TRUE(decompressed(smg) == frameworkOverviewOf(audio)) << c.extension;
        EXPECT_TRUE(bytesOf(smg) == frameworkOverviewOf(audio, true)) << c.extension;
        EXPECT_EQ(DocumentManager::TempDir().getNumberOfChildFiles(juce::File::findFilesAndDirectories), 2);
    }
}

TEST_F(ExAudioFileReaderTest, ALongRecordingGivesTheFrameworksWaveformStreamAtLevelNine)
{
    // A minute and a half of stereo noise whose level wanders: its stream is compressed in several
    // pieces side by side, handed over in other pieces than the framework's saving makes.
    const double rate = 44100.0;
    const int length = (int)(90.5 * rate) + 17;
    juce::AudioBuffer<float> noise(2, length);
    juce::Random random(7);
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < length; ++i)
            noise.setSample(channel, i,
                            (random.nextFloat() * 2.0f - 1.0f) *
                                (0.5f + 0.45f * std::sin((float)i / 9000.0f)));
    const auto audio = inputs.getChildFile("noise.wav");
    ASSERT_TRUE(AudioFixtures::writeWav(audio, noise, rate));

    ASSERT_TRUE(createLettingProgressRun(audio));
    const auto smg = DocumentManager::TempDir().getChildFile(juce::String(stem) + ".smg");
    EXPECT_TRUE(decompressed(smg) == frameworkOverviewOf(audio));
    const auto bytes = bytesOf(smg);
    ASSERT_GT(bytes.getSize(), 2u);
    EXPECT_EQ((juce::uint8)bytes[1], 0xda) << "marked as level 9";
    // Several pieces cost a few bytes each against the framework's single stream.
    const auto single = frameworkOverviewOf(audio, true).getSize();
    EXPECT_LT((double)bytes.getSize(), (double)single * 1.01);
}

TEST_F(ExAudioFileReaderTest, WithoutTextOnlyTheWaveformIsWritten)
{
    const auto audio = makeWav("rendered.wav", 1.0);
    const auto folder = inputs.getChildFile("out");
    ModalAnswerer answerer;
    answerer.letProgressRun();
    ExAudioFileReader reader(audio, "course", folder);
    ASSERT_TRUE(reader.createCourseFiles(false));

    EXPECT_FALSE(folder.getChildFile("course.xml").exists());
    expectWaveformOf(folder.getChildFile("course.smg"), 44100, 44100.0, 1);
}

TEST_F(ExAudioFileReaderTest, CourseTextAttributesComeInTheirOrderAndNonAsciiSurvives)
{
    const auto audio = withLyrics(makeWav(juce::String::fromUTF8("Hörbuch 课程/第一课.wav"), 3.0),
                                  juce::String::fromUTF8("[00:00.00]Grüß Gott\n[00:01.50]你好，世界"));
    ASSERT_TRUE(createLettingProgressRun(audio));

    const auto file = DocumentManager::TempDir().getChildFile(juce::String(stem) + ".xml");
    const auto text = file.loadFileAsString();
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << text;
    EXPECT_FALSE(text.contains("DOCTYPE"));
    // Wrapped at 60: the root's attributes don't all stand on its first line.
    const auto rootLine =
        text.fromFirstOccurrenceOf("<COURSE", true, false).upToFirstOccurrenceOf("\n", false, false);
    EXPECT_FALSE(rootLine.contains("NowStatus")) << rootLine;

    const auto course = juce::parseXML(file);
    ASSERT_NE(course, nullptr);
    EXPECT_EQ(course->getTagName(), "COURSE");
    EXPECT_EQ(attributeNames(*course),
              juce::StringArray("AudioFile", "LearnDate", "CourseName", "CourseLength", "TotalSentences",
                                "TotalNeedReview", "NextNeedReview", "NowStatus"));
    EXPECT_EQ(course->getStringAttribute("AudioFile"), audio.getFullPathName());
    EXPECT_EQ(course->getStringAttribute("LearnDate"), "2 Apr 2017 15:30:07");
    EXPECT_EQ(course->getStringAttribute("CourseName"), juce::String::fromUTF8("第一课"));
    EXPECT_EQ(course->getStringAttribute("CourseLength"), "132300");
    EXPECT_EQ(course->getStringAttribute("TotalSentences"), "2");
    EXPECT_EQ(course->getStringAttribute("TotalNeedReview"), "0");
    EXPECT_EQ(course->getStringAttribute("NextNeedReview"), "0");
    EXPECT_EQ(course->getStringAttribute("NowStatus"), "0");

    ASSERT_EQ(course->getNumChildElements(), 2);
    const auto* first = course->getFirstChildElement();
    EXPECT_EQ(first->getTagName(), "SENTENCE");
    EXPECT_EQ(attributeNames(*first),
              juce::StringArray("StartSamples", "EnglishText", "ChineseText", "NeedReview",
                                "NextIntervalDays", "TotalReviews", "CorrectTimes", "EndSamples"));
    EXPECT_EQ(first->getStringAttribute("EnglishText"), juce::String::fromUTF8("Grüß Gott"));
    EXPECT_EQ(course->getChildElement(1)->getStringAttribute("EnglishText"),
              juce::String::fromUTF8("你好，世界"));
    for (auto key : {"NeedReview", "NextIntervalDays", "TotalReviews", "CorrectTimes"})
        EXPECT_EQ(first->getStringAttribute(key), "0") << key;
    EXPECT_TRUE(first->hasAttribute("ChineseText"));
    EXPECT_EQ(first->getStringAttribute("ChineseText"), "");
}

TEST_F(ExAudioFileReaderTest, LyricsLinesBecomeSentences)
{
    // 5 s at 44100 Hz: 220500 samples.
    const LyricsCase cases[] = {
        {"two timed lines", "[00:00.00]One\n[00:02.50]Two", {{0, 110249, "One"}, {110250, 220500, "Two"}}},
        {"first line after a second starts at 0",
         "[00:03.00]Late\n[00:04.00]Later",
         {{0, 176399, "Late"}, {176400, 220500, "Later"}}},
        {"first line at exactly one second keeps its start",
         "[00:01.00]A\n[00:03.00]B",
         {{44100, 132299, "A"}, {132300, 220500, "B"}}},
        {"title tag reads as 0 and one of the two at 0 goes",
         "[ti:Title]\n[00:00.00]Hello\n[00:04.00]Bye",
         {{0, 176399, nullptr}, {176400, 220500, "Bye"}}},
        {"text lines only give the whole recording", "just words\nmore words\n", {{0, 220500, ""}}},
        {"stray and blank lines drop only themselves",
         "\n[00:00.00]A\nstray words\n   \n\t\n[00:02.00]B\n",
         {{0, 88199, "A"}, {88200, 220500, "B"}}},
        {"several tags: time of the first, text after the last",
         "[00:00.00]A\n  [00:02.00][00:04.00]  Both  ",
         {{0, 88199, "A"}, {88200, 220500, "Both  "}}},
        {"lines are sorted by time",
         "[00:03.00]C\n[00:00.00]A\n[00:01.50]B",
         {{0, 66149, "A"}, {66150, 132299, "B"}, {132300, 220500, "C"}}},
        {"a line at or past the end is dropped",
         "[00:00.00]A\n[00:02.00]B\n[00:05.00]End\n[00:07.00]Past",
         {{0, 88199, "A"}, {88200, 220500, "B"}}},
        {"only lines past the end give the whole recording", "[00:06.00]X", {{0, 220500, ""}}},
        {"a repeated time keeps one sentence",
         "[00:00.00]A\n[00:02.00]B\n[00:02.00]C",
         {{0, 88199, "A"}, {88200, 220500, nullptr}}},
        {"a signed time starts at 0", "[-00:02.00]N\n[00:02.00]B", {{0, 88199, "N"}, {88200, 220500, "B"}}},
    };
    const auto audio = makeWav("lesson.wav", 5.0);
    for (const auto& c : cases)
    {
        withLyrics(audio, c.lyrics);
        DocumentManager::TempDir().deleteRecursively();
        ASSERT_TRUE(createLettingProgressRun(audio)) << c.name;
        expectSentences(c.sentences, c.name);
    }
}

TEST_F(ExAudioFileReaderTest, LyricsTimesCountTheDigitsAfterThePointAsHundredths)
{
    // 100 s at 8000 Hz; every position truncates toward zero.
    const auto audio = withLyrics(makeWav("times.wav", 100.0, 8000.0),
                                  "[00:00.00]a\n[00:01.5]b\n[00:01.500]c\n[01:02]d\n[01:02.50]e\n"
                                  "[ 00:10.25 ]f\n[00:02.01]g\n");
    ASSERT_TRUE(createLettingProgressRun(audio));
    expectSentences({{0, 8399, "a"},
                     {8400, 16078, "b"},     // 1.05 s
                     {16079, 47999, "g"},    // 2.01 s: 16079.99... truncated
                     {48000, 81999, "c"},    // 6.0 s
                     {82000, 496079, "f"},   // 10.25 s, blanks inside the tag
                     {496080, 499999, "d"},  // 62.01 s: no point, the minutes count as hundredths
                     {500000, 800000, "e"}}, // 62.5 s
                    "times");
}

TEST_F(ExAudioFileReaderTest, ShortOrUnreadableAudioIsRefused)
{
    struct RefusalCase
    {
        const char* name;
        std::function<juce::File()> make;
    };
    const RefusalCase cases[] = {
        {"0.4 s", [this] { return makeWav("short.wav", 0.4); }},
        {"exactly 0.5 s", [this] { return makeWav("half.wav", 0.5); }},
        {"not audio",
         [this]
         {
             const auto f = inputs.getChildFile("text.wav");
             f.replaceWithText("this is no audio at all, just words in a file");
             return f;
         }},
        {"cut inside its header",
         [this]
         {
             const auto f = makeWav("cut.wav", 2.0);
             juce::MemoryBlock bytes;
             f.loadFileAsData(bytes);
             f.replaceWithData(bytes.getData(), 30);
             return f;
         }},
        {"sample rate 0",
         [this]
         {
             const auto f = inputs.getChildFile("norate.described");
             DescribedAudioFormat::write(f, 0, 44100);
             return f;
         }},
        {"missing", [this] { return inputs.getChildFile("gone.wav"); }},
    };
    for (const auto& c : cases)
    {
        const auto audio = c.make();
        ModalAnswerer answerer;
        answerer.press("OK");
        EXPECT_FALSE(DocumentManager::createCourseFiles(audio)) << c.name;
        ASSERT_EQ(answerer.seen().size(), 1u) << c.name;
        EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::alert) << c.name;
        EXPECT_EQ(answerer.seen()[0].title, "Ah oh") << c.name;
        EXPECT_EQ(answerer.seen()[0].message, "Invalid audio file!") << c.name;
        EXPECT_EQ(answerer.seen()[0].icon, juce::MessageBoxIconType::InfoIcon) << c.name;
        EXPECT_FALSE(DocumentManager::TempDir().exists()) << c.name;
    }

    // Just over half a second is long enough.
    ASSERT_TRUE(createLettingProgressRun(makeWav("enough.wav", 0.51)));
    EXPECT_EQ(courseText()->getStringAttribute(CourseModel::CourseLength), "22491");
}

TEST_F(ExAudioFileReaderTest, CancelledWaveformJobFailsAndLeavesNoTemporaryFolder)
{
    const auto slow = inputs.getChildFile("hour.described");
    ASSERT_TRUE(DescribedAudioFormat::write(slow, 8000, 8000 * 3600));

    {
        // The job itself still writes what it had loaded, but the course text comes only after a
        // whole waveform file: a kill during the job leaves no course text for the next start to
        // reopen beside a waveform file that is missing or cut short.
        const auto folder = inputs.getChildFile("direct");
        ModalAnswerer answerer;
        answerer.cancelProgressAfter(300);
        ExAudioFileReader reader(slow, "course", folder);
        EXPECT_FALSE(reader.createCourseFiles(true));
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
        EXPECT_TRUE(answerer.seen()[0].buttons.contains("Cancel"));
        EXPECT_FALSE(folder.getChildFile("course.xml").exists());
        EXPECT_TRUE(folder.getChildFile("course.smg").existsAsFile());
    }

    ModalAnswerer answerer;
    answerer.cancelProgressAfter(300);
    EXPECT_FALSE(DocumentManager::createCourseFiles(slow));
    ASSERT_EQ(answerer.seen().size(), 1u) << "a cancel shows no message";
    EXPECT_EQ(answerer.seen()[0].title, progressTitle);
    EXPECT_FALSE(DocumentManager::TempDir().exists());
}

TEST_F(ExAudioFileReaderTest, WriteFailuresAreShownAndLeaveNoTemporaryFolder)
{
    const auto audio = makeWav("lesson.wav", 1.0);
    const auto temp = DocumentManager::TempDir();

    // No file can be written where a file stands in for the folder: the waveform job, which
    // comes first, fails.
    ASSERT_TRUE(temp.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE(temp.replaceWithText("in the way"));
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        answerer.press("OK");
        EXPECT_FALSE(DocumentManager::createCourseFiles(audio));
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[1].title, "Message");
        EXPECT_EQ(answerer.seen()[1].message, "Create course files failed!");
        EXPECT_FALSE(temp.exists());
    }

    // The waveform file can't be written where a folder of its name stands.
    ASSERT_TRUE(temp.getChildFile(juce::String(stem) + ".smg/blocker").create().wasOk());
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        answerer.press("OK");
        EXPECT_FALSE(DocumentManager::createCourseFiles(audio));
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[0].kind, ModalAnswerer::Kind::progress);
        EXPECT_EQ(answerer.seen()[1].title, "Message");
        EXPECT_EQ(answerer.seen()[1].message, "Create course files failed!");
        EXPECT_FALSE(temp.exists());
    }

    // The course text, written last, can't take its name where a folder of that name stands.
    ASSERT_TRUE(temp.getChildFile(juce::String(stem) + ".xml/blocker").create().wasOk());
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        answerer.press("OK");
        EXPECT_FALSE(DocumentManager::createCourseFiles(audio));
        ASSERT_EQ(answerer.seen().size(), 2u);
        EXPECT_EQ(answerer.seen()[1].message, "Create course files failed!");
        EXPECT_FALSE(temp.exists());
    }
}
