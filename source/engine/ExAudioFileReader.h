#pragma once

#include <juce_audio_utils/juce_audio_utils.h>

/** Turns an audio file into the files of a course's working set: checks that the audio can be
    read and is long enough, writes the first course text (one sentence per timed line of a lyrics
    file of the same name beside the audio, else one sentence over the whole recording) and, on a
    job thread behind a modal progress window, the compressed waveform overview (decoding and
    compressing side by side, see WaveformFileWriter).

    Reads audio through the process-wide formatManager. */
class ExAudioFileReader : public juce::ThreadWithProgressWindow
{
public:
    ExAudioFileReader(const juce::File& audioFile, const juce::String& courseName,
                      const juce::File& courseDir);
    ~ExAudioFileReader() override;

    /** The whole job; true only when every file was written and the learner did not cancel.
        Failures other than a cancel are shown to the learner here. */
    bool createCourseFiles(bool withText);

    /** Writes courseName + ".xml" into courseDir; the writer's result. */
    bool createTextFile();

    /** Adds the sentences of a lyrics file to the course element, which has none yet. */
    void parseLrcTxt(const juce::File& lrcFile, juce::XmlElement* course) const;

    /** "mm:ss.hh" to a sample position of the audio, as decimal text. */
    juce::String parseLrcTimeToSamples(const juce::String& time) const;

    void run() override;

private:
    juce::XmlElement* makeLrcSentence(const juce::String& line) const;
    void dropSentencesPastTheEnd(juce::OwnedArray<juce::XmlElement>& sentences) const;
    void setSentenceEnds(juce::OwnedArray<juce::XmlElement>& sentences) const;
    static void removeEmptySentences(juce::OwnedArray<juce::XmlElement>& sentences);

    juce::File audioFile;
    juce::File courseDir;
    juce::String courseName;
    double sampleRate = 0.0;
    juce::int64 lengthInSamples = 0;
    // The checked audio, read again by the job for the waveform overview.
    std::unique_ptr<juce::AudioFormatReader> reader;

    // Set by the job thread, read after it has finished.
    std::atomic<bool> waveformWritten{false};

    JUCE_DECLARE_NON_COPYABLE(ExAudioFileReader)
};
