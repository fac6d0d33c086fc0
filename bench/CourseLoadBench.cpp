// Opening a course text of 100 and of 2,000 sentences over the same recording and waveform file,
// views included. The recording, the reader and the overview cost the same for both, so the
// ratio of the two load times shows how the per-sentence part grows: linear growth gives at most
// 20 (less the shared part), and 25 is the most it should be.
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "support/BenchEnvironment.h"
#include "workspace/CourseController.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>

namespace
{
const double sampleRate = 44100.0;
// Long enough that 2,000 sentences still last 0.9 s each.
const double recordingSeconds = 30.0 * 60.0;
const int blockSize = 16384;
const int smallCourse = 100;
const int largeCourse = 2000;

/** A mono tone with a syllable-rate swell, written block by block. */
bool writeRecording(const juce::File& target)
{
    target.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream>(target);
    if (!stream->openedOk())
        return false;
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(stream.get(), sampleRate, 1, 16, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release(); // the writer owns it now

    juce::AudioBuffer<float> block(1, blockSize);
    const auto total = (juce::int64)(recordingSeconds * sampleRate);
    for (juce::int64 done = 0; done < total; done += blockSize)
    {
        const int count = (int)juce::jmin((juce::int64)blockSize, total - done);
        for (int i = 0; i < count; ++i)
        {
            const double t = (double)(done + i) / sampleRate;
            const double swell = 0.5 - 0.5 * std::cos(juce::MathConstants<double>::twoPi * 4.0 * t);
            block.setSample(0, i,
                            (float)(0.4 * swell * std::sin(juce::MathConstants<double>::twoPi * 160.0 * t)));
        }
        if (!writer->writeFromAudioSampleBuffer(block, 0, count))
            return false;
    }
    return true;
}

/** The course text made by course creation, its single sentence replaced by `count` sentences
    that share the recording evenly, with texts in both languages and some marked unfamiliar. */
bool writeCourseText(const juce::File& created, int count, const juce::File& target)
{
    auto course = juce::parseXML(created);
    if (course == nullptr)
        return false;

    const auto length = course->getStringAttribute(CourseModel::CourseLength).getLargeIntValue();
    course->deleteAllChildElements();
    for (int i = 0; i < count; ++i)
    {
        auto* s = course->createNewChildElement(CourseModel::SENTENCE.toString());
        s->setAttribute(CourseModel::StartSamples, juce::String(length * i / count));
        s->setAttribute(CourseModel::EndSamples, juce::String(length * (i + 1) / count - 1));
        s->setAttribute(CourseModel::EnglishText,
                        "Sentence " + juce::String(i + 1) + ": the speaker goes on at an even pace.");
        s->setAttribute(CourseModel::ChineseText,
                        juce::String(i + 1) + juce::String::fromUTF8("：说话人以平稳的语速继续讲下去。"));
        s->setAttribute(CourseModel::NeedReview, i % 5 == 0 ? 1 : 0);
        s->setAttribute(CourseModel::NextIntervalDays, "0");
        s->setAttribute(CourseModel::TotalReviews, "0");
        s->setAttribute(CourseModel::CorrectTimes, "0");
    }
    course->setAttribute(CourseModel::TotalSentences, count);
    course->setAttribute(CourseModel::TotalNeedReview, (count + 4) / 5);

    target.getParentDirectory().createDirectory();
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 60;
    return course->writeTo(target, format);
}

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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    BenchEnvironment environment;
    const auto audio = environment.getHome().getChildFile("lesson.wav");
    // Course creation makes the waveform file and the first course text, as for a learner.
    if (!writeRecording(audio) || !DocumentManager::createCourseFiles(audio))
    {
        std::fprintf(stderr, "could not make the course\n");
        return 1;
    }

    // The model finds the waveform file by the text's name in the temporary folder, so the two
    // course texts share that name and lie in folders of their own.
    const auto created = DocumentManager::getCourseFile(DocumentManager::courseText);
    for (const int count : {smallCourse, largeCourse})
    {
        const auto text = environment.getHome()
                              .getChildFile("courses-" + juce::String(count))
                              .getChildFile(created.getFileName());
        if (!writeCourseText(created, count, text))
        {
            std::fprintf(stderr, "could not write the course text\n");
            return 1;
        }
        benchmark::RegisterBenchmark("CourseLoad", benchCourseLoad, text)
            ->Arg(count)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    printSummary();
    return 0;
}
