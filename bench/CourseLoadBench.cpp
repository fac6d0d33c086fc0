// Opening a course text of 100 and of 2,000 sentences over the same recording and waveform file,
// views included. The recording, the reader and the overview cost the same for both, so the
// ratio of the two load times shows how the per-sentence part grows: linear growth gives at most
// 20 (less the shared part), and 25 is the most it should be.
#include "engine/CourseModel.h"
#include "support/LongCourse.h"
#include "workspace/CourseController.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>

namespace
{
const double sampleRate = 44100.0;
// Long enough that 2,000 sentences still last 0.9 s each.
const double recordingSeconds = 30.0 * 60.0;
const int smallCourse = 100;
const int largeCourse = 2000;

std::map<int, double> secondsPerLoad;

void benchCourseLoad(benchmark::State& state, const juce::File& courseText)
{
    CourseController controller;
    auto& model = controller.getCourseModel();
    bool loaded = true;

    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        loaded = model.loadCourseTextFile(courseText) && loaded;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const int sentences = (int)state.range(0);
    if (!loaded || model.getNumSentences() != sentences || model.getPages().size() != sentences)
        state.SkipWithError("the course did not load whole");
    secondsPerLoad[sentences] =
        seconds / (double)juce::jmax((benchmark::IterationCount)1, state.iterations());
    state.counters["sentences"] = sentences;
}

void printSummary()
{
    const double small = secondsPerLoad[smallCourse], large = secondsPerLoad[largeCourse];
    std::printf("\nLoading a course text with its views (goal: ratio <= 25, linear growth)\n");
    std::printf("  %5d sentences  %9.3f ms per load\n", smallCourse, small * 1000.0);
    std::printf("  %5d sentences  %9.3f ms per load\n", largeCourse, large * 1000.0);
    std::printf("  ratio %d / %d: %.2f\n", largeCourse, smallCourse, small > 0.0 ? large / small : 0.0);
    // What each further sentence adds, apart from the recording and overview both loads share.
    std::printf("  each further sentence: %.1f us\n", (large - small) * 1.0e6 / (largeCourse - smallCourse));
}
} // namespace

int main(int argc, char** argv)
{
    return LongCourse::runBenchmarks(
        argc, argv, recordingSeconds, sampleRate, {smallCourse, largeCourse},
        [](int count, const juce::File& text)
        {
            benchmark::RegisterBenchmark("CourseLoad", benchCourseLoad, text)
                ->Arg(count)
                ->Unit(benchmark::kMillisecond);
        },
        printSummary);
}
