// Courseware files without a window: the course text made from a course tree (re-laid on the
// rendered audio, stripped of review data), the file names offered for a course name, and loading
// a file from someone else into a working set, where every hostile file fails whole and writes
// nothing outside the temporary folder.
#include "engine/CoursewareFile.h"

#include "engine/CourseModel.h"
#include "engine/WaveformFileWriter.h"

#include "harness/FolderContents.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

using juce::File;
using juce::MemoryBlock;
using juce::String;

namespace
{
const int rate = 44100;
// The courseware's audio: two seconds of a tone.
const int audioSamples = 2 * rate;

struct Entry
{
    String name;
    MemoryBlock bytes;
};

MemoryBlock textBytes(const String& text)
{
    return MemoryBlock(text.toRawUTF8(), text.getNumBytesAsUTF8());
}

MemoryBlock contentOf(const File& file)
{
    MemoryBlock block;
    EXPECT_TRUE(file.loadFileAsData(block));
    return block;
}

String sentence(const String& start, const String& end, const String& extra = {})
{
    return "<SENTENCE StartSamples=\"" + start + "\" EndSamples=\"" + end + "\" " + extra + "/>";
}

String course(const String& sentences, const String& attributes = "CourseLength=\"88199\"")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<COURSE CourseName=\"lesson\" " + attributes + ">" +
           sentences + "</COURSE>";
}

const String goodSentences = sentence("0", "44099", "EnglishText=\"one\" NeedReview=\"1\"") +
                             sentence("44100", "88199", "EnglishText=\"two\" NeedReview=\"0\"");

/** The framework's waveform stream inside a waveform file, to be changed and packed again. */
MemoryBlock inflate(const MemoryBlock& compressed)
{
    juce::MemoryInputStream in(compressed, false);
    juce::GZIPDecompressorInputStream zlib(&in, false, juce::GZIPDecompressorInputStream::zlibFormat);
    MemoryBlock raw;
    zlib.readIntoMemoryBlock(raw);
    return raw;
}

MemoryBlock deflate(const MemoryBlock& raw)
{
    MemoryBlock compressed;
    {
        juce::MemoryOutputStream out(compressed, false);
        juce::GZIPCompressorOutputStream zlib(out, 9);
        zlib.write(raw.getData(), raw.getSize());
    }
    return compressed;
}

class CoursewareFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // A tone as Ogg Vorbis, and its waveform file as the course road writes it.
        const auto oggFile = scratch.getChildFile("made.ogg");
        {
            juce::AudioBuffer<float> tone(1, audioSamples);
            for (int i = 0; i < audioSamples; ++i)
                tone.setSample(0, i, 0.4f * std::sin(0.06f * (float)i));
            std::unique_ptr<juce::AudioFormatWriter> writer(juce::OggVorbisAudioFormat().createWriterFor(
                oggFile.createOutputStream().release(), rate, 1, 16, {}, 5));
            ASSERT_NE(writer, nullptr);
            ASSERT_TRUE(writer->writeFromAudioSampleBuffer(tone, 0, audioSamples));
        }
        std::unique_ptr<juce::AudioFormatReader> reader(
            juce::OggVorbisAudioFormat().createReaderFor(oggFile.createInputStream().release(), true));
        ASSERT_NE(reader, nullptr);
        ASSERT_EQ(reader->lengthInSamples, audioSamples);
        const auto smgFile = scratch.getChildFile("made.smg");
        WaveformFileWriter waveformWriter(*reader);
        ASSERT_TRUE(waveformWriter.write(
            smgFile, [] { return true; }, [](double) {}));
        audio = contentOf(oggFile);
        waveform = contentOf(smgFile);
        oggFile.deleteFile();
        smgFile.deleteFile();
    }

    std::vector<Entry> goodEntries(const String& text) const
    {
        return {{"lesson.xml", textBytes(text)}, {"lesson.smg", waveform}, {"lesson.ogg", audio}};
    }

    /** A ZIP file of these entries as anyone's builder writes them; links are added as the builder
        adds a file that is a link. */
    File archive(const std::vector<Entry>& entries, const juce::Array<File>& links = {}) const
    {
        juce::ZipFile::Builder builder;
        for (const auto& entry : entries)
            builder.addEntry(new juce::MemoryInputStream(entry.bytes, true), 9, entry.name,
                             juce::Time::getCurrentTime());
        for (const auto& link : links)
            builder.addFile(link, 9);
        const auto file = scratch.getChildFile("shared.qzc");
        file.deleteFile();
        juce::FileOutputStream out(file);
        EXPECT_TRUE(builder.writeToStream(out, nullptr));
        return file;
    }

    /** The waveform file with its stream changed by the function. */
    MemoryBlock waveformChanged(const std::function<void(MemoryBlock&)>& change) const
    {
        auto raw = inflate(waveform);
        change(raw);
        return deflate(raw);
    }

    juce::Result unpack(const File& courseware) const
    {
        return CoursewareFile::unpack(courseware, folder, stem, learnDate);
    }

    File scratch = makeScratchFolder("courseware");
    File folder = scratch.getChildFile("temp");
    const String stem = "2017-0402-1530-07";
    const juce::Time learnDate = juce::Time(2017, 3, 2, 15, 30, 7, 0, true);
    MemoryBlock audio, waveform;
};
} // namespace

