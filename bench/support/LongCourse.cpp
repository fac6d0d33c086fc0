#include "support/LongCourse.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdio>

namespace LongCourse
{
namespace
{
const int blockSize = 16384;
}

bool writeRecording(const juce::File& target, double seconds, double sampleRate)
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
    const auto total = (juce::int64)(seconds * sampleRate);
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
} // namespace LongCourse
