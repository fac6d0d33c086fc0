#include "workspace/CourseController.h"

#include "dialogs/NoteEditor.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/ExAudioFileReader.h"
#include "engine/SafeArchive.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioRender.h"
#include "workspace/Main.h"
#include "workspace/containers/PagesContainer.h"

#include <BinaryData.h>

namespace
{
const juce::String lineBreak("\r\n");
// A retelling this short was started and stopped without a word in it.
const juce::int64 shortestRetelling = 5;

void showInfo(const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, title, message);
}

juce::String workingSetStem()
{
    return DocumentManager::getCourseFile(DocumentManager::waveformFile).getFileNameWithoutExtension();
}

/** Where archiving renders the course audio and its waveform file, and keeps the learning
    course's own text and waveform file until the archive is in the library. Inside the
    temporary folder, so that clearing the workspace clears it too, but a folder, so that nothing
    that looks for the working set's files meets it. */
juce::File archivingFolder()
{
    return DocumentManager::TempDir().getChildFile(".archiving");
}

juce::AudioFormatReader* createTipSoundReader()
{
    return formatManager->createReaderFor(std::make_unique<juce::MemoryInputStream>(
        BinaryData::tip_ogg, (size_t)BinaryData::tip_oggSize, false));
}

void deleteEmptyRetelling()
{
    const auto retelling = DocumentManager::getCourseFile(DocumentManager::retelling);
    if (retelling.existsAsFile() && retelling.getSize() < shortestRetelling)
        retelling.deleteFile();
}

bool renderWithSettings(AudioRender& job, const juce::File& target)
{
    return job.render(target, systemModel->audioRenderSampleRate,
                      (unsigned int)systemModel->audioRenderChanels, systemModel->audioRenderQualityLevel);
}
} // namespace

//==============================================================================
bool CourseController::renderWholeCourseTo(const juce::File& target)
{
    AudioRender job;
    const double noPause = 0.0;
    for (int i = 0; i < courseModel->getNumSentences(); ++i)
        job.addAudioSource(courseModel->getSentenceAudioReader(i), 1, noPause);
    job.setAudioEffects(sentencePlayer->gain);
    return renderWithSettings(job, target);
}

bool CourseController::renderCourseAudio()
{
    const auto stem = workingSetStem();
    const auto folder = archivingFolder();
    const auto rendered = folder.getChildFile(stem + ".ogg");
    if (stem.isEmpty() || !renderWholeCourseTo(rendered))
    {
        showInfo(TRANS("Message"), TRANS("Add to library unsuccessful."));
        return false;
    }
    ExAudioFileReader waveform(rendered, stem, folder);
    return waveform.createCourseFiles(false);
}

bool CourseController::renderMobileAudio()
{
    const auto stem = workingSetStem();
    if (!isCourseOpen() || stem.isEmpty())
        return false;

    AudioRender job;
    const double noPause = 0.0;
    for (int i = 0; i < courseModel->getNumSentences(); ++i)
    {
        if (courseModel->getSentenceStatus(i) == 1)
        {
            job.addAudioSource(courseModel->getSentenceAudioReader(i), systemModel->mobNonUnfTimes, noPause);
            continue;
        }
        if (systemModel->mobUnTipSound)
            job.addAudioSource(createTipSoundReader(), 1, noPause);
        job.addAudioSource(courseModel->getSentenceAudioReader(i), systemModel->mobUnfTimes,
                           systemModel->mobUnfInterval);
    }
    job.setAudioEffects(sentencePlayer->gain);

    // The old mobile file stays until the new one is whole: a cancel or a failure keeps it.
    const auto target = DocumentManager::MobileDir().getChildFile("M-" + stem + ".ogg");
    const auto scratch = SafeArchive::scratchFileFor(target);
    if (renderWithSettings(job, scratch) && scratch.replaceFileIn(target))
        return true;
    scratch.deleteFile();
    showInfo(TRANS("Ah oh"), TRANS("Mobile audio file generate unsuccessful."));
    return false;
}

//==============================================================================
bool CourseController::canBeArchived()
{
    if (courseModel->getValue(-1, CourseModel::TotalNeedReview).toString().getIntValue() < 1)
    {
        showInfo(TRANS("Ah oh"), TRANS("There isn't any unfamiliar sentence need review,") + lineBreak +
                                     TRANS("in this case, add to library is not necessary.") + lineBreak +
                                     lineBreak + TRANS("If you want to review this course,") + lineBreak +
                                     TRANS("at least keep one sentence is unfamiliar.") + lineBreak +
                                     lineBreak +
                                     TRANS("Double click a sentence on page or press [Ctrl + J]."));
        return false;
    }
    if (!courseModel->allUnfamiliarsHaveTexts())
    {
        showInfo(TRANS("Ah oh"), TRANS("All unfamiliar sentences must have their text.") + lineBreak +
                                     lineBreak + TRANS("Please complete all necessary texts first."));
        return false;
    }
    return juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::InfoIcon, TRANS("Confirm"),
        TRANS("Are you sure archive this course (add to the library)? "), {}, {}, nullptr, nullptr);
}

