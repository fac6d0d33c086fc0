#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <vector>

/** A course's working set made for a test: a generated recording (a tone in a WAV file in the home
    folder) turned into a course text and a waveform file in the temporary folder by the same road
    as a recording the learner opens, after which the test writes the sentences it needs.

    Needs the process-wide objects; answers the progress window of the creation itself. */
class CourseWorkingSet
{
public:
    struct Sentence
    {
        int start = 0;
        int end = 0;
        juce::String foreign;
        juce::String native;
        bool unfamiliar = false;
        int intervalDays = 0;
        int reviews = 0;
        int correct = 0;
        juce::String reviewDate;
    };

    explicit CourseWorkingSet(double seconds = 10.0, double sampleRate = 44100.0);
    /** The same from a recording the test made. */
    CourseWorkingSet(const juce::AudioBuffer<float>& recording, double sampleRate);

    bool wasCreated() const { return created; }
    const juce::File& getAudioFile() const { return audioFile; }
    juce::File getCourseText() const;
    juce::File getWaveformFile() const;
    juce::String getStem() const { return getCourseText().getFileNameWithoutExtension(); }

    /** Replaces the course text's sentences (and the counts that go with them) and its state. */
    bool writeSentences(const std::vector<Sentence>& sentences, int nowStatus = 0) const;

    /** The course text as it is on disk now. */
    std::unique_ptr<juce::XmlElement> readCourseText() const;

    /** Writes the same tone as an Ogg Vorbis file, as archiving leaves the course audio. */
    bool writeOggCourseAudio(const juce::File& file) const;

    double getSampleRate() const { return sampleRate; }
    int getLengthInSamples() const { return samples.getNumSamples(); }

private:
    double sampleRate;
    juce::AudioBuffer<float> samples;
    juce::File audioFile;
    bool created = false;
};
