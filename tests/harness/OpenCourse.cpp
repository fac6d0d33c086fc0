#include "harness/OpenCourse.h"

#include "engine/CourseModel.h"
#include "workspace/CourseController.h"
#include "workspace/sentences/PageSentence.h"

OpenCourse::OpenCourse() : set(10.0, rate), controller(std::make_unique<CourseController>()) {}

OpenCourse::OpenCourse(const juce::AudioBuffer<float>& recording)
    : set(recording, rate), controller(std::make_unique<CourseController>())
{
}

OpenCourse::~OpenCourse()
{
    // The model saves while it goes; the process-wide objects it uses go after it.
    controller.reset();
}

std::vector<OpenCourse::Sentence> OpenCourse::contiguous(const std::vector<int>& lengths)
{
    std::vector<Sentence> sentences;
    int start = 0;
    for (const int length : lengths)
    {
        Sentence s;
        s.start = start;
        s.end = start + length - 1;
        sentences.push_back(s);
        start += length;
    }
    return sentences;
}

std::vector<OpenCourse::Sentence> OpenCourse::unevenlyCut(int recordingSamples, int count)
{
    std::vector<Sentence> sentences((size_t)count);
    for (int i = 0; i < count; ++i)
        sentences[(size_t)i].start = recordingSamples * i / count + (i * 37) % 11;
    for (int i = 0; i + 1 < count; ++i)
        sentences[(size_t)i].end = sentences[(size_t)i + 1].start - 1;
    sentences.back().end = recordingSamples;
    return sentences;
}

std::vector<juce::int64> OpenCourse::renderedLengths(const CourseModel& m, double renderRate)
{
    const auto* reader = m.getReader();
    std::vector<juce::int64> lengths;
    for (int i = 0; i < m.getNumSentences(); ++i)
    {
        const juce::int64 start = (int)m.getValue(i, CourseModel::StartSamples);
        const juce::int64 end = (int)m.getValue(i, CourseModel::EndSamples);
        const auto samples = juce::jmin(end - start + 1, reader->lengthInSamples - start);
        lengths.push_back(samples * (juce::int64)renderRate / (juce::int64)reader->sampleRate);
    }
    return lengths;
}

juce::String OpenCourse::laidOutOtherwise(const juce::XmlElement& course,
                                          const std::vector<juce::int64>& lengths)
{
    if (course.getNumChildElements() != (int)lengths.size())
        return juce::String(course.getNumChildElements()) + " sentences instead of " +
               juce::String((int)lengths.size());
    juce::StringArray problems;
    juce::int64 start = 0;
    for (int i = 0; i < course.getNumChildElements(); ++i)
    {
        const auto* sentence = course.getChildElement(i);
        const auto end = start + lengths[(size_t)i] - 1;
        const auto text = sentence->getStringAttribute(CourseModel::StartSamples) + ".." +
                          sentence->getStringAttribute(CourseModel::EndSamples);
        if (text != juce::String(start) + ".." + juce::String(end))
            problems.add("sentence " + juce::String(i) + " at " + text + " instead of " +
                         juce::String(start) + ".." + juce::String(end));
        start = end + 1;
    }
    return problems.joinIntoString("; ");
}

bool OpenCourse::open(const std::vector<Sentence>& sentences, int nowStatus)
{
    return set.writeSentences(sentences, nowStatus) && model().loadCourseTextFile(set.getCourseText());
}

CourseModel& OpenCourse::model() const
{
    return controller->getCourseModel();
}

SentenceComponent& OpenCourse::thumb(int index) const
{
    return *model().getThumbs().getUnchecked(index);
}

PageSentence& OpenCourse::page(int index) const
{
    return *dynamic_cast<PageSentence*>(model().getPages().getUnchecked(index));
}

int OpenCourse::intOf(int index, const juce::Identifier& key) const
{
    return model().getValue(index, key);
}

juce::String OpenCourse::textOf(int index, const juce::Identifier& key) const
{
    return model().getValue(index, key).toString();
}

juce::String OpenCourse::viewsOutOfStep() const
{
    auto& m = model();
    const int count = m.getNumSentences();
    if (m.getThumbs().size() != count || m.getPages().size() != count)
        return juce::String(count) + " sentences, " + juce::String(m.getThumbs().size()) + " strip views, " +
               juce::String(m.getPages().size()) + " page views";

    juce::StringArray problems;
    for (int i = 0; i < count; ++i)
    {
        const int start = intOf(i, CourseModel::StartSamples);
        const int end = intOf(i, CourseModel::EndSamples);
        const bool unfamiliar = m.getValue(i, CourseModel::NeedReview);
        for (auto* view : {&thumb(i), static_cast<SentenceComponent*>(&page(i))})
            if (view->start != start || view->end != end || view->needsReview != unfamiliar)
                problems.add("sentence " + juce::String(i) + " view " + juce::String(view->start) + ".." +
                             juce::String(view->end) + " tree " + juce::String(start) + ".." +
                             juce::String(end));
        if (page(i).getTextField(true).getText() != textOf(i, CourseModel::EnglishText) ||
            page(i).getTextField(false).getText() != textOf(i, CourseModel::ChineseText))
            problems.add("sentence " + juce::String(i) + " texts differ");
    }
    return problems.joinIntoString("; ");
}

bool OpenCourse::pumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)timeoutMs;
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    }
    return true;
}
