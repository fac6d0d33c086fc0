// The automatic split of the one sentence of a 60-minute course, on the study screen.
//
// Silence detection, against ffmpeg's silencedetect filter at the same level and shortest pause
// on the same file (WAV and MP3): both decode the whole hour and measure it; the goal is to be
// faster than ffmpeg.
//
// Splitting into about 800 sentences and undoing it, on the real main window with the course
// loaded, each timed until the screen has been painted again; the reference is one layout pass of
// both containers with the 800 sentences followed by the same paint. Each inserted or removed
// sentence used to lay both containers out again; the goal is that each step takes well under a
// second and costs a few layout passes, not hundreds.
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/audio/AutoSplitParser.h"
#include "support/BenchEnvironment.h"
#include "support/SpeechRecording.h"
#include "workspace/BaseComponent.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"

#include <chrono>
#include <cstdio>

namespace
{
const double recordingSeconds = 60.0 * 60.0;
// 3.5 s of voice and 1 s of pause: 800 sentences in the hour.
const SpeechRecording::Rhythm rhythm{4.5, 3.5};
const int screenWidth = 1400;
const int screenHeight = 900;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct DetectionResult
{
    juce::String label;
    SpeechRecording::Timing qz;
    SpeechRecording::Timing ffmpeg;
    int cuts = 0;
};

struct ScreenResult
{
    int sentencesAfterSplit = 0;
    int sentencesAfterUndo = 0;
    double layoutPassSeconds = 0.0;
    double splitSeconds = 0.0;
    double undoSeconds = 0.0;
};

/** The parser's job on the whole sentence, as the command runs it (behind its progress window),
    over a reader of its own. */
SpeechRecording::Timing timeDetection(const juce::File& audio, int& cutCount)
{
    return SpeechRecording::timeOwn(
        [&]
        {
            auto* own = formatManager->createReaderFor(audio);
            if (own == nullptr)
                return false;
            const auto length = own->lengthInSamples;
            AutoSplitParser parser(new juce::AudioSubsectionReader(own, 0, length + 1, true), 0);
            if (!parser.runThread(juce::Thread::Priority::normal))
                return false;
            cutCount = parser.getCuts().size();
            return true;
        });
}

SpeechRecording::Timing timeFfmpeg(const juce::File& audio)
{
    return SpeechRecording::fastestTimeOf({"ffmpeg", "-hide_banner", "-nostats", "-i",
                                           audio.getFullPathName(), "-af", "silencedetect=noise=-42dB:d=0.5",
                                           "-f", "null", "-"});
}

/** Everything that shows the course: the window's content painted as the screen would be. */
void paintScreen(MainWindow& window)
{
    auto& content = window.getBaseComponent();
    juce::Image image(juce::Image::ARGB, content.getWidth(), content.getHeight(), true);
    juce::Graphics g(image);
    content.paintEntireComponent(g, false);
}

/** Lets the message loop deliver what the edit posted (a deferred layout), then paints. */
void settleAndPaint(MainWindow& window)
{
    auto& controller = *window.getBaseComponent().getController();
    controller.getThumbsContainer()->layOutIfPending();
    controller.getPagesContainer()->layOutIfPending();
    paintScreen(window);
}

ScreenResult timeSplitAndUndo(const juce::File& audio)
{
    ScreenResult result;
    DocumentManager::TempDir().deleteRecursively();
    if (!DocumentManager::createCourseFiles(audio))
        return result;

    // The window reopens the course left in the temporary folder, as at start-up.
    MainWindow window;
    window.getBaseComponent().setSize(screenWidth, screenHeight);
    auto& controller = *window.getBaseComponent().getController();
    auto& model = controller.getCourseModel();
    if (model.getNumSentences() != 1)
        return result;

    int cutCount = 0;
    juce::Array<int> cuts;
    {
        auto* own = formatManager->createReaderFor(audio);
        AutoSplitParser parser(new juce::AudioSubsectionReader(own, 0, own->lengthInSamples + 1, true), 0);
        parser.runThread(juce::Thread::Priority::normal);
        cuts = parser.getCuts();
        cutCount = cuts.size();
    }
    if (cutCount < 2)
        return result;
    paintScreen(window);

    auto start = Clock::now();
    model.splitAtCuts(0, cuts);
    settleAndPaint(window);
    result.splitSeconds = secondsSince(start);
    result.sentencesAfterSplit = model.getNumSentences();

    // The reference: one layout pass of both containers with all the sentences, then the paint.
    start = Clock::now();
    controller.resizeViews();
    paintScreen(window);
    result.layoutPassSeconds = secondsSince(start);

    start = Clock::now();
    undoManager->undo();
    settleAndPaint(window);
    result.undoSeconds = secondsSince(start);
    result.sentencesAfterUndo = model.getNumSentences();

    controller.resetToEmpty();
    return result;
}

double ratio(double figure, double peer)
{
    return peer > 0.0 ? figure / peer : 0.0;
}

void printDetection(const juce::Array<DetectionResult>& results)
{
    std::printf("\nSilence detection on a 60-minute 44.1 kHz stereo recording (goal: faster than ffmpeg)\n");
    std::printf("  (wall clock; processor time in brackets, which a loaded machine changes less)\n");
    for (const auto& r : results)
        std::printf("  %-4s qZ %7.3f s (%6.3f s), %d cuts   ffmpeg silencedetect %7.3f s (%6.3f s)"
                    "   qZ / ffmpeg %5.2f (%5.2f)\n",
                    r.label.toRawUTF8(), r.qz.wall, r.qz.cpu, r.cuts, r.ffmpeg.wall, r.ffmpeg.cpu,
                    ratio(r.qz.wall, r.ffmpeg.wall), ratio(r.qz.cpu, r.ffmpeg.cpu));
}

void printScreen(const ScreenResult& r)
{
    const double pass = juce::jmax(1.0e-9, r.layoutPassSeconds);
    std::printf("\nSplit of the one sentence into %d sentences and its undo (to %d), on the study screen\n",
                r.sentencesAfterSplit, r.sentencesAfterUndo);
    std::printf("  one layout pass and paint with all sentences  %8.3f s\n", r.layoutPassSeconds);
    std::printf("  split, laid out and painted                   %8.3f s   = %6.1f layout passes\n",
                r.splitSeconds, r.splitSeconds / pass);
    std::printf("  undo, laid out and painted                    %8.3f s   = %6.1f layout passes\n",
                r.undoSeconds, r.undoSeconds / pass);
}
} // namespace

