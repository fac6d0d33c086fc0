#include "support/LongCourse.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "support/BenchEnvironment.h"
#include "support/GeneratedWav.h"

#include <benchmark/benchmark.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdio>

namespace LongCourse
{
namespace
{
/** A 160 Hz tone whose level swells four times a second, like syllables. */
void renderTone(juce::AudioBuffer<float>& block, juce::int64 firstSample, double sampleRate)
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;
    for (int i = 0; i < block.getNumSamples(); ++i)
    {
        const double t = (double)(firstSample + i) / sampleRate;
        const double swell = 0.5 - 0.5 * std::cos(twoPi * 4.0 * t);
        block.setSample(0, i, (float)(0.4 * swell * std::sin(twoPi * 160.0 * t)));
    }
}
} // namespace

bool writeRecording(const juce::File& target, double seconds, double sampleRate)
{
    return GeneratedWav::write(target, sampleRate, 1, seconds,
                               [sampleRate](juce::AudioBuffer<float>& block, juce::int64 firstSample)
                               { renderTone(block, firstSample, sampleRate); });
}

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

std::map<int, juce::File> makeCourseTexts(const juce::File& folder, double seconds, double sampleRate,
                                          std::initializer_list<int> counts)
{
    const auto audio = folder.getChildFile("lesson.wav");
    if (!writeRecording(audio, seconds, sampleRate) || !DocumentManager::createCourseFiles(audio))
    {
        std::fprintf(stderr, "could not make the course\n");
        return {};
    }

    const auto created = DocumentManager::getCourseFile(DocumentManager::courseText);
    std::map<int, juce::File> texts;
    for (const int count : counts)
    {
        const auto text =
            folder.getChildFile("courses-" + juce::String(count)).getChildFile(created.getFileName());
        if (!writeCourseText(created, count, text))
        {
            std::fprintf(stderr, "could not write the course text\n");
            return {};
        }
        texts[count] = text;
    }
    return texts;
}

int runBenchmarks(int argc, char** argv, double seconds, double sampleRate, std::initializer_list<int> counts,
                  const std::function<void(int count, const juce::File& text)>& registerText,
                  const std::function<void()>& printSummary)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    BenchEnvironment environment;
    const auto texts = makeCourseTexts(environment.getHome(), seconds, sampleRate, counts);
    if (texts.empty())
        return 1;
    for (const auto& [count, text] : texts)
        registerText(count, text);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    printSummary();
    return 0;
}
} // namespace LongCourse
