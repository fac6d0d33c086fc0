#include "kill/KillNotes.h"
#include "kill/KillRoads.h"

#include "engine/CourseModel.h"
#include "engine/CoursewareFile.h"
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

#include "harness/ModalAnswerer.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"
#include "harness/TemporaryHome.h"

using juce::File;
using juce::String;

namespace
{
// A window at the start is a fault here: it is looked at briefly and dismissed.
const int windowPatienceMs = 300;

bool readsWhole(const File& audio)
{
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(audio));
    if (reader == nullptr || reader->lengthInSamples <= 0)
        return false;
    juce::AudioBuffer<float> samples((int)reader->numChannels, (int)reader->lengthInSamples);
    return reader->read(&samples, 0, samples.getNumSamples(), 0, true, true);
}

/** What is wrong with the library's archive of the course; empty when it unpacks into a review
    course whose every file reads. */
String archiveFault(const String& stem)
{
    const auto archive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    const auto folder = homeFile("kill-unpacked");
    folder.deleteRecursively();
    const auto unpacked = SafeArchive::unpack(archive, folder, DocumentManager::isWorkingSetName);
    String fault;
    if (unpacked.failed())
        fault = "its archive does not unpack: " + unpacked.getErrorMessage();
    else if (const auto text = juce::parseXML(folder.getChildFile(stem + ".xml"));
             text == nullptr || text->getIntAttribute(CourseModel::NowStatus) == 0)
        fault = "its archive holds no review course text";
    else if (!folder.getChildFile(stem + ".smg").existsAsFile())
        fault = "its archive holds no waveform file";
    else if (!readsWhole(folder.getChildFile(stem + ".ogg")))
        fault = "its archive's course audio does not read";
    folder.deleteRecursively();
    return fault;
}

/** The files a working set of the stem may hold. */
bool isWorkingSetFile(const String& name, const String& stem)
{
    for (const auto* suffix : {".xml", ".smg", ".ogg", "-retell.ogg"})
        if (name == stem + suffix)
            return true;
    return false;
}

String openStem()
{
    return DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
}

/** The courseware file is the one written before or a later one: whole either way. */
void checkCourseware(juce::StringArray& faults)
{
    const auto folder = homeFile("kill-unpacked");
    folder.deleteRecursively();
    folder.createDirectory();
    const auto unpacked =
        CoursewareFile::unpack(homeFile(KillRoads::coursewareName), folder, "check", juce::Time());
    if (unpacked.failed())
        faults.add("the courseware file does not load: " + unpacked.getErrorMessage());
    folder.deleteRecursively();
}

void checkSettings(int saved, juce::StringArray& faults)
{
    ProcessWideObjects objects;
    const auto colour = systemModel->timeScaleBgColour;
    if (colour != KillNotes::versionColour(saved) && colour != KillNotes::versionColour(saved + 1))
        faults.add("the settings hold neither version " + String(saved) + " nor the next but " +
                   colour.toDisplayString(true));
}

/** What must hold of the course that the workspace reopened, by the kind of write. */
void checkOpenCourse(const String& kind, int saved, bool done, CourseModel& model, juce::StringArray& faults)
{
    const auto stem = openStem();
    if (kind == "course-text")
    {
        const int version = KillNotes::versionOfText(model.getValue(0, CourseModel::EnglishText).toString());
        if (version != saved && version != saved + 1)
            faults.add("the course text holds version " + String(version) + " after version " +
                       String(saved) + " was saved");
    }
    if (kind == "retelling")
    {
        const auto retelling = DocumentManager::getCourseFile(DocumentManager::retelling);
        if (!KillNotes::isRetellingVersion(retelling, saved) &&
            !KillNotes::isRetellingVersion(retelling, saved + 1))
            faults.add("the retelling is neither version " + String(saved) + " nor the next");
    }
    if ((kind == "archive" || kind == "review-day") && done)
        faults.add("a course is still open after the write ended");
    if (kind == "archive" && model.isLearning())
    {
        // The learning course as it was: its own waveform file, no rendered audio beside it.
        juce::MemoryBlock now, before;
        DocumentManager::TempDir().getChildFile(stem + ".smg").loadFileAsData(now);
        KillNotes::original(stem + ".smg").loadFileAsData(before);
        if (now != before)
            faults.add("the learning course has another waveform file");
        if (DocumentManager::TempDir().getChildFile(stem + ".ogg").existsAsFile())
            faults.add("the learning course has rendered audio beside it");
    }
}
} // namespace

String KillRoads::check(const String& kind, const File& progressFile)
{
    const int saved = KillNotes::lastSavedVersion(progressFile);
    const bool done = KillNotes::reportedDone(progressFile);
    juce::StringArray faults;

    // The settings as the start reads them, before anything is saved again.
    if (kind == "settings")
        checkSettings(saved, faults);

    ModalAnswerer answerer;
    answerer.setPatience(windowPatienceMs);
    OpenWorkspace workspace([] { systemModel->atLeastUnreview = 1000; });
    for (const auto& seen : answerer.seen())
        faults.add("a window at the start: " + seen.describe());

    auto& controller = workspace.controller();
    const auto stem = controller.isCourseOpen() ? openStem() : String();
    const auto text = DocumentManager::getCourseFile(DocumentManager::courseText);
    if (text.existsAsFile() && !controller.isCourseOpen())
        faults.add("the course text " + text.getFileName() + " was left but does not load");
    for (const auto& file : DocumentManager::TempDir().findChildFiles(File::findFiles, false, "*"))
        if (!isWorkingSetFile(file.getFileName(), stem))
            faults.add("a stray file in the working set: " + file.getFileName());
    for (const auto& folder : {DocumentManager::TempDir().getParentDirectory(), DocumentManager::CourseDir(),
                               DocumentManager::MobileDir()})
        for (const auto& file : folder.findChildFiles(File::findFiles, false, "*"))
            if (DocumentManager::isScratchName(file.getFileName()))
                faults.add("a scratch file left: " + file.getFileName());

    for (const auto& course : KillNotes::courses())
    {
        const bool archived = DocumentManager::CourseDir().getChildFile(course + ".mqz").existsAsFile();
        const auto fault = archived ? archiveFault(course) : String();
        if (fault.isNotEmpty())
            faults.add(course + ": " + fault);
        if (course != stem && (!archived || fault.isNotEmpty()))
            faults.add(course + " exists nowhere");
        const auto mobile = DocumentManager::MobileDir().getChildFile("M-" + course + ".ogg");
        if (mobile.existsAsFile() && !readsWhole(mobile))
            faults.add(course + ": its mobile file does not read");
        if (kind == "archive" && done && !archived)
            faults.add(course + " is not in the library after the write ended");
    }
    if (kind == "courseware")
        checkCourseware(faults);
    if (controller.isCourseOpen())
        checkOpenCourse(kind, saved, done, workspace.model(), faults);
    else if (kind == "course-text" || kind == "courseware" || kind == "retelling" ||
             (kind == "new-course" && done))
        faults.add("the course did not open again");
    return faults.joinIntoString("; ");
}