int main(int argc, char** argv)
{
    // "--screen [FILE]" measures only the split and undo on the study screen (no MP3, no
    // detection), on the given recording if there is one.
    const bool screenOnly = argc > 1 && juce::String(argv[1]) == "--screen";

    BenchEnvironment environment;
    if (screenOnly && argc > 2)
    {
        printScreen(timeSplitAndUndo(juce::File(juce::String(argv[2]))));
        return 0;
    }
    const auto inputs = environment.getHome().getChildFile("inputs");
    inputs.createDirectory();
    const auto wav = inputs.getChildFile("lecture.wav");
    const auto mp3 = inputs.getChildFile("lecture.mp3");

    std::printf("%s\n", SpeechRecording::firstLineOf({"ffmpeg", "-version"}).toRawUTF8());
    std::printf("Generating %.0f minutes of speech-like stereo audio as WAV and as 128 kbps MP3...\n",
                recordingSeconds / 60.0);
    std::fflush(stdout);
    if (!SpeechRecording::writeWav(wav, recordingSeconds, rhythm) ||
        (!screenOnly && !SpeechRecording::encode(wav, mp3)))
    {
        std::fprintf(stderr, "could not make the recordings\n");
        return 1;
    }
    if (screenOnly)
    {
        printScreen(timeSplitAndUndo(wav));
        return 0;
    }

    juce::Array<DetectionResult> detections;
    for (const auto& [label, audio] : {std::pair{"WAV", wav}, std::pair{"MP3", mp3}})
    {
        DetectionResult r;
        r.label = label;
        // ffmpeg first, which also brings the file into the cache for both.
        r.ffmpeg = timeFfmpeg(audio);
        for (int i = 0; i < 3; ++i)
            r.qz = r.qz.fastest(timeDetection(audio, r.cuts));
        detections.add(r);
    }
    printDetection(detections);

    printScreen(timeSplitAndUndo(wav));
    return 0;
}
