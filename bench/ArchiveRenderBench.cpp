// Archiving an hour-long course: rendering its course audio (every sentence once, mono, Ogg
// Vorbis quality 6) against Debian's oggenc encoding the same PCM at the same quality, and packing
// and unpacking its archive against gzip -9 and unzip over the same bytes, all in the same run.
// The render's goal is a ratio of at most 1.3: splitting the course into sentences, resampling and
// mapping channels should cost little beside the encoder itself.
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "support/BenchEnvironment.h"
#include "support/LongCourse.h"
#include "workspace/CourseController.h"

#include <chrono>
#include <cstdio>
#include <functional>

namespace
{
const double sampleRate = 44100.0;
const double courseSeconds = 60.0 * 60.0;
// Sentences of about six seconds, as a lyrics file cuts a spoken lesson.
const int sentenceCount = 600;

double timed(const std::function<bool()>& job, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    ok = job() && ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool runTool(const juce::StringArray& command)
{
    juce::ChildProcess tool;
    if (!tool.start(command, juce::ChildProcess::wantStdErr))
        return false;
    tool.readAllProcessOutput();
    return tool.waitForProcessToFinish(-1) && tool.getExitCode() == 0;
}

void printPair(const char* title, const char* ours, double oursSeconds, const char* peer, double peerSeconds)
{
    std::printf("\n%s\n", title);
    std::printf("  %-34s %8.2f s\n", ours, oursSeconds);
    std::printf("  %-34s %8.2f s\n", peer, peerSeconds);
    std::printf("  ratio: %.2f\n", peerSeconds > 0.0 ? oursSeconds / peerSeconds : 0.0);
}
} // namespace

int main()
{
    BenchEnvironment environment;
    const auto home = environment.getHome();
    const auto texts = LongCourse::makeCourseTexts(home, courseSeconds, sampleRate, {sentenceCount});
    if (texts.empty())
        return 1;
    const auto recording = home.getChildFile("lesson.wav");
    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();

    CourseController controller;
    if (!controller.getCourseModel().loadCourseTextFile(texts.at(sentenceCount)))
        return 1;
    // The settings' defaults: 44100 Hz, mono, quality 6.
    bool ok = true;
    const auto rendered = home.getChildFile("rendered.ogg");
    const double render = timed([&] { return controller.renderWholeCourseTo(rendered); }, ok);
    const auto peerOgg = home.getChildFile("peer.ogg");
    const double oggenc = timed(
        [&]
        {
            return runTool({"oggenc", "--quiet", "-q", "6", "--downmix", "-o", peerOgg.getFullPathName(),
                            recording.getFullPathName()});
        },
        ok);

    // The working set as archiving packs it: the course text, its waveform file and the course audio.
    controller.getCourseModel().courseModelReset();
    const auto temp = DocumentManager::TempDir();
    texts.at(sentenceCount).copyFileTo(temp.getChildFile(stem + ".xml"));
    for (const auto& other : temp.findChildFiles(juce::File::findFiles, false, "*.xml"))
        if (other.getFileNameWithoutExtension() != stem)
            other.deleteFile();
    ok = rendered.copyFileTo(temp.getChildFile(stem + ".ogg")) && ok;
    juce::StringArray gzip{"sh", "-c", "gzip -9 -c \"$@\" > /dev/null", "gzip"};
    juce::int64 workingSetBytes = 0;
    for (const auto& file : temp.findChildFiles(juce::File::findFiles, false, "*"))
    {
        gzip.add(file.getFullPathName());
        workingSetBytes += file.getSize();
    }

    const double pack = timed([] { return DocumentManager::packDocument(); }, ok);
    const double gzipped = timed([&] { return runTool(gzip); }, ok);

    const auto archive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    temp.deleteRecursively();
    const double unpack = timed([&] { return DocumentManager::unpackDocument(archive); }, ok);
    const auto unzipped = home.getChildFile("unzipped");
    const double unzip = timed(
        [&] {
            return runTool(
                {"unzip", "-q", "-o", archive.getFullPathName(), "-d", unzipped.getFullPathName()});
        },
        ok);

    if (!ok)
    {
        std::fprintf(stderr, "a job failed; the figures are not comparable\n");
        return 1;
    }
    std::printf("\nAn hour-long course of %d sentences, %.1f MB in its working set\n", sentenceCount,
                (double)workingSetBytes / 1.0e6);
    printPair("Rendering the course audio, mono, quality 6 (goal: ratio <= 1.3)", "qZ renderer", render,
              "oggenc -q 6 --downmix, same PCM", oggenc);
    printPair("Packing the archive, level 9, checked and read back", "qZ pack", pack,
              "gzip -9 of the same files", gzipped);
    printPair("Unpacking the archive, checked", "qZ unpack", unpack, "unzip", unzip);
    return 0;
}
