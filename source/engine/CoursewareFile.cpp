#include "engine/CoursewareFile.h"

#include "engine/CheckedFileOutputStream.h"
#include "engine/CourseModel.h"
#include "engine/SafeXml.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <limits>

namespace
{
const size_t outputBufferSize = 16384;
const char* const audioPrefix = "courseware-";
// Where an unpack checks the entries before they join the working set: hidden, and a folder, so
// that nothing that looks for the working set's files meets them.
const char* const stagingName = ".courseware";
// Room within the 255 bytes of a file name for the extension and a scratch file's additions.
const int longestStemBytes = 200;
// The characters that some file system refuses in a name, as the framework lists them.
const char* const unsafeCharacters = "\"#@,;:<>*^|?\\/";
// The waveform stream's opening: "jatm", the points' resolution, the sample count, the samples
// done, the point count, the channel count, the sample rate and 16 reserved bytes.
const int waveformHeaderBytes = 52;
const int copyBlockSize = 65536;

juce::File dataFolder()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory).getChildFile("qz");
}

juce::Result failure(const juce::String& why)
{
    return juce::Result::fail(why);
}

juce::String extensionOf(const juce::String& name)
{
    return name.fromLastOccurrenceOf(".", true, false);
}

/** The entries of a courseware file by kind. */
struct Entries
{
    juce::String courseText, waveform, audio;
};

juce::File existingAncestor(juce::File folder)
{
    while (!folder.exists() && folder.getParentDirectory() != folder)
        folder = folder.getParentDirectory();
    return folder;
}

/** Exactly one course text, one waveform file and one audio file, each under a bare name and of
    a size that fits the limits and the disk. */
juce::Result checkDirectory(const juce::File& courseware, const juce::File& folder, Entries& entries)
{
    const auto zip = SafeArchive::open(courseware);
    if (zip == nullptr)
        return failure("not a ZIP archive, or cut short");
    if (zip->getNumEntries() != 3)
        return failure("holds " + juce::String(zip->getNumEntries()) + " entries instead of three");

    juce::int64 bytes = 0;
    for (int i = 0; i < zip->getNumEntries(); ++i)
    {
        const auto& entry = *zip->getEntry(i);
        const auto extension = extensionOf(entry.filename);
        juce::String* slot = nullptr;
        auto largest = (juce::int64)std::numeric_limits<juce::uint32>::max();
        if (extension == ".xml")
        {
            slot = &entries.courseText;
            largest = CoursewareFile::largestCourseText;
        }
        else if (extension == ".smg")
        {
            slot = &entries.waveform;
            largest = CoursewareFile::largestWaveformFile;
        }
        else if (extension == ".ogg")
            slot = &entries.audio;

        if (!SafeArchive::isBareName(entry.filename))
            return failure("holds an entry with a path, or a hidden one: " + entry.filename);
        if (slot == nullptr || slot->isNotEmpty())
            return failure("holds an entry of another kind, or a second of one kind: " + entry.filename);
        if (entry.uncompressedSize > largest)
            return failure("the entry " + entry.filename + " is too large");
        *slot = entry.filename;
        bytes += entry.uncompressedSize;
    }
    if (bytes > existingAncestor(folder).getBytesFreeOnVolume())
        return failure("there is no room for it on the disk");
    return juce::Result::ok();
}

/** A sample position as a course text holds it: decimal digits only, within an int. */
bool readSample(const juce::XmlElement& element, const juce::Identifier& key, juce::int64& sample)
{
    const auto text = element.getStringAttribute(key);
    if (text.isEmpty() || text.length() > 10 || !text.containsOnly("0123456789"))
        return false;
    sample = text.getLargeIntValue();
    return sample <= std::numeric_limits<int>::max();
}

/** At least one sentence; each within the audio, after the one before. Earlier versions of qZ
    rounded each sentence's length on its own, up to two samples past what its rendered audio
    took, and a sentence too short to leave a sample still gets one; so the sentences may run up
    to two samples per sentence past the audio. The player reads silence there, and the course
    model keeps them within the audio. */
juce::Result checkSentences(const juce::XmlElement& course, juce::int64 lengthInSamples)
{
    const juce::int64 slack = 2 * (juce::int64)course.getNumChildElements();
    juce::int64 previousEnd = -1;
    for (auto* sentence : course.getChildIterator())
    {
        juce::int64 start = 0, end = 0;
        if (!sentence->hasTagName(CourseModel::SENTENCE.toString()) ||
            !readSample(*sentence, CourseModel::StartSamples, start) ||
            !readSample(*sentence, CourseModel::EndSamples, end))
            return failure("the course text holds something other than sentences with their samples");
        if (start <= previousEnd || end < start)
            return failure("the course text's sentences are out of order or overlap");
        if (end >= lengthInSamples + slack)
            return failure("a sentence lies outside the audio");
        previousEnd = end;
    }
    if (previousEnd < 0)
        return failure("the course text holds no sentence");

    juce::int64 courseLength = 0;
    if (course.hasAttribute(CourseModel::CourseLength.toString()) &&
        (!readSample(course, CourseModel::CourseLength, courseLength) ||
         courseLength >= lengthInSamples + slack))
        return failure("the course length lies outside the audio");
    return juce::Result::ok();
}

