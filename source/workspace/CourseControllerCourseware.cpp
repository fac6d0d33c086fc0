#include "workspace/CourseController.h"

#include "engine/ArchiveJob.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CoursewareFile.h"
#include "engine/DocumentManager.h"
#include "engine/ExAudioFileReader.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

namespace
{
const juce::String lineBreak("\r\n");

void showInfo(const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, message);
}

/** The file the learner chose, with the courseware extension when the name was typed without one. */
juce::File withCoursewareExtension(const juce::File& chosen)
{
    if (chosen.getFileExtension() == ".qzc")
        return chosen;
    return chosen.getSiblingFile(chosen.getFileName() + ".qzc");
}

/** Whether the target may be replaced. The chooser asked about the file it returned; a name typed
    without the extension ends up as another file, which gets the chooser's own question. */
bool mayReplace(const juce::File& chosen, const juce::File& target)
{
    if (target == chosen || !target.exists())
        return true;
    return juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::WarningIcon, TRANS("File already exists"),
        TRANS("There's already a file called: FLNM").replace("FLNM", target.getFullPathName()) + "\n\n" +
            TRANS("Are you sure you want to overwrite it?"),
        TRANS("Overwrite"), TRANS("Cancel"));
}
} // namespace

bool CourseController::loadCourseware(const juce::File& coursewareFile)
{
    if (temporaryFolderHoldsFiles())
    {
        showInfo(TRANS("Message"), TRANS("Error: the temp folder is not empty!"));
        return false;
    }

    // Everything is checked before any file joins the working set; a file from someone else that
    // fails leaves the temporary folder as empty as it was.
    const auto temp = DocumentManager::TempDir();
    const auto stem = DocumentManager::getCurrentTimeString(true);
    const auto learnDate = Clock::now();
    const auto unpacked =
        ArchiveJob::perform(TRANS("Reading the course archive..."), coursewareFile.getSize(),
                            [&](const SafeArchive::Monitor& monitor) {
                                return CoursewareFile::unpack(coursewareFile, temp, stem, learnDate, monitor);
                            });
    if (unpacked.failed())
    {
        // A cancel that came as the job was placing the files may have left them; the folder held
        // none before.
        if (temporaryFolderHoldsFiles())
            temp.deleteRecursively();
        // The learner's own cancel is no fault of the file.
        if (!ArchiveJob::wasCancelled(unpacked))
            showInfo(TRANS("Ah oh"), TRANS("Courseware load failed!") + lineBreak + lineBreak +
                                         coursewareFile.getFullPathName());
        return false;
    }

    if (loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)))
        return true;
    // The course model has said why; a working set that can't be opened would block the next one.
    courseModel->courseModelReset();
    temp.deleteRecursively();
    return false;
}

void CourseController::generateCourseware()
{
    if (!isCourseOpen())
        return;
    if (isSentencePlayerPlaying())
        stopSentencePlayer();

    const auto folder = CoursewareFile::saveFolder();
    if (!folder.isDirectory())
        folder.createDirectory();

    const auto name = courseModel->getValue(-1, CourseModel::CourseName).toString();
    const auto stem =
        DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
    juce::FileChooser chooser(TRANS("Generate courseware"),
                              folder.getChildFile(CoursewareFile::fileNameFor(name, stem)), "*.qzc", true);
    if (!chooser.browseForFileToSave(true))
        return;
    const auto target = withCoursewareExtension(chooser.getResult());
    if (!mayReplace(chooser.getResult(), target))
        return;
    const auto entryStem = CoursewareFile::entryStemFor(target);

    const auto scratch = CoursewareFile::scratchFolder();
    scratch.deleteRecursively();
    scratch.createDirectory();
    const auto fail = [&scratch](const juce::String& message)
    {
        showInfo(TRANS("Message"), message);
        scratch.deleteRecursively();
    };

    const auto audio = scratch.getChildFile(entryStem + ".ogg");
    if (!renderWholeCourseTo(audio))
        return fail(TRANS("Render audio data unsuccessful."));

    bool waveformWritten = false;
    {
        ExAudioFileReader waveform(audio, entryStem, scratch);
        waveformWritten = waveform.createCourseFiles(false);
    }
    if (!waveformWritten)
        return fail(TRANS("Render audio thumbnail unsuccessful."));

    // A copy of the tree: the open course stays exactly as it is.
    const auto* courseAudio = courseModel->getReader();
    const auto courseText = CoursewareFile::makeCourseText(
        courseModel->getCourseTree(), courseAudio != nullptr ? courseAudio->lengthInSamples : 0,
        courseAudio != nullptr ? courseAudio->sampleRate : 0.0, systemModel->audioRenderSampleRate);
    if (courseText == nullptr || !CoursewareFile::writeCourseText(
                                     *courseText, scratch.getNonexistentChildFile(entryStem, ".xml", false)))
        return fail(TRANS("Unknown error: the courseware xml file write failed!"));

    const auto listed = scratch.findChildFiles(juce::File::findFiles, false, "*");
    juce::Array<juce::File> files;
    for (int i = listed.size(); --i >= 0;)
        files.add(listed[i]);

    // The old file at the target is replaced only once the new one is whole on the disk.
    const auto written = ArchiveJob::perform(
        TRANS("Writing the course archive..."), ArchiveJob::sizeOf(files),
        [&](const SafeArchive::Monitor& monitor)
        { return SafeArchive::write(target, files, CoursewareFile::compressionLevel, monitor); });
    // A write the learner cancels leaves the old file and is no fault to report.
    if (written.failed() && !ArchiveJob::wasCancelled(written))
        return fail(TRANS("Unknown error: the courseware file write failed!"));
    scratch.deleteRecursively();
}
