// Opening the course library window over a library of 500 archives, each with its course text,
// waveform file and course audio, and a mobile file beside the library: the window reads every
// archive's course text and every mobile file's length before it shows. The references, from the
// same run over the same files: listing the library and stat-ing each archive and mobile file
// (the floor of any listing), and the bare read the rows need (open each archive, parse its
// course text, open its mobile file's reader) without the window.
#include "common/LibraryArchives.h"
#include "dialogs/CourseManagerPanel.h"
#include "engine/DocumentManager.h"
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

/** 500 courses of 40 sentences over a few days, packed by qZ's own archive writer. */
bool makeLibrary()
{
    const auto first = juce::Time(2017, 0, 1, 8, 0, 0, 0, true);
    for (int i = 0; i < archiveCount; ++i)
    {
        const auto learnt = first + juce::RelativeTime::hours(7 * i);
        const auto nextReview = juce::Time::getCurrentTime() + juce::RelativeTime::days(i % 14 - 2);
        LibraryArchives::Course course{learnt.formatted("%Y-%m%d-%H%M-%S"),
                                       "Course " + juce::String(i),
                                       learnt.toString(true, true),
                                       nextReview.toString(true, false),
                                       40,
                                       1 + i % 12,
                                       120.0 + i,
                                       i % 9 == 0 ? -1 : 1};
        course.notes = "Notes of course " + juce::String(i);
        course.audioSeconds = 3.0;
        course.mobileSeconds = 5.0;
        course.waveformBytes = 20000;
        course.withSentences = true;
        if (!LibraryArchives::add(course))
            return false;
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
    if (!makeLibrary())
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