/** The framework's waveform stream, zlib-compressed, of the audio's channels and length: the
    header's counts must agree with the audio and with the bytes that follow, so that loading it
    never allocates more than the audio calls for. */
juce::Result checkWaveformFile(const juce::File& file, int numChannels, juce::int64 lengthInSamples)
{
    const auto damaged = failure("the waveform file does not belong to the audio");
    auto input = file.createInputStream();
    if (input == nullptr)
        return damaged;
    juce::GZIPDecompressorInputStream zlib(input.get(), false, juce::GZIPDecompressorInputStream::zlibFormat);

    char header[waveformHeaderBytes];
    if (zlib.read(header, waveformHeaderBytes) != waveformHeaderBytes || memcmp(header, "jatm", 4) != 0)
        return damaged;
    const auto perPoint = (juce::int32)juce::ByteOrder::littleEndianInt(header + 4);
    const auto total = (juce::int64)juce::ByteOrder::littleEndianInt64(header + 8);
    const auto done = (juce::int64)juce::ByteOrder::littleEndianInt64(header + 16);
    const auto points = (juce::int32)juce::ByteOrder::littleEndianInt(header + 24);
    const auto channels = (juce::int32)juce::ByteOrder::littleEndianInt(header + 28);
    const auto rate = (juce::int32)juce::ByteOrder::littleEndianInt(header + 32);
    if (perPoint <= 0 || channels != numChannels || rate <= 0 || total < 0 || total > lengthInSamples ||
        done < 0 || done > total || points < 0 || points > lengthInSamples / perPoint + 2)
        return damaged;

    // Two bytes (smallest, largest) per point and channel, and nothing after them.
    const auto expected = (juce::int64)points * channels * 2;
    juce::HeapBlock<char> block(copyBlockSize);
    juce::int64 read = 0;
    while (read <= expected)
    {
        const int count = zlib.read(block, copyBlockSize);
        if (count <= 0)
            break;
        read += count;
    }
    return read == expected ? juce::Result::ok() : damaged;
}

/** The unpacked entries in the staging folder, checked and given their working-set names in the
    folder, the course text last. */
juce::Result settle(const juce::File& staging, const juce::File& folder, const juce::String& stem,
                    const juce::Time& learnDate, const Entries& entries)
{
    const auto audio = staging.getChildFile(entries.audio);
    const auto waveform = staging.getChildFile(entries.waveform);
    const auto courseText = staging.getChildFile(entries.courseText);

    juce::int64 length = 0;
    int channels = 0;
    {
        juce::OggVorbisAudioFormat ogg;
        auto stream = audio.createInputStream();
        std::unique_ptr<juce::AudioFormatReader> reader(
            stream != nullptr ? ogg.createReaderFor(stream.release(), true) : nullptr);
        if (reader == nullptr || reader->lengthInSamples <= 0 ||
            reader->lengthInSamples > std::numeric_limits<int>::max() || reader->numChannels < 1 ||
            reader->numChannels > 2 || !(reader->sampleRate > 0.0))
            return failure("the audio is no Ogg Vorbis recording");
        length = reader->lengthInSamples;
        channels = (int)reader->numChannels;
    }
    if (const auto checked = checkWaveformFile(waveform, channels, length); checked.failed())
        return checked;

    const auto course = SafeXml::parse(courseText);
    if (course == nullptr || !course->hasTagName(CourseModel::COURSE.toString()))
        return failure("the course text is no course");
    if (const auto checked = checkSentences(*course, length); checked.failed())
        return checked;

    // A courseware file always opens as a course being learnt, from now on, on its own audio;
    // the counts shown are those of the sentences it holds.
    const auto placedAudio = folder.getChildFile(audioPrefix + stem + ".ogg");
    int unfamiliar = 0;
    for (auto* sentence : course->getChildIterator())
        unfamiliar += sentence->getBoolAttribute(CourseModel::NeedReview) ? 1 : 0;
    course->setAttribute(CourseModel::AudioFile, placedAudio.getFullPathName());
    course->setAttribute(CourseModel::LearnDate, learnDate.toString(true, true, true, true));
    course->setAttribute(CourseModel::NowStatus, 0);
    course->setAttribute(CourseModel::TotalSentences, course->getNumChildElements());
    course->setAttribute(CourseModel::TotalNeedReview, unfamiliar);
    if (!CoursewareFile::writeCourseText(*course, courseText))
        return failure("can't write the course text");

    const juce::File moves[][2] = {{waveform, folder.getChildFile(stem + ".smg")},
                                   {audio, placedAudio},
                                   {courseText, folder.getChildFile(stem + ".xml")}};
    for (size_t i = 0; i < std::size(moves); ++i)
    {
        if (moves[i][0].replaceFileIn(moves[i][1]))
            continue;
        for (size_t j = 0; j < i; ++j)
            moves[j][1].deleteFile();
        return failure("can't write " + moves[i][1].getFullPathName());
    }
    return juce::Result::ok();
}
} // namespace

