#include "kill/KillRoads.h"

#include "kill/KillNotes.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CoursewareFile.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioRecorder.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

#include "harness/AudioFixtures.h"
#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"
#include "harness/TemporaryHome.h"

#include <cstdio>

using juce::File;
using juce::String;

namespace
{
const int rate = 44100;
// Four sentences of a second and a half fill the six seconds of the recording.
const int sentenceSamples = 66150;
// A write that is never killed ends by itself after this many versions.
const int mostVersions = 100000;
// Notes long enough that writing the course text takes a while, so kills land inside writes.
const int notesLength = 65536;

void tell(const String& line)
{
    std::printf("%s\n", line.toRawUTF8());
    std::fflush(stdout);
}

/** The day the courses are learnt: their first reviews fall two days later, long past by now. */
juce::Time learningDay(int hour)
{
    return juce::Time(2017, 3, 2, hour, 30, 7, 0, true);
}

/** A learning course left in the temporary folder, as the workspace reopens it at its start: four
    sentences, two of them unfamiliar with their texts, and long notes. Its stem, or empty. */
String leaveLearningCourse(int hour)
{
    ProcessWideObjects objects;
    Clock::setFixedTime(learningDay(hour));
    CourseWorkingSet set(6.0, rate);
    if (!set.wasCreated())
        return {};
    auto sentences =
        OpenCourse::contiguous({sentenceSamples, sentenceSamples, sentenceSamples, sentenceSamples});
    for (int i : {1, 3})
    {
        sentences[(size_t)i].unfamiliar = true;
        sentences[(size_t)i].foreign = "Sentence " + String(i);
    }
    sentences[0].foreign = KillNotes::versionText(0);
    if (!set.writeSentences(sentences))
        return {};
    auto course = set.readCourseText();
    course->setAttribute(CourseModel::Notes, String::repeatedString("notes ", notesLength / 6));
    juce::XmlElement::TextFormat format;
    format.lineWrapLength = 60;
    if (!course->writeTo(set.getCourseText(), format))
        return {};
    Clock::clearFixedTime();
    const auto stem = set.getStem();
    KillNotes::addCourse(stem);
    if (!KillNotes::keepOriginal(set.getWaveformFile()))
        return {};
    return stem;
}

/** The workspace as the application starts it, with no due course opened by itself. */
std::unique_ptr<OpenWorkspace> startWithoutReview()
{
    return std::make_unique<OpenWorkspace>([] { systemModel->atLeastUnreview = 1000; });
}

bool prepareLibrary()
{
    // Two courses in the library, both due: a review day closes one and opens the other.
    for (int hour : {15, 16})
    {
        if (leaveLearningCourse(hour).isEmpty())
            return false;
        Clock::setFixedTime(learningDay(hour));
        auto workspace = startWithoutReview();
        const bool archived = workspace->archiveAsTheLearnerDoes();
        Clock::clearFixedTime();
        if (!archived)
            return false;
    }
    return true;
}

bool prepareRecording()
{
    // Long enough that making its waveform file takes a while.
    return AudioFixtures::writeWav(homeFile("recording.wav"),
                                   AudioFixtures::silenceThenSine(2, rate, 1.0, 60.0, 440.0, 0.5f), rate);
}

bool prepareRetelling()
{
    const auto stem = leaveLearningCourse(15);
    return stem.isNotEmpty() &&
           KillNotes::writeRetelling(DocumentManager::TempDir().getChildFile(stem + "-retell.ogg"), 0);
}

/** Generates the open course's courseware into the file as the learner does: the file in the
    chooser, Overwrite when one is there, then the render and the waveform jobs. */
bool generateCourseware(CourseController& controller, const File& target)
{
    ModalAnswerer answerer;
    answerer.chooseFile(target);
    if (target.existsAsFile())
        answerer.press(TRANS("Overwrite"));
    answerer.letProgressRun();
    answerer.letProgressRun();
    controller.generateCourseware();
    answerer.expectDone();
    return target.existsAsFile();
}

bool prepareCourseware()
{
    if (leaveLearningCourse(15).isEmpty())
        return false;
    auto workspace = startWithoutReview();
    return workspace->controller().isCourseOpen() &&
           generateCourseware(workspace->controller(), homeFile(KillRoads::coursewareName));
}

bool prepareSettings()
{
    ProcessWideObjects objects;
    systemModel->timeScaleBgColour = KillNotes::versionColour(0);
    systemModel->updateSystemAttrib();
    return SystemModel::getSettingsFile().existsAsFile();
}

//==============================================================================
bool writeNewCourse()
{
    ProcessWideObjects objects;
    tell("go");
    ModalAnswerer answerer;
    answerer.letProgressRun();
    return DocumentManager::createCourseFiles(homeFile("recording.wav"));
}

bool writeCourseText()
{
    auto workspace = startWithoutReview();
    auto& model = workspace->model();
    if (!workspace->controller().isCourseOpen())
        return false;
    tell("go");
    for (int version = 1; version <= mostVersions; ++version)
    {
        undoManager->beginNewTransaction("Input / edit foreign text");
        model.setValue(0, CourseModel::EnglishText, KillNotes::versionText(version), true);
        if (!model.saveCourseTextFile())
            return false;
        tell("saved " + String(version));
    }
    return true;
}

bool writeArchive()
{
    auto workspace = startWithoutReview();
    if (!workspace->controller().isCourseOpen())
        return false;
    tell("go");
    return workspace->archiveAsTheLearnerDoes();
}

bool writeReviewDays()
{
    OpenWorkspace workspace([] { systemModel->atLeastUnreview = 1; });
    auto& controller = workspace.controller();
    if (!controller.isCourseOpen())
        return false;
    tell("go");
    // The first close opens the other due course, the second says that all are done.
    controller.currentCourseReviewFinished();
    if (!controller.isCourseOpen())
        return false;
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    controller.currentCourseReviewFinished();
    answerer.expectDone();
    return !controller.isCourseOpen();
}

bool writeCourseware()
{
    auto workspace = startWithoutReview();
    if (!workspace->controller().isCourseOpen())
        return false;
    tell("go");
    for (int version = 1; version <= mostVersions; ++version)
    {
        if (!generateCourseware(workspace->controller(), homeFile(KillRoads::coursewareName)))
            return false;
        tell("saved " + String(version));
    }
    return true;
}

bool writeRetelling()
{
    auto workspace = startWithoutReview();
    if (!workspace->controller().isCourseOpen())
        return false;
    const auto retelling = DocumentManager::getCourseFile(DocumentManager::retelling);
    juce::AudioThumbnailCache cache(1);
    juce::AudioThumbnail thumbnail(512, *formatManager, cache);
    AudioRecorder recorder(*deviceManager, thumbnail);
    tell("go");
    for (int version = 1; version <= mostVersions; ++version)
    {
        // What a recording leaves in the recorder's file, then the replacement that keeps it.
        recorder.getTemporaryFile().getParentDirectory().createDirectory();
        if (!KillNotes::writeRetelling(recorder.getTemporaryFile(), version) ||
            !recorder.saveToFile(retelling))
            return false;
        tell("saved " + String(version));
    }
    return true;
}

bool writeSettings()
{
    ProcessWideObjects objects;
    tell("go");
    for (int version = 1; version <= mostVersions; ++version)
    {
        systemModel->timeScaleBgColour = KillNotes::versionColour(version);
        systemModel->updateSystemAttrib();
        tell("saved " + String(version));
    }
    return true;
}
} // namespace

//==============================================================================
juce::StringArray KillRoads::kinds()
{
    return {"new-course", "course-text", "archive", "review-day", "courseware", "retelling", "settings"};
}

bool KillRoads::prepare(const String& kind)
{
    if (kind == "new-course")
        return prepareRecording();
    if (kind == "course-text" || kind == "archive")
        return leaveLearningCourse(15).isNotEmpty();
    if (kind == "review-day")
        return prepareLibrary();
    if (kind == "courseware")
        return prepareCourseware();
    if (kind == "retelling")
        return prepareRetelling();
    if (kind == "settings")
        return prepareSettings();
    return false;
}

bool KillRoads::write(const String& kind)
{
    bool finished = false;
    if (kind == "new-course")
        finished = writeNewCourse();
    else if (kind == "course-text")
        finished = writeCourseText();
    else if (kind == "archive")
        finished = writeArchive();
    else if (kind == "review-day")
        finished = writeReviewDays();
    else if (kind == "courseware")
        finished = writeCourseware();
    else if (kind == "retelling")
        finished = writeRetelling();
    else if (kind == "settings")
        finished = writeSettings();
    if (finished)
        tell("done");
    return finished;
}
