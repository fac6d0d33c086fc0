#include "engine/ExAudioFileReader.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CourseTextNumbers.h"
#include "engine/FileReplacement.h"
#include "engine/WaveformFileWriter.h"
#include "engine/XmlChildComparator.h"
#include "workspace/Main.h"

namespace
{
const int cancelTimeOutMs = 10000;

// Shorter recordings cannot be cut into sentences usefully.
const double shortestAudioSeconds = 0.5;

void showFailure(const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, message);
}
} // namespace

ExAudioFileReader::ExAudioFileReader(const juce::File& audioFileToRead, const juce::String& name,
                                     const juce::File& folder)
    : juce::ThreadWithProgressWindow(TRANS("Reading and parsing audio data..."), true, true, cancelTimeOutMs),
      audioFile(audioFileToRead), courseDir(folder), courseName(name)
{
}

ExAudioFileReader::~ExAudioFileReader()
{
    // The job reads the reader, which goes before the base class would stop the thread.
    stopThread(cancelTimeOutMs);
}

bool ExAudioFileReader::createCourseFiles(bool withText)
{
    reader.reset(formatManager->createReaderFor(audioFile));
    // A sample rate of 0 would make every later position a division by zero.
    if (reader == nullptr || reader->sampleRate <= 0.0 ||
        (double)reader->lengthInSamples / reader->sampleRate <= shortestAudioSeconds)
    {
        showFailure(TRANS("Ah oh"), TRANS("Invalid audio file!"));
        return false;
    }

    sampleRate = reader->sampleRate;
    lengthInSamples = reader->lengthInSamples;

    waveformWritten = false;
    // The old numeric priority 5 is the framework's normal one.
    const bool notCancelled = runThread(juce::Thread::Priority::normal);
    reader.reset();

    // The course text comes last: it makes the working set one that the next start reopens, so a
    // kill while the waveform file is written leaves none.
    if (notCancelled && (!waveformWritten || (withText && !createTextFile())))
    {
        showFailure(TRANS("Message"), TRANS("Create course files failed!"));
        return false;
    }
    return notCancelled && waveformWritten;
}

bool ExAudioFileReader::createTextFile()
{
    juce::XmlElement course(CourseModel::COURSE);
    course.setAttribute(CourseModel::AudioFile, audioFile.getFullPathName());

    const auto lrcFile = audioFile.withFileExtension("lrc");
    if (lrcFile.existsAsFile())
        parseLrcTxt(lrcFile, &course);

    course.setAttribute(CourseModel::LearnDate, Clock::now().toString(true, true, true, true));
    course.setAttribute(CourseModel::CourseName, audioFile.getFileNameWithoutExtension());
    course.setAttribute(CourseModel::CourseLength, juce::String(lengthInSamples));

    if (course.getNumChildElements() == 0)
    {
        auto* whole = course.createNewChildElement(CourseModel::SENTENCE.toString());
        whole->setAttribute(CourseModel::StartSamples, "0");
        whole->setAttribute(CourseModel::EndSamples, juce::String(lengthInSamples));
    }

    course.setAttribute(CourseModel::TotalSentences, course.getNumChildElements());
    course.setAttribute(CourseModel::TotalNeedReview, "0");
    course.setAttribute(CourseModel::NextNeedReview, "0");
    course.setAttribute(CourseModel::NowStatus, "0");

    const auto textFile = courseDir.getChildFile(courseName + ".xml");
    // The temporary folder comes into being with its first file.
    textFile.getParentDirectory().createDirectory();
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 60;
    return FileReplacement::writeOnto(textFile,
                                      [&](juce::OutputStream& out)
                                      {
                                          course.writeTo(out, format);
                                          return true;
                                      });
}

void ExAudioFileReader::parseLrcTxt(const juce::File& lrcFile, juce::XmlElement* course) const
{
    juce::StringArray lines;
    lrcFile.readLines(lines);
    lines.removeEmptyStrings(true);

    // The sentences are worked on in an array and linked into the course at the end: the
    // course's children form a list in which every step by index would walk from the start, and
    // a lyrics file from elsewhere can hold many thousands of lines.
    juce::OwnedArray<juce::XmlElement> sentences;
    for (const auto& line : lines)
        if (line.trim().startsWith("["))
            sentences.add(makeLrcSentence(line));
    if (sentences.isEmpty())
        return;

    XmlChildComparator byStart;
    sentences.sort(byStart);
    dropSentencesPastTheEnd(sentences);
    if (sentences.isEmpty())
        return;

    setSentenceEnds(sentences);

    // A first line within the first second keeps its start; a later one would leave the opening
    // of the recording outside every sentence.
    auto* first = sentences.getFirst();
    if (first->getIntAttribute(CourseModel::StartSamples) > (int)sampleRate)
        first->setAttribute(CourseModel::StartSamples, "0");

    removeEmptySentences(sentences);
    // Prepended from the last, so that linking each one in takes no walk along the list.
    for (int i = sentences.size(); --i >= 0;)
        course->prependChildElement(sentences.removeAndReturn(i));
}