//==============================================================================
juce::File CoursewareFile::saveFolder()
{
    return dataFolder().getChildFile("courseware");
}

juce::File CoursewareFile::scratchFolder()
{
    return dataFolder().getChildFile("generateCourseware");
}

juce::String CoursewareFile::fileNameFor(const juce::String& courseName, const juce::String& fallback)
{
    juce::String name;
    for (auto c : courseName)
        name << ((c < 0x20 || c == 0x7f || juce::CharPointer_ASCII(unsafeCharacters).indexOf(c) >= 0)
                     ? juce::juce_wchar('-')
                     : c);
    name = name.trim();
    while (name.startsWithChar('.'))
        name = name.substring(1).trimStart();
    while (name.getNumBytesAsUTF8() > (size_t)longestStemBytes)
        name = name.dropLastCharacters(1);
    name = name.trimEnd();
    return (name.isEmpty() ? fallback : name) + ".qzc";
}

juce::String CoursewareFile::entryStemFor(const juce::File& target)
{
    const auto stem = target.getFileNameWithoutExtension();
    if (SafeArchive::isBareName(stem + ".smg") && stem.getNumBytesAsUTF8() <= (size_t)longestStemBytes)
        return stem;
    return "course";
}

std::unique_ptr<juce::XmlElement> CoursewareFile::makeCourseText(const juce::ValueTree& course,
                                                                 juce::int64 courseAudioLength,
                                                                 double courseSampleRate,
                                                                 double renderSampleRate)
{
    auto copy = course.createCopy();
    const double courseRate = courseSampleRate > 0.0 ? courseSampleRate : renderSampleRate;

    // Back to back on the rendered audio, which holds every sentence once and nothing between:
    // each sentence on exactly the samples the renderer writes for it.
    juce::int64 previousEnd = -1;
    for (auto sentence : copy)
    {
        const auto start = previousEnd + 1;
        previousEnd = start - 1 +
                      CourseModel::renderedSentenceLength(sentence[CourseModel::StartSamples],
                                                          sentence[CourseModel::EndSamples],
                                                          courseAudioLength, courseRate, renderSampleRate);
        sentence.setProperty(CourseModel::StartSamples, start, nullptr);
        sentence.setProperty(CourseModel::EndSamples, previousEnd, nullptr);
        for (const auto* key : {&CourseModel::NextIntervalDays, &CourseModel::NextReviewDate,
                                &CourseModel::TotalReviews, &CourseModel::CorrectTimes})
            sentence.removeProperty(*key, nullptr);
    }

    for (const auto* key : {&CourseModel::AudioFile, &CourseModel::LearnDate, &CourseModel::NextNeedReview,
                            &CourseModel::NextReviewDate})
        copy.removeProperty(*key, nullptr);
    const auto courseLength = juce::jmax((juce::int64)0, previousEnd);
    copy.setProperty(CourseModel::NowStatus, 0, nullptr);
    copy.setProperty(CourseModel::CourseLength, courseLength, nullptr);
    copy.setProperty(CourseModel::CourseSeconds, (double)courseLength / renderSampleRate, nullptr);
    return copy.createXml();
}

bool CoursewareFile::writeCourseText(const juce::XmlElement& courseText, const juce::File& file)
{
    juce::XmlElement::TextFormat format;
    format.dtd = {};
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;
    if (!file.deleteFile())
        return false;

    std::shared_ptr<const CheckedFileOutputStream::Outcome> outcome;
    {
        CheckedFileOutputStream out(file, outputBufferSize);
        outcome = out.getOutcome();
        if (!out.openedOk())
            return false;
        courseText.writeTo(out, format);
    }
    return outcome->wroteWholeFile();
}

juce::Result CoursewareFile::unpack(const juce::File& courseware, const juce::File& folder,
                                    const juce::String& stem, const juce::Time& learnDate,
                                    const SafeArchive::Monitor& monitor)
{
    Entries entries;
    if (const auto checked = checkDirectory(courseware, folder, entries); checked.failed())
        return checked;

    const bool folderWasThere = folder.isDirectory();
    const auto staging = folder.getChildFile(stagingName);
    if (!staging.deleteRecursively())
        return failure("can't clear " + staging.getFullPathName());

    auto result = SafeArchive::unpack(courseware, staging, nullptr, monitor);
    if (result.wasOk())
        result = settle(staging, folder, stem, learnDate, entries);
    staging.deleteRecursively();
    if (result.failed() && !folderWasThere)
        folder.deleteRecursively();
    return result;
}
