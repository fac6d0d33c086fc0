// Painting the whole learning area (waveform strip with its time scale, pages, status bar and
// toolbar) into an image, for a course of 100 and of 2,000 sentences over the same recording, at
// zoom 1 and at the strip's maximum zoom, both viewports scrolled to the middle. The view shows
// the same area for both sizes, so only the visible blocks and pages should cost drawing time:
// the ratio of the two sizes' frame times should stay under 2.
#include "engine/GlobalData.h"
#include "support/LongCourse.h"
#include "workspace/CourseController.h"
#include "workspace/MainComponent.h"
#include "workspace/containers/ThumbsContainer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <utility>

namespace
{
const double sampleRate = 22050.0;
// 2,000 sentences of 0.6 s each.
const double recordingSeconds = 20.0 * 60.0;
const int smallCourse = 100;
const int largeCourse = 2000;
const int width = 1000;
const int height = 700;

enum Zoom
{
    zoomOne = 0,
    zoomMaximum = 1
};

std::map<std::pair<int, int>, double> secondsPerFrame;

void scrollToMiddle(juce::Viewport& viewport)
{
    const auto* content = viewport.getViewedComponent();
    viewport.setViewPosition((content->getWidth() - viewport.getViewWidth()) / 2,
                             (content->getHeight() - viewport.getViewHeight()) / 2);
}

void zoomStripToMaximum(MainComponent& main)
{
    auto& strip = *main.getThumbsContainer();
    for (int i = 0; i < 200 && GlobalData::widthZoomFactor < ThumbsContainer::maximumZoom; ++i)
        strip.zoomThumbs(true, strip.getWidth() / 2);
}

void paintFrame(MainComponent& main, juce::Image& image)
{
    juce::Graphics g(image);
    main.paintEntireComponent(g, false);
}

void benchPaint(benchmark::State& state, const juce::File& courseText)
{
    const int sentences = (int)state.range(0);
    const int zoom = (int)state.range(1);

    MainComponent main;
    main.setSize(width, height);
    if (!main.getController()->loadGivenCourse(courseText))
    {
        state.SkipWithError("the course did not load");
        return;
    }
    if (zoom == zoomMaximum)
        zoomStripToMaximum(main);
    scrollToMiddle(main.getThumbsViewport());
    scrollToMiddle(main.getSentencesViewport());

    juce::Image image(juce::Image::ARGB, width, height, true);
    // The first frame fills the caches (waveform, glyphs) that later frames reuse.
    paintFrame(main, image);

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        paintFrame(main, image);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    secondsPerFrame[{sentences, zoom}] =
        seconds / (double)juce::jmax((benchmark::IterationCount)1, state.iterations());
    state.counters["zoom"] = GlobalData::widthZoomFactor;
    state.counters["strip_px"] = main.getThumbsContainer()->getWidth();
}

void printSummary()
{
    std::printf("\nPainting the learning area, %d x %d (goal: ratio < 2, only visible parts drawn)\n", width,
                height);
    for (const int zoom : {zoomOne, zoomMaximum})
    {
        const double small = secondsPerFrame[{smallCourse, zoom}];
        const double large = secondsPerFrame[{largeCourse, zoom}];
        std::printf("  %s zoom\n", zoom == zoomOne ? "at the first" : "at the maximum");
        std::printf("    %5d sentences  %9.3f ms per frame\n", smallCourse, small * 1000.0);
        std::printf("    %5d sentences  %9.3f ms per frame\n", largeCourse, large * 1000.0);
        std::printf("    ratio %d / %d: %.2f\n", largeCourse, smallCourse, small > 0.0 ? large / small : 0.0);
    }
}
} // namespace

int main(int argc, char** argv)
{
    return LongCourse::runBenchmarks(
        argc, argv, recordingSeconds, sampleRate, {smallCourse, largeCourse},
        [](int count, const juce::File& text)
        {
            benchmark::RegisterBenchmark("PaintLearningArea", benchPaint, text)
                ->Args({count, zoomOne})
                ->Args({count, zoomMaximum})
                ->Unit(benchmark::kMillisecond);
        },
        printSummary);
}