juce::XmlElement* ExAudioFileReader::makeLrcSentence(const juce::String& line) const
{
    // The first tag gives the time, the text follows the last tag: "[00:01.00][00:09.00]text".
    const auto time = line.upToFirstOccurrenceOf("]", false, false)
                          .trim()
                          .substring(1)
                          .fromLastOccurrenceOf("[", false, false);
    const auto text = line.fromLastOccurrenceOf("]", false, false).trimStart();

    // A signed time ("[-00:01.00]") would start a sentence before the audio.
    const auto start = juce::jmax((juce::int64)0, parseLrcTimeToSamples(time).getLargeIntValue());

    auto* sentence = new juce::XmlElement(CourseModel::SENTENCE);
    sentence->setAttribute(CourseModel::StartSamples, juce::String(start));
    sentence->setAttribute(CourseModel::EnglishText, text);
    sentence->setAttribute(CourseModel::ChineseText, juce::String());
    sentence->setAttribute(CourseModel::NeedReview, 0);
    sentence->setAttribute(CourseModel::NextIntervalDays, "0");
    sentence->setAttribute(CourseModel::TotalReviews, "0");
    sentence->setAttribute(CourseModel::CorrectTimes, "0");
    return sentence;
}

void ExAudioFileReader::dropSentencesPastTheEnd(juce::OwnedArray<juce::XmlElement>& sentences) const
{
    // A lyrics file made for a longer recording: lines at or past the end of this audio would
    // give sentences that end before they start.
    while (!sentences.isEmpty() &&
           sentences.getLast()->getStringAttribute(CourseModel::StartSamples).getLargeIntValue() >=
               lengthInSamples)
        sentences.removeLast();
}

void ExAudioFileReader::setSentenceEnds(juce::OwnedArray<juce::XmlElement>& sentences) const
{
    const int count = sentences.size();
    for (int i = 0; i < count - 1; ++i)
    {
        const int nextStart = sentences[i + 1]->getIntAttribute(CourseModel::StartSamples);
        sentences[i]->setAttribute(CourseModel::EndSamples, juce::jmax(0, nextStart - 1));
    }
    sentences.getLast()->setAttribute(CourseModel::EndSamples, juce::String(lengthInSamples));
}

void ExAudioFileReader::removeEmptySentences(juce::OwnedArray<juce::XmlElement>& sentences)
{
    // A sentence ending at 0 is followed by one starting at 0 or 1 (tag lines such as a title
    // read as time 0); one ending before its start shares its start with the next line.
    juce::Array<juce::XmlElement*> all(sentences.begin(), sentences.size());
    sentences.clearQuick(false);
    for (auto* sentence : all)
    {
        const int end = sentence->getIntAttribute(CourseModel::EndSamples);
        if (end == 0 || end < sentence->getIntAttribute(CourseModel::StartSamples))
            delete sentence;
        else
            sentences.add(sentence);
    }
}

juce::String ExAudioFileReader::parseLrcTimeToSamples(const juce::String& time) const
{
    // The digits after the point always count as hundredths, whatever their number.
    const int minutes = CourseTextNumbers::readInt(time.upToFirstOccurrenceOf(":", false, false));
    const int seconds = CourseTextNumbers::readInt(
        time.fromLastOccurrenceOf(":", false, false).upToFirstOccurrenceOf(".", false, false));
    const int hundredths = CourseTextNumbers::readInt(time.fromLastOccurrenceOf(".", false, false));
    const double position = (minutes * 60.0 + seconds + hundredths * 0.01) * sampleRate;
    return juce::String((juce::int64)position);
}

void ExAudioFileReader::run()
{
    setProgress(-1.0);
    const auto target = courseDir.getChildFile(courseName + ".smg");

    {
        // A cancelled job still writes what was read; the caller throws it away.
        WaveformFileWriter writer(*reader, audioFile);
        waveformWritten = writer.write(
            target, [this] { return !threadShouldExit(); },
            [this](double proportion)
            {
                if (proportion < 1.0)
                {
                    setProgress(proportion);
                    return;
                }
                setProgress(-1.0);
                setStatusMessage(TRANS("Writing waveform data..."));
            });
    }
}
