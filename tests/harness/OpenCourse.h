#pragma once

#include "harness/CourseWorkingSet.h"
#include "harness/ProcessWideObjects.h"

#include <functional>
#include <memory>

class CourseController;
class CourseModel;
class PageSentence;
class SentenceComponent;

/** A course opened in a course model for a test: the process-wide objects, a working set made
    from a generated recording, and the controller that owns the model. The test chooses the
    sentences; the tone lasts ten seconds at 44100 samples per second. */
class OpenCourse
{
public:
    using Sentence = CourseWorkingSet::Sentence;

    OpenCourse();
    /** The same over a recording the test made, at this class's rate. */
    explicit OpenCourse(const juce::AudioBuffer<float>& recording);
    ~OpenCourse();

    /** Sentences back to back, each of the given number of samples, the first starting at 0. */
    static std::vector<Sentence> contiguous(const std::vector<int>& lengths);
    /** Sentences back to back over a recording of that many samples, cut into that many of
        uneven lengths; the last ends at the recording's length, as a new course's last does. */
    static std::vector<Sentence> unevenlyCut(int recordingSamples, int count);

    /** What each sentence of the model's course becomes in its audio rendered at that rate: the
        samples from its start to its end within the recording, scaled to the rate and cut to
        whole samples. */
    static std::vector<juce::int64> renderedLengths(const CourseModel& model, double renderRate);
    /** Empty when the course text's sentences lie back to back from sample 0 with exactly these
        lengths; otherwise where they differ. */
    static juce::String laidOutOtherwise(const juce::XmlElement& course,
                                         const std::vector<juce::int64>& lengths);

    /** Writes the sentences into the course text and loads it; the result of the load. */
    bool open(const std::vector<Sentence>& sentences, int nowStatus = 0);

    CourseModel& model() const;
    CourseController& courseController() const { return *controller; }
    CourseWorkingSet& workingSet() { return set; }
    SentenceComponent& thumb(int index) const;
    PageSentence& page(int index) const;

    /** A sentence's property as int, and the text of a property. */
    int intOf(int index, const juce::Identifier& key) const;
    juce::String textOf(int index, const juce::Identifier& key) const;

    /** Whether both views of every sentence show what the tree holds (range, texts, flag), and
        there is one pair of views per sentence. An empty result means they do. */
    juce::String viewsOutOfStep() const;

    /** Runs the message loop until the condition holds or the time is up; the condition's result. */
    static bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

    static constexpr int rate = 44100;

private:
    ProcessWideObjects objects;
    CourseWorkingSet set;
    std::unique_ptr<CourseController> controller;
};
