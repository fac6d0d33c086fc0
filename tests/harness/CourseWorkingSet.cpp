#include "harness/CourseWorkingSet.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "harness/AudioFixtures.h"
#include "harness/ModalAnswerer.h"

CourseWorkingSet::CourseWorkingSet(double seconds, double rate)
    : CourseWorkingSet(AudioFixtures::silenceThenSine(1, rate, 0.0, seconds, 440.0, 0.5f), rate)
{
}

CourseWorkingSet::CourseWorkingSet(const juce::AudioBuffer<float>& recording, double rate)
    : sampleRate(rate), samples(recording),
      audioFile(juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("lesson.wav"))
{
    if (!AudioFixtures::writeWav(audioFile, samples, sampleRate))
        return;

    ModalAnswerer answerer;
    answerer.letProgressRun();
    created = DocumentManager::createCourseFiles(audioFile);
}

juce::File CourseWorkingSet::getCourseText() const
{
    return DocumentManager::getCourseFile(DocumentManager::courseText);
}

juce::File CourseWorkingSet::getWaveformFile() const
{
    return DocumentManager::getCourseFile(DocumentManager::waveformFile);
}

std::unique_ptr<juce::XmlElement> CourseWorkingSet::readCourseText() const
{
    return juce::parseXML(getCourseText());
}

bool CourseWorkingSet::writeSentences(const std::vector<Sentence>& sentences, int nowStatus) const
{
    auto course = readCourseText();
    if (course == nullptr)
        return false;

    course->deleteAllChildElements();
    int unfamiliar = 0;
    for (const auto& s : sentences)
    {
        auto* e = course->createNewChildElement(CourseModel::SENTENCE.toString());
        e->setAttribute(CourseModel::StartSamples, s.start);
        e->setAttribute(CourseModel::EndSamples, s.end);
        e->setAttribute(CourseModel::EnglishText, s.foreign);
        e->setAttribute(CourseModel::ChineseText, s.native);
        e->setAttribute(CourseModel::NeedReview, s.unfamiliar ? 1 : 0);
        e->setAttribute(CourseModel::NextIntervalDays, s.intervalDays);
        e->setAttribute(CourseModel::TotalReviews, s.reviews);
        e->setAttribute(CourseModel::CorrectTimes, s.correct);
        e->setAttribute(CourseModel::NextReviewDate, s.reviewDate);
        unfamiliar += s.unfamiliar ? 1 : 0;
    }
    course->setAttribute(CourseModel::TotalSentences, (int)sentences.size());
    course->setAttribute(CourseModel::TotalNeedReview, unfamiliar);
    course->setAttribute(CourseModel::NowStatus, nowStatus);

    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 60;
    return course->writeTo(getCourseText(), format);
}

bool CourseWorkingSet::writeOggCourseAudio(const juce::File& file) const
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream>(file);
    if (stream->failedToOpen())
        return false;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        juce::OggVorbisAudioFormat().createWriterFor(stream.get(), sampleRate, 1, 16, {}, 5));
    if (writer == nullptr)
        return false;
    stream.release();
    return writer->writeFromAudioSampleBuffer(samples, 0, samples.getNumSamples());
}
