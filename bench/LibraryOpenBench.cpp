// Opening the course library window over a library of 500 archives, each with its course text,
// waveform file and course audio, and a mobile file beside the library: the window reads every
// archive's course text and every mobile file's length before it shows. The references, from the
// same run over the same files: listing the library and stat-ing each archive and mobile file
// (the floor of any listing), and the bare read the rows need (open each archive, parse its
// course text, open its mobile file's reader) without the window.
#include "dialogs/CourseManagerPanel.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"
#include "support/BenchEnvironment.h"
#include "workspace/Main.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace
{
constexpr int archiveCount = 500;
constexpr int runs = 5;

bool writeTone(const juce::File& file, double seconds)
{
    constexpr double rate = 44100.0;
    file.deleteFile();
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
        tone.setSample(0, i, 0.3f * (float)std::sin(0.0627 * i));
    return writer->writeFromAudioSampleBuffer(tone, 0, tone.getNumSamples());
}

/** 500 courses of 40 sentences over a few days, packed by qZ's own archive writer. */
bool makeLibrary(const juce::File& scratch)
{
    const auto audio = scratch.getChildFile("audio.ogg");
    const auto mobile = scratch.getChildFile("mobile.ogg");
    if (!scratch.createDirectory() || !DocumentManager::MobileDir().createDirectory() ||
        !writeTone(audio, 3.0) || !writeTone(mobile, 5.0))
        return false;
    juce::MemoryBlock overview(20000);
    juce::Random(7).fillBitsRandomly(overview.getData(), overview.getSize());

    const auto first = juce::Time(2017, 0, 1, 8, 0, 0, 0, true);
    for (int i = 0; i < archiveCount; ++i)
    {
        const auto learnt = first + juce::RelativeTime::hours(7 * i);
        const auto stem = learnt.formatted("%Y-%m%d-%H%M-%S");
        juce::XmlElement course(CourseModel::COURSE.toString());
        course.setAttribute(CourseModel::AudioFile, stem + ".ogg");
        course.setAttribute(CourseModel::LearnDate, learnt.toString(true, true));
        course.setAttribute(CourseModel::CourseName, "Course " + juce::String(i));
        course.setAttribute(CourseModel::CourseSeconds, 120.0 + i);
        course.setAttribute(CourseModel::TotalSentences, 40);
        course.setAttribute(CourseModel::TotalNeedReview, 1 + i % 12);
        course.setAttribute(CourseModel::NowStatus, i % 9 == 0 ? -1 : 1);
        course.setAttribute(CourseModel::Notes, "Notes of course " + juce::String(i));
        course.setAttribute(
            CourseModel::NextReviewDate,
            (juce::Time::getCurrentTime() + juce::RelativeTime::days(i % 14 - 2)).toString(true, false));
        for (int s = 0; s < 40; ++s)
        {
            auto* sentence = course.createNewChildElement(CourseModel::SENTENCE.toString());
            sentence->setAttribute(CourseModel::StartSamples, s * 44100);
            sentence->setAttribute(CourseModel::EndSamples, s * 44100 + 44099);
            sentence->setAttribute(CourseModel::EnglishText,
                                   "A sentence of the foreign language, number " + juce::String(s));
            sentence->setAttribute(CourseModel::NeedReview, s % 3 == 0 ? 1 : 0);
        }

        const auto folder = scratch.getChildFile(stem);
        if (!folder.createDirectory())
            return false;
        const juce::Array<juce::File> files{folder.getChildFile(stem + ".xml"),
                                            folder.getChildFile(stem + ".smg"),
                                            folder.getChildFile(stem + ".ogg")};
        if (!course.writeTo(files[0]) || !files[1].replaceWithData(overview.getData(), overview.getSize()) ||
            !audio.copyFileTo(files[2]))
            return false;
        if (SafeArchive::write(DocumentManager::CourseDir().getChildFile(stem + ".mqz"), files, 9).failed())
            return false;
        if (!mobile.copyFileTo(DocumentManager::MobileDir().getChildFile("M-" + stem + ".ogg")))
            return false;
        folder.deleteRecursively();
    }
    return true;
}

/** The fastest of a few runs, in seconds; the work reports how many rows it saw. */
double fastest(const std::function<int()>& work, int& rows)
{
    double best = 1.0e30;
    for (int run = 0; run < runs; ++run)
    {
        const auto start = std::chrono::steady_clock::now();
        rows = work();
        best =
            juce::jmin(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

int openWindow()
{
    // Made and drawn once, as the dialog shows it.
    CourseManagerPanel panel;
    const auto image = panel.createComponentSnapshot(panel.getLocalBounds());
    return image.isValid() ? panel.getNumRows() : -1;
}

int listAndStat()
{
    int rows = 0;
    juce::int64 bytes = 0;
    for (const auto& archive : DocumentManager::CourseDir().findChildFiles(juce::File::findFiles, false, "*"))
    {
        if (archive.getFileExtension() != ".mqz")
            continue;
        bytes += archive.getSize() + archive.getLastModificationTime().toMilliseconds() % 2;
        bytes += CourseManagerPanel::mobileFileOf(archive).getSize();
        ++rows;
    }
    return bytes > 0 ? rows : -1;
}

int bareRead()
{
    int rows = 0;
    for (const auto& archive : DocumentManager::CourseDir().findChildFiles(juce::File::findFiles, false, "*"))
    {
        if (archive.getFileExtension() != ".mqz")
            continue;
        juce::ZipFile zip(archive);
        const int index = zip.getIndexOfFileName(archive.getFileNameWithoutExtension() + ".xml");
        std::unique_ptr<juce::InputStream> entry(index >= 0 ? zip.createStreamForEntry(index) : nullptr);
        if (entry == nullptr || juce::parseXML(entry->readEntireStreamAsString()) == nullptr)
            continue;
        std::unique_ptr<juce::AudioFormatReader> reader(
            formatManager->createReaderFor(CourseManagerPanel::mobileFileOf(archive)));
        if (reader != nullptr && reader->lengthInSamples > 0)
            ++rows;
    }
    return rows;
}
} // namespace

int main()
{
    BenchEnvironment environment;
    if (!makeLibrary(environment.getHome().getChildFile("scratch")))
    {
        std::printf("the library could not be made\n");
        return 1;
    }

    int windowRows = 0, statRows = 0, readRows = 0;
    const double window = fastest(openWindow, windowRows);
    const double stat = fastest(listAndStat, statRows);
    const double read = fastest(bareRead, readRows);
    if (windowRows != archiveCount || statRows != archiveCount || readRows != archiveCount)
    {
        std::printf("rows seen: window %d, listing %d, bare read %d (expected %d)\n", windowRows, statRows,
                    readRows, archiveCount);
        return 1;
    }

    std::printf("\nOpening the course library window over %d archives (goal: under 1 s), fastest of %d\n",
                archiveCount, runs);
    std::printf("  window open            %9.1f ms   %7.1f us per archive\n", window * 1000.0,
                window * 1.0e6 / archiveCount);
    std::printf("  listing and stat-ing   %9.1f ms   %7.1f us per archive   ratio window / listing: %.1f\n",
                stat * 1000.0, stat * 1.0e6 / archiveCount, window / stat);
    std::printf("  bare read of the rows  %9.1f ms   %7.1f us per archive   ratio window / bare read: %.2f\n",
                read * 1000.0, read * 1.0e6 / archiveCount, window / read);
    return 0;
}