TEST(CoursewareText, SentencesAreLaidBackToBackOnTheirRenderedSamplesAndTheReviewDataGoes)
{
    // Each sentence holds the samples the renderer writes for its audio: its samples, from its
    // start to its end within the audio, scaled to the render rate and cut to whole ones.
    const struct
    {
        const char* what;
        double courseRate, renderRate;
        int audioLength;
        std::vector<std::pair<int, int>> sentences, expected;
    } cases[] = {
        // One second at 48000 Hz is the first second at 44100 Hz.
        {"48000 Hz rendered at 44100 Hz",
         48000.0,
         44100.0,
         96000,
         {{0, 47999}, {48000, 95999}},
         {{0, 44099}, {44100, 88199}}},
        // A removed stretch between sentences is closed up.
        {"the same rate, with a gap",
         44100.0,
         44100.0,
         1000,
         {{100, 199}, {500, 899}},
         {{0, 99}, {100, 499}}},
        // A new course's last sentence ends one past the last sample, which its audio lacks.
        {"the last sentence ending with the audio",
         44100.0,
         44100.0,
         200,
         {{0, 99}, {100, 200}},
         {{0, 99}, {100, 199}}},
        // 6, 8 and 3 samples at a quarter are 1.5, 2 and 0.75: the renderer writes 1, 2 and 0;
        // a sentence keeps at least one.
        {"a quarter of the rate",
         44100.0,
         11025.0,
         100,
         {{0, 5}, {6, 13}, {14, 16}},
         {{0, 0}, {1, 2}, {3, 3}}},
        {"twice the rate", 44100.0, 88200.0, 100, {{0, 3}, {4, 9}}, {{0, 7}, {8, 19}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        juce::ValueTree tree(CourseModel::COURSE);
        for (const auto* key : {&CourseModel::AudioFile, &CourseModel::LearnDate,
                                &CourseModel::NextNeedReview, &CourseModel::NextReviewDate})
            tree.setProperty(*key, "kept by the learner", nullptr);
        tree.setProperty(CourseModel::CourseName, "lesson", nullptr);
        tree.setProperty(CourseModel::TotalSentences, (int)c.sentences.size(), nullptr);
        tree.setProperty(CourseModel::TotalNeedReview, 1, nullptr);
        tree.setProperty(CourseModel::Notes, "notes", nullptr);
        tree.setProperty(CourseModel::NowStatus, 1, nullptr);
        for (const auto& [start, end] : c.sentences)
        {
            juce::ValueTree s(CourseModel::SENTENCE);
            s.setProperty(CourseModel::StartSamples, start, nullptr);
            s.setProperty(CourseModel::EndSamples, end, nullptr);
            s.setProperty(CourseModel::EnglishText, "foreign", nullptr);
            s.setProperty(CourseModel::ChineseText, "native", nullptr);
            s.setProperty(CourseModel::NeedReview, true, nullptr);
            s.setProperty(CourseModel::NextIntervalDays, 5, nullptr);
            s.setProperty(CourseModel::NextReviewDate, "4 Apr 2017", nullptr);
            s.setProperty(CourseModel::TotalReviews, 3, nullptr);
            s.setProperty(CourseModel::CorrectTimes, 2, nullptr);
            tree.appendChild(s, nullptr);
        }
        const auto before = tree.toXmlString();

        const auto text = CoursewareFile::makeCourseText(tree, c.audioLength, c.courseRate, c.renderRate);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(tree.toXmlString(), before);

        ASSERT_EQ(text->getNumChildElements(), (int)c.expected.size());
        for (int i = 0; i < text->getNumChildElements(); ++i)
        {
            const auto* s = text->getChildElement(i);
            EXPECT_EQ(s->getIntAttribute(CourseModel::StartSamples), c.expected[(size_t)i].first) << i;
            EXPECT_EQ(s->getIntAttribute(CourseModel::EndSamples), c.expected[(size_t)i].second) << i;
            EXPECT_EQ(s->getStringAttribute(CourseModel::EnglishText), "foreign");
            EXPECT_EQ(s->getStringAttribute(CourseModel::ChineseText), "native");
            EXPECT_TRUE(s->getBoolAttribute(CourseModel::NeedReview));
            for (const auto* key : {&CourseModel::NextIntervalDays, &CourseModel::NextReviewDate,
                                    &CourseModel::TotalReviews, &CourseModel::CorrectTimes})
                EXPECT_FALSE(s->hasAttribute(key->toString())) << key->toString();
        }
        for (const auto* key : {&CourseModel::AudioFile, &CourseModel::LearnDate,
                                &CourseModel::NextNeedReview, &CourseModel::NextReviewDate})
            EXPECT_FALSE(text->hasAttribute(key->toString())) << key->toString();
        const auto lastEnd = c.expected.back().second;
        EXPECT_EQ(text->getIntAttribute(CourseModel::NowStatus, -1), 0);
        EXPECT_EQ(text->getIntAttribute(CourseModel::CourseLength), lastEnd);
        EXPECT_NEAR(text->getDoubleAttribute(CourseModel::CourseSeconds), lastEnd / c.renderRate, 1e-12);
        EXPECT_EQ(text->getStringAttribute(CourseModel::CourseName), "lesson");
        EXPECT_EQ(text->getIntAttribute(CourseModel::TotalSentences), (int)c.sentences.size());
        EXPECT_EQ(text->getIntAttribute(CourseModel::TotalNeedReview), 1);
        EXPECT_EQ(text->getStringAttribute(CourseModel::Notes), "notes");
    }
}

TEST(CoursewareText, EveryCourseNameGivesAFileNameAndEveryFileABareEntryStem)
{
    const String longName = String::repeatedString(String::fromUTF8("\xe8\xaf\xbe"), 120);
    const struct
    {
        String courseName;
        String fileName;
    } names[] = {
        {"Lesson 1", "Lesson 1.qzc"},     {"Listening/Unit 3", "Listening-Unit 3.qzc"},
        {"a\\b:c?", "a-b-c-.qzc"},        {"../../etc/passwd", "-..-etc-passwd.qzc"},
        {"  .hidden  ", "hidden.qzc"},    {"", "2017-0402-1530-07.qzc"},
        {"...", "2017-0402-1530-07.qzc"}, {"tab\there", "tab-here.qzc"},
    };
    for (const auto& n : names)
        EXPECT_EQ(CoursewareFile::fileNameFor(n.courseName, "2017-0402-1530-07"), n.fileName) << n.courseName;

    // However long the name, the file name and a scratch file's name beside it fit 255 bytes.
    const auto fitted = CoursewareFile::fileNameFor(longName, "x");
    EXPECT_TRUE(fitted.endsWith(".qzc"));
    EXPECT_LE(fitted.getNumBytesAsUTF8() + String(". .partial").length(), 255u);
    EXPECT_TRUE(SafeArchive::isBareName(fitted));

    const File folder("/tmp/courseware");
    EXPECT_EQ(CoursewareFile::entryStemFor(folder.getChildFile("Lesson 1.qzc")), "Lesson 1");
    EXPECT_EQ(CoursewareFile::entryStemFor(folder.getChildFile(".qzc")), "course");
    EXPECT_EQ(CoursewareFile::entryStemFor(folder.getChildFile(".hidden.qzc")), "course");
}

TEST_F(CoursewareFileTest, AGoodFileBecomesAWorkingSetOfTheNewStemOpenedForLearning)
{
    // A sender's text may claim a review state and wrong counts: the working set is a course
    // being learnt, counted from its sentences.
    const auto text = course(goodSentences, "CourseLength=\"88199\" NowStatus=\"1\" TotalSentences=\"9\" "
                                            "TotalNeedReview=\"7\" AudioFile=\"/etc/passwd\"");
    ASSERT_TRUE(unpack(archive(goodEntries(text))).wasOk());

    EXPECT_EQ(FolderContents::namesIn(folder),
              juce::StringArray(stem + ".smg", stem + ".xml", "courseware-" + stem + ".ogg"));
    EXPECT_EQ(contentOf(folder.getChildFile("courseware-" + stem + ".ogg")), audio);
    EXPECT_EQ(contentOf(folder.getChildFile(stem + ".smg")), waveform);
    const auto xml = juce::parseXML(folder.getChildFile(stem + ".xml"));
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(xml->getStringAttribute(CourseModel::AudioFile),
              folder.getChildFile("courseware-" + stem + ".ogg").getFullPathName());
    EXPECT_EQ(xml->getStringAttribute(CourseModel::LearnDate), learnDate.toString(true, true, true, true));
    EXPECT_EQ(xml->getIntAttribute(CourseModel::NowStatus, -1), 0);
    EXPECT_EQ(xml->getIntAttribute(CourseModel::TotalSentences), 2);
    EXPECT_EQ(xml->getIntAttribute(CourseModel::TotalNeedReview), 1);
    EXPECT_EQ(xml->getChildElement(0)->getStringAttribute(CourseModel::EnglishText), "one");
    EXPECT_FALSE(folder.getFileName().startsWith(".") || folder.getChildFile(".courseware").exists());
}

TEST_F(CoursewareFileTest, SentencesRunningUpToTwoSamplesEachPastTheAudioAreTakenAsQzWroteThem)
{
    // Earlier versions of qZ rounded each sentence on its own, up to two samples past its audio.
    const struct
    {
        const char* what;
        String sentences;
        bool taken;
    } cases[] = {
        {"two sentences ending four samples past the audio",
         sentence("0", "44101") + sentence("44102", "88203"), true},
        {"two sentences ending five samples past the audio",
         sentence("0", "44101") + sentence("44102", "88204"), false},
        {"one sentence ending two samples past the audio", sentence("0", "88201"), true},
        {"one sentence ending three samples past the audio", sentence("0", "88202"), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(folder.deleteRecursively());
        EXPECT_EQ(unpack(archive(goodEntries(course(c.sentences, {})))).wasOk(), c.taken);
    }
}

TEST_F(CoursewareFileTest, AHostileFileFailsWholeAndWritesNothingAnywhere)
{
    const auto good = goodEntries(course(goodSentences));
    const auto with = [&good](int index, const String& name, const MemoryBlock& bytes)
    {
        auto entries = good;
        entries[(size_t)index] = {name, bytes};
        return entries;
    };
    const auto withText = [&](const String& text) { return with(0, "lesson.xml", textBytes(text)); };
    const auto withWaveform = [&](const MemoryBlock& bytes) { return with(1, "lesson.smg", bytes); };

    auto extra = good;
    extra.push_back({"readme.txt", textBytes("hello")});
    auto secondText = good;
    secondText.push_back({"other.xml", textBytes(course(goodSentences))});
    auto missing = good;
    missing.erase(missing.begin() + 1);

    const auto linkTarget = scratch.getChildFile("secret.ogg");
    ASSERT_TRUE(linkTarget.replaceWithData(audio.getData(), audio.getSize()));
    const auto links = scratch.getChildFile("links");
    ASSERT_TRUE(links.createDirectory().wasOk());
    ASSERT_TRUE(linkTarget.createSymbolicLink(links.getChildFile("lesson.ogg"), true));
    auto linked = good;
    linked.pop_back();

    // 40 MB of blanks deflate to some 40 kB.
    const auto hugeText = course(goodSentences + String::repeatedString(" ", 40 * 1024 * 1024));

    MemoryBlock wav;
    {
        juce::AudioBuffer<float> silence(1, audioSamples);
        silence.clear();
        auto* out = new juce::MemoryOutputStream(wav, false);
        std::unique_ptr<juce::AudioFormatWriter> writer(
            juce::WavAudioFormat().createWriterFor(out, rate, 1, 16, {}, 0));
        ASSERT_TRUE(writer->writeFromAudioSampleBuffer(silence, 0, audioSamples));
    }
    // Sets one of the stream's header fields, which are little-endian.
    const auto setInt = [](int offset, juce::int32 value)
    {
        return [=](MemoryBlock& raw)
        {
            const auto stored = juce::ByteOrder::swapIfBigEndian(value);
            raw.copyFrom(&stored, offset, sizeof(stored));
        };
    };
    const auto archived = contentOf(archive(good));

    struct Case
    {
        const char* what;
        std::vector<Entry> entries;
        juce::Array<File> links;
        MemoryBlock bytes; // instead of the entries, when not empty
    };
    const std::vector<Case> cases{
        {"not a ZIP file", {}, {}, textBytes("ID3 this is a recording, not a courseware file")},
        {"cut short", {}, {}, MemoryBlock(archived.getData(), archived.getSize() - 200)},
        {"a missing entry", missing, {}, {}},
        {"an extra entry", extra, {}, {}},
        {"a second course text", secondText, {}, {}},
        {"an entry in the parent folder", with(0, "../lesson.xml", good[0].bytes), {}, {}},
        {"an absolute entry", with(0, "/tmp/lesson.xml", good[0].bytes), {}, {}},
        {"an entry in a folder", with(0, "dir/lesson.xml", good[0].bytes), {}, {}},
        {"a symbolic link", linked, {links.getChildFile("lesson.ogg")}, {}},
        {"a huge course text", withText(hugeText), {}, {}},
        {"a course text that is no XML", withText("COURSE StartSamples=0"), {}, {}},
        {"a course text of another kind", withText("<LIBRARY/>"), {}, {}},
        {"no sentence", withText(course({})), {}, {}},
        {"a sentence past the audio",
         withText(course(sentence("0", "99") + sentence("100000", "100100"))),
         {},
         {}},
        {"a sentence ending far past the audio", withText(course(sentence("0", "2000000"))), {}, {}},
        {"unsorted sentences", withText(course(sentence("500", "999") + sentence("0", "499"))), {}, {}},
        {"overlapping sentences", withText(course(sentence("0", "600") + sentence("500", "999"))), {}, {}},
        {"an end before its start", withText(course(sentence("900", "100"))), {}, {}},
        {"a negative start", withText(course(sentence("-5", "100"))), {}, {}},
        {"a start that is no number", withText(course(sentence("zero", "100"))), {}, {}},
        {"a start beyond an int", withText(course(sentence("0", "99999999999"))), {}, {}},
        {"a course length past the audio",
         withText(course(goodSentences, "CourseLength=\"9000000\"")),
         {},
         {}},
        {"audio that is no Ogg Vorbis", with(2, "lesson.ogg", wav), {}, {}},
        {"a waveform file that is no zlib stream", withWaveform(textBytes("jatm")), {}, {}},
        {"a waveform file of more points than the audio",
         withWaveform(waveformChanged(setInt(24, 0x7fffffff))),
         {},
         {}},
        {"a waveform file of two channels", withWaveform(waveformChanged(setInt(28, 2))), {}, {}},
        {"a waveform file cut short",
         withWaveform(waveformChanged([](MemoryBlock& raw) { raw.setSize(raw.getSize() - 10); })),
         {},
         {}},
    };

    // The folder holds a file of its own, which must be all it holds afterwards.
    ASSERT_TRUE(folder.createDirectory().wasOk());
    ASSERT_TRUE(folder.getChildFile("keep.txt").replaceWithText("keep"));
    const auto scratchBefore = FolderContents::namesIn(scratch);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        File file;
        if (c.bytes.isEmpty())
            file = archive(c.entries, c.links);
        else
        {
            file = scratch.getChildFile("shared.qzc");
            ASSERT_TRUE(file.replaceWithData(c.bytes.getData(), c.bytes.getSize()));
        }
        const auto result = unpack(file);
        EXPECT_TRUE(result.failed());
        EXPECT_EQ(FolderContents::namesIn(folder), juce::StringArray("keep.txt"));
        EXPECT_EQ(FolderContents::namesIn(scratch), scratchBefore);
        EXPECT_FALSE(File("/tmp/lesson.xml").exists());
    }

    // A folder that was not there is not left behind either.
    ASSERT_TRUE(folder.deleteRecursively());
    EXPECT_TRUE(unpack(archive(missing)).failed());
    EXPECT_TRUE(unpack(archive(withText(course(sentence("500", "999") + sentence("0", "499"))))).failed());
    EXPECT_FALSE(folder.exists());
}