// Notes being edited are saved or discarded, as the learner says, before the working set goes.
void CourseController::askToSaveNotes()
{
    if (noteEditor != nullptr && noteEditor->isVisible())
    {
        noteEditor->askSaveOrNot();
        noteEditor->setVisible(false);
    }
}

void CourseController::newCourseAddToLibrary()
{
    if (!isCourseOpen() || !courseModel->isLearning())
        return;
    if (isSentencePlayerPlaying())
        stopSentencePlayer();
    if (!canBeArchived())
        return;

    askToSaveNotes();

    const auto scratch = archivingFolder();
    scratch.deleteRecursively();
    if (!renderCourseAudio() || !renderMobileAudio())
    {
        // The learning course is as it was: its own recording, text and waveform file.
        scratch.deleteRecursively();
        return;
    }

    if (!archiveRenderedCourse())
        restoreLearningCourse();
    scratch.deleteRecursively();
}

bool CourseController::archiveRenderedCourse()
{
    const auto stem = workingSetStem();
    const auto scratch = archivingFolder();

    // The review course is put together in the scratch folder, beside its rendered audio and
    // waveform file, and packed from there: the learning course's own files stay as they are
    // until the archive is in the library, so a failure or a kill at any step leaves it whole.
    const auto reviewText = scratch.getChildFile(stem + ".xml");
    // The learning course's text is brought up to date first, for a failure to reopen it from.
    courseModel->saveCourseTextFile();
    if (!courseModel->updateAndSaveTextOfNewCourse(reviewText))
        return false;
    deleteEmptyRetelling();
    juce::Array<juce::File> files{scratch.getChildFile(stem + ".ogg"), scratch.getChildFile(stem + ".smg"),
                                  reviewText};
    const auto retelling = DocumentManager::getCourseFile(DocumentManager::retelling);
    if (retelling.existsAsFile())
        files.add(retelling);
    // A cancel is no fault to report: the library is as it was, and so is the learning course.
    bool cancelled = false;
    if (!DocumentManager::packDocument(stem, files, &cancelled))
    {
        if (!cancelled)
            showInfo(TRANS("Message"), TRANS("Unknown error: the course document write failed!"));
        return false;
    }
    resetToEmpty();
    return true;
}

bool CourseController::finishInterruptedArchiving()
{
    // Archiving packs the review course's text from the scratch folder: an archive in the library
    // that holds that very text was made, and only the clearing of the workspace was cut short.
    const auto reviewText = archivingFolder().getChildFile(workingSetStem() + ".xml");
    const bool archived = reviewText.existsAsFile() && DocumentManager::archiveHoldsCourseText(reviewText);
    if (archived)
        DocumentManager::clearWorkingSet();
    else
        archivingFolder().deleteRecursively();
    return archived;
}

void CourseController::restoreLearningCourse()
{
    // The learning course's files were never changed; the model stopped following its tree for
    // the conversion, so opening the course again brings back the learning course as it is on
    // the disk, its views and its timing.
    const auto courseText = courseModel->getCourseFile();
    stopUsageTiming();
    if (pagesContainer != nullptr)
        pagesContainer->pagesReset();
    loadGivenCourse(courseText);
}

//==============================================================================
void CourseController::currentCourseReviewFinished()
{
    if (!isCourseOpen() || courseModel->isLearning())
        return;

    askToSaveNotes();

    deleteEmptyRetelling();
    courseModel->updateCourseAttribWhenReviewed();
    courseModel->saveCourseTextFile();
    systemModel->stopTiming(false);

    // A failed or cancelled write keeps the day's results in the working set, which the next
    // start reopens, and the library as it was; the course stays open, and the time spent with it
    // counts again. Only a failure is reported.
    bool cancelled = false;
    if (!DocumentManager::packDocument(&cancelled))
    {
        if (!cancelled)
            showInfo(TRANS("Message"), TRANS("Unknown error: the course document write failed!"));
        systemModel->startTiming();
        return;
    }
    resetToEmpty();
    // The day is done only when no course is left due: one whose opening the learner cancels
    // stays due, and one that can't be opened is named by reviewCourse.
    if (dueCourses.isEmpty())
        showInfo(TRANS("Congratulations!"), TRANS("All courses review completed today."));
    else
        reviewCourse();
}
