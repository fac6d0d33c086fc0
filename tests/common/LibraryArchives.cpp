#include "common/LibraryArchives.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstring>

bool LibraryArchives::writeTone(const juce::File& file, double seconds)
{
    constexpr double rate = 44100.0;
    file.deleteFile();
    file.getParentDirectory().createDirectory();
    auto stream = std::make_unique<juce::FileOutputStream>(file);
    if (stream->failedToOpen())
        return false;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        juce::OggVorbisAudioFormat().createWriterFor(stream.get(), rate, 1, 16, {}, 3));
    if (writer == nullptr)
        return false;
    stream.release();
    juce::AudioBuffer<float> tone(1, (int)(seconds * rate));
    for (int i = 0; i < tone.getNumSamples(); ++i)
        tone.setSample(0, i, 0.5f * (float)std::sin(juce::MathConstants<double>::twoPi * 440.0 * i / rate));
    return writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples());
}

bool LibraryArchives::damageEntry(const juce::File& archive, const juce::String& entryName)
{
    juce::MemoryBlock bytes;
    if (!archive.loadFileAsData(bytes))
        return false;
    auto* data = static_cast<juce::uint8*>(bytes.getData());
    const auto size = (juce::int64)bytes.getSize();
    const auto name = entryName.toStdString();
    const auto nameLength = (juce::int64)name.size();
    // Each entry's data follows its local header: the signature, the sizes at 18, the lengths of
    // its name and its extra field at 26 and 28, and the name itself at 30.
    for (juce::int64 at = 0; at + 30 + nameLength <= size; ++at)
    {
        if (juce::ByteOrder::littleEndianInt(data + at) != 0x04034b50 ||
            juce::ByteOrder::littleEndianShort(data + at + 26) != nameLength ||
            std::memcmp(data + at + 30, name.data(), name.size()) != 0)
            continue;
        const auto stored = (juce::int64)juce::ByteOrder::littleEndianInt(data + at + 18);
        const auto start = at + 30 + nameLength + juce::ByteOrder::littleEndianShort(data + at + 28);
        if (stored < 64 || start + stored > size)
            return false;
        for (juce::int64 i = start + stored / 2; i < start + stored / 2 + 16; ++i)
            data[i] ^= 0x5a;
        return archive.replaceWithData(bytes.getData(), bytes.getSize());
    }
    return false;
}

juce::File LibraryArchives::archiveOf(const juce::String& stem)
{
    return DocumentManager::CourseDir().getChildFile(stem + ".mqz");
}

juce::File LibraryArchives::mobileOf(const juce::String& stem)
{
    return DocumentManager::MobileDir().getChildFile("M-" + stem + ".ogg");
}

juce::XmlElement LibraryArchives::courseText(const Course& course)
{
    juce::XmlElement text(CourseModel::COURSE.toString());
    text.setAttribute(CourseModel::AudioFile, course.stem + ".ogg");
    text.setAttribute(CourseModel::LearnDate, course.learnDate);
    text.setAttribute(CourseModel::CourseName, course.name);
    text.setAttribute(CourseModel::CourseSeconds, course.courseSeconds);
    text.setAttribute(CourseModel::TotalSentences, course.sentences);
    text.setAttribute(CourseModel::TotalNeedReview, course.unfamiliar);
    text.setAttribute(CourseModel::NowStatus, course.nowStatus);
    text.setAttribute(CourseModel::Notes, course.notes);
    text.setAttribute(CourseModel::NextReviewDate, course.nextReviewDate);
    for (int s = 0; course.withSentences && s < course.sentences; ++s)
    {
        auto* sentence = text.createNewChildElement(CourseModel::SENTENCE.toString());
        sentence->setAttribute(CourseModel::StartSamples, s * 44100);
        sentence->setAttribute(CourseModel::EndSamples, s * 44100 + 44099);
        sentence->setAttribute(CourseModel::EnglishText,
                               "A sentence of the foreign language, number " + juce::String(s));
        sentence->setAttribute(CourseModel::NeedReview, s < course.unfamiliar ? 1 : 0);
    }
    return text;
}

bool LibraryArchives::copyTone(double seconds, const juce::File& file)
{
    const auto encoded = juce::File::getSpecialLocation(juce::File::userHomeDirectory)
                             .getChildFile("library-tones")
                             .getChildFile(juce::String(seconds, 3) + ".ogg");
    if (!encoded.existsAsFile() && !writeTone(encoded, seconds))
        return false;
    return file.getParentDirectory().createDirectory() && encoded.copyFileTo(file);
}

bool LibraryArchives::add(const Course& course)
{
    const auto folder = juce::File::getSpecialLocation(juce::File::userHomeDirectory)
                            .getChildFile("packing")
                            .getChildFile(course.stem);
    if (!folder.createDirectory())
        return false;

    juce::Array<juce::File> files{folder.getChildFile(course.stem + ".xml")};
    if (!courseText(course).writeTo(files[0]))
        return false;
    if (course.waveformBytes > 0)
    {
        juce::MemoryBlock noise((size_t)course.waveformBytes);
        juce::Random(7).fillBitsRandomly(noise.getData(), noise.getSize());
        files.add(folder.getChildFile(course.stem + ".smg"));
        if (!files.getLast().replaceWithData(noise.getData(), noise.getSize()))
            return false;
    }

    const std::pair<double, juce::String> audio[] = {{course.audioSeconds, ".ogg"},
                                                     {course.retellSeconds, "-retell.ogg"}};
    for (const auto& [seconds, ending] : audio)
    {
        const auto file = folder.getChildFile(course.stem + ending);
        if (seconds > 0.0 && !copyTone(seconds, file))
            return false;
        if (seconds < 0.0 && !file.replaceWithText("no audio in here"))
            return false;
        if (seconds != 0.0)
            files.add(file);
    }

    if (course.mobileSeconds > 0.0 && !copyTone(course.mobileSeconds, mobileOf(course.stem)))
        return false;
    const bool packed = SafeArchive::write(archiveOf(course.stem), files, 9).wasOk();
    folder.deleteRecursively();
    return packed;
}

bool LibraryArchives::add(const std::vector<Course>& courses)
{
    for (const auto& course : courses)
        if (!add(course))
            return false;
    return true;
}

juce::File LibraryArchives::trashed(const juce::String& fileName)
{
    const auto dataHome = juce::SystemStats::getEnvironmentVariable("XDG_DATA_HOME", {});
    return juce::File(dataHome).getChildFile("Trash/files").getChildFile(fileName);
}

juce::File LibraryArchives::trashInfo(const juce::String& fileName)
{
    const auto dataHome = juce::SystemStats::getEnvironmentVariable("XDG_DATA_HOME", {});
    return juce::File(dataHome).getChildFile("Trash/info").getChildFile(fileName + ".trashinfo");
}
