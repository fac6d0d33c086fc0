#include "workspace/CourseController.h"

#include "dialogs/NoteEditor.h"
#include "dialogs/SystemSetupModule.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/FileReplacement.h"
#include "engine/GlobalData.h"
#include "engine/SafeXml.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioCDExtractor.h"
#include "engine/audio/AudioDataPlayer.h"
#include "engine/audio/AudioRecorder.h"
#include "platform/AudioCdDiscs.h"
#include "workspace/FunctionZone.h"
#include "workspace/Main.h"
#include "workspace/PopupMenuComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/panels/MixerAndLoopPanel.h"

namespace
{
const juce::String lineBreak("\r\n");
// The command that starts the interpretation of the selected sentence.
const int interpretCurrentSentence = 0x2005;

void showBox(juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(icon, title, message);
}
} // namespace

CourseController::CourseController()
{
    // A kill while an archive or a mobile file was written leaves a scratch file beside it.
    DocumentManager::removeInterruptedWrites();
    DocumentManager::getCoursesNeedReview(dueCourses, dueSentences);
    countDueSentencesLeftInWorkingSet();
    DocumentManager::createTomorrowMobileFiles(systemModel->keepPreviousMobileDir);

    courseModel = std::make_unique<CourseModel>(this);
    sentencePlayer = std::make_unique<AudioSentencesPlayer>();
    sentencePlayer->addListener(this);
}

CourseController::~CourseController()
{
    stopTimer(followTimer);
    stopTimer(pauseTimer);
    if (isCourseOpen())
        stopUsageTiming();
    mixerPanel.reset();
    noteEditor.reset();
    sentencePlayer->removeListener(this);
    sentencePlayer.reset();
    courseModel.reset();
    systemSetup.reset();
}

void CourseController::countDueSentencesLeftInWorkingSet()
{
    const auto courseText = DocumentManager::getCourseFile(DocumentManager::courseText);
    if (!courseText.existsAsFile())
        return;
    if (const auto course = SafeXml::parse(courseText))
        dueSentences += DocumentManager::countDueSentences(*course);
}

void CourseController::releaseReplay()
{
    if (replayPlayer != nullptr)
        replayPlayer->setAudioSource(nullptr);
}

void CourseController::addViews(juce::Component* view)
{
    if (auto* strip = dynamic_cast<ThumbsContainer*>(view))
        thumbsContainer = strip;
    else if (auto* pages = dynamic_cast<PagesContainer*>(view))
        pagesContainer = pages;
    else if (auto* status = dynamic_cast<StatusBar*>(view))
        statusBar = status;
    else if (auto* toolbar = dynamic_cast<FunctionZone*>(view))
        functionZone = toolbar;
}

void CourseController::setViewports(juce::Viewport* waveformStrip, juce::Viewport* pages)
{
    waveformViewport = waveformStrip;
    pagesViewport = pages;
}

bool CourseController::isCourseOpen() const
{
    return courseModel->getCourseFile() != juce::File();
}

bool CourseController::temporaryFolderHoldsFiles()
{
    return DocumentManager::TempDir().getNumberOfChildFiles(juce::File::findFiles) > 0;
}

//==============================================================================
void CourseController::startWholeApplication()
{
    // What a killed run left half-written: recordings, and copies not yet renamed into place.
    AudioRecorder::deleteLeftoverRecordings();
    FileReplacement::deleteLeftovers(DocumentManager::TempDir());
    finishInterruptedArchiving();

    const auto leftCourse = DocumentManager::getCourseFile(DocumentManager::courseText);
    if (leftCourse.existsAsFile())
    {
        loadGivenCourse(leftCourse);
        return;
    }

    if (temporaryFolderHoldsFiles())
        DocumentManager::TempDir().deleteRecursively();

    if (dueCourses.size() >= systemModel->atLeastUnreview)
        reviewCourse();
}

bool CourseController::learnNewCourse()
{
    // The discs in the drives and the images are shown as folders of ".cda" files; they are
    // brought up to date for the chooser to find them.
    AudioCdDiscs::refreshPlaceholders();
    // "*.fla" alone matches no ".flac" file, the extension FLAC recordings carry.
    juce::FileChooser chooser(TRANS("Select an audio file and open it"), juce::File(),
                              "*.qzc; *.mp3; *.wav; *.aiff; *.aif; *.wma; *.ogg; *.fla; *.flac; *.cda", true);
    if (!chooser.browseForFileToOpen())
        return false;

    const auto file = chooser.getResult();
    const auto extension = file.getFileExtension();
    if (extension == ".qzc")
        return loadCourseware(file);

    const auto courseText = [] { return DocumentManager::getCourseFile(DocumentManager::courseText); };
    if (extension == ".cda")
    {
        const auto track = extractCdTrack(file);
        if (track == juce::File())
            return false;
        if (!DocumentManager::createCourseFiles(track))
        {
            showBox(juce::MessageBoxIconType::WarningIcon, TRANS("Ah oh"),
                    TRANS("Audio CD data load failed!"));
            return false;
        }
        return loadGivenCourse(courseText());
    }

    if (!DocumentManager::createCourseFiles(file))
    {
        showBox(juce::MessageBoxIconType::WarningIcon, TRANS("Message"), TRANS("File load failed!"));
        return false;
    }
    return loadGivenCourse(courseText());
}

juce::File CourseController::extractCdTrack(const juce::File& cdaFile)
{
    if (!AudioCDExtractor::isOnCdDrive(cdaFile))
    {
        showBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                TRANS("This file isn't a valid CD audio."));
        return {};
    }
    const auto track =
        DocumentManager::TempDir().getChildFile("CD-" + cdaFile.getFileNameWithoutExtension() + ".wav");
    if (!AudioCDExtractor::extractAudioDataToFile(cdaFile, track))
    {
        // The job has said what went wrong, if anything; a partly written track is no use.
        track.deleteFile();
        return {};
    }
    return track;
}

bool CourseController::reviewCourse()
{
    while (!dueCourses.isEmpty())
    {
        const auto archive = dueCourses.getFirst();
        bool cancelled = false;
        if (openDueCourse(archive, cancelled))
        {
            dueCourses.remove(0);
            return true;
        }
        // A cancelled course stays first in the list, to be opened when asked again.
        if (cancelled)
            return false;
        // One that can't be opened would otherwise be tried, and fail, first every time: it is
        // named and set aside for the day, and the next due course is opened.
        showBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                TRANS("Course archive load failed!") + lineBreak + lineBreak + archive.getFullPathName());
        dropFirstDueCourse();
    }
    return false;
}

bool CourseController::openDueCourse(const juce::File& archive, bool& cancelled)
{
    if (!DocumentManager::unpackDocument(archive, &cancelled))
        return false;
    if (loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)))
        return true;
    // The course model has said why. The unpacked copy would block the next course; the archive
    // itself stays as it is.
    courseModel->courseModelReset();
    DocumentManager::clearWorkingSet();
    return false;
}

void CourseController::dropFirstDueCourse()
{
    // Its due sentences can't be reviewed today either.
    if (const auto course = DocumentManager::readArchivedCourseText(dueCourses.getFirst()))
        dueSentences = juce::jmax(0, dueSentences - DocumentManager::countDueSentences(*course));
    dueCourses.remove(0);
}

//==============================================================================
bool CourseController::loadGivenCourse(const juce::File& courseText)
{
    GlobalData::resetAllRuningGlobalData();
    releaseReplay();
    if (!courseModel->loadCourseTextFile(courseText))
        return false;

    thumbsContainer->addAndDisplaySentences();
    pagesContainer->addAndDisplaySentences();
    if (auto* reader = courseModel->getReader())
        thumbsContainer->setChannelNumber(reader->numChannels == 1);

    showCourseStatus();
    setTitleBarText(true);
    resizeViews();
    zoomStripToFillView();

    if (mixerPanel == nullptr)
        createMixerAndLoopPanel();
    systemModel->startTiming();

    if (!courseModel->isLearning())
    {
        // Typed answers first, when the settings ask for them and a sentence still waits for one;
        // otherwise the review goes by interpretation.
        if (systemModel->transWhenReview && systemModel->transFirst == 1 &&
            courseModel->stillHasDueSentence())
            courseModel->transCurrentDueSentence();
        else
            commandManager->invokeDirectly(interpretCurrentSentence, true);
    }

    makeViewportScroll(true, true);
    showOrHideNoteMarker();
    return true;
}

void CourseController::showCourseStatus()
{
    const int selected = courseModel->getSelectedIndex();
    setStatus(StatusBar::unfamiliarCount, courseModel->getValue(-1, CourseModel::TotalNeedReview).toString());
    setStatus(StatusBar::sentenceCount, juce::String(courseModel->getNumSentences()));
    setStatus(StatusBar::selectedNumber, juce::String(selected + 1));
    setStatus(StatusBar::selectedLength, GlobalData::secondsToCsString(courseModel->getSelectedLength()));
    setStatus(StatusBar::playPosition,
              GlobalData::secondsToCsString(courseModel->getSentenceStartSeconds(selected)));
    setStatus(StatusBar::courseLength, GlobalData::secondsToCsString(courseModel->getCourseSeconds()));
}

void CourseController::zoomStripToFillView()
{
    if (waveformViewport == nullptr)
        return;
    // The zoom stops growing at its maximum, so a course too short to fill the view ends the loop.
    while (courseModel->getNumSentences() > 0 &&
           thumbsContainer->getAllThumbsWidth() < waveformViewport->getMaximumVisibleWidth())
    {
        const auto before = GlobalData::widthZoomFactor;
        thumbsContainer->zoomThumbs(true, 0);
        if (GlobalData::widthZoomFactor <= before)
            break;
    }
}

void CourseController::lowerDueSentenceCount()
{
    // The count comes from the scan at start; a course changed since may answer more.
    dueSentences = juce::jmax(0, dueSentences - 1);
}

void CourseController::giveUpCurrentCourse()
{
    if (isSentencePlayerPlaying())
        stopSentencePlayer();
    if (juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
                                           TRANS("Are you sure you want to give up this course?") +
                                               lineBreak + lineBreak + TRANS("This action can't be undo."),
                                           {}, {}, nullptr, nullptr))
        resetToEmpty();
}

void CourseController::resetToEmpty()
{
    stopTimer(followTimer);
    stopTimer(pauseTimer);
    stopUsageTiming();
    // Unsaved edits in the preferences stay in effect in memory; the next request makes a new
    // window. The notes editor goes after the mixer panel.
    systemSetup.reset();
    mixerPanel.reset();
    noteEditor.reset();

    // Nothing may read the course audio once the model's reader is gone: a replay still playing
    // would read freed memory on its thread.
    releaseReplay();
    sentencePlayer->valueInit();
    courseModel->courseModelReset();
    DocumentManager::clearWorkingSet();

    if (statusBar != nullptr)
        statusBar->resetTimeLabels();
    if (thumbsContainer != nullptr)
    {
        thumbsContainer->resized();
        thumbsContainer->setChannelNumber(true);
    }
    if (pagesContainer != nullptr)
        pagesContainer->pagesReset();
    if (functionZone != nullptr)
        functionZone->showOrHideNoteMarker(false);
    setCursorPosition(0.0);
    setTitleBarText(false);

    GlobalData::resetAllRuningGlobalData();
    courseLoopLimit = 2;
    courseLoopCounter = 0;
    courseLoopOn = false;
    // A count left from a sentence of this course must not shorten the next course's first one.
    repeatCounter = 0;
}

void CourseController::stopUsageTiming()
{
    systemModel->stopTiming(courseModel->isLearning());
}

//==============================================================================
juce::String CourseController::getTitleText(bool withCourse) const
{
    juce::String title("qZ");
    const auto name = courseModel->getValue(-1, CourseModel::CourseName).toString();
    const auto waveform = DocumentManager::getCourseFile(DocumentManager::waveformFile);
    if (!withCourse || name.isEmpty() || !waveform.existsAsFile())
        return title;

    // The stem 2017-0402-1530-07 was made on 2017-04-02.
    const auto day = waveform.getFileNameWithoutExtension().dropLastCharacters(8);
    title << " - " << name << " (" << day.substring(0, 7) << "-" << day.substring(7) << ")";
    if (isCourseOpen())
        title << (courseModel->isLearning() ? TRANS(" - Learning...") : TRANS(" - Reviewing..."));
    return title;
}

void CourseController::setTitleBarText(bool withCourse)
{
    if (statusBar == nullptr)
        return;
    if (auto* window = dynamic_cast<juce::DocumentWindow*>(statusBar->getTopLevelComponent()))
        window->setName(getTitleText(withCourse));
}

void CourseController::setStatus(int type, const juce::String& text)
{
    if (statusBar != nullptr)
        statusBar->setInfo(type, text);
}

void CourseController::cueSelectedSentence()
{
    sentencePlayer->setAudioSource(courseModel->getSentenceAudioReader(courseModel->getSelectedIndex()));
}

void CourseController::resizeViews()
{
    cueSelectedSentence();
    if (thumbsContainer != nullptr)
        thumbsContainer->resized();
    if (pagesContainer != nullptr)
        pagesContainer->resized();
}

void CourseController::setCursorPosition(double seconds)
{
    if (thumbsContainer != nullptr)
        thumbsContainer->setCursorPosition(GlobalData::secondsToX(seconds));
    setStatus(StatusBar::playPosition, GlobalData::secondsToCsString(seconds));
    setStatus(StatusBar::selectedLength, GlobalData::secondsToCsString(courseModel->getSelectedLength()));
    setStatus(StatusBar::selectedNumber, juce::String(courseModel->getSelectedIndex() + 1));
}

void CourseController::unfamiliarNumberChanged()
{
    setStatus(StatusBar::unfamiliarCount, courseModel->getValue(-1, CourseModel::TotalNeedReview).toString());
}

void CourseController::lengthChanged()
{
    setStatus(StatusBar::courseLength, GlobalData::secondsToCsString(courseModel->getCourseSeconds()));
}

void CourseController::showOrHideNoteMarker()
{
    if (functionZone == nullptr)
        return;
    const auto retelling = DocumentManager::getCourseFile(DocumentManager::retelling);
    const bool hasNotes = courseModel->getValue(-1, CourseModel::Notes).toString().isNotEmpty();
    functionZone->showOrHideNoteMarker(hasNotes || (retelling.existsAsFile() && retelling.getSize() > 3));
}

void CourseController::sentenceAdded(int index)
{
    cueSelectedSentence();
    if (thumbsContainer != nullptr)
        thumbsContainer->sentenceAdded(index);
    if (pagesContainer != nullptr)
        pagesContainer->sentenceAdded(index);
    setStatus(StatusBar::sentenceCount, juce::String(courseModel->getNumSentences()));
    setStatus(StatusBar::selectedNumber, juce::String(courseModel->getSelectedIndex() + 1));
}

void CourseController::sentenceRemoved(int index, int lengthInSamples)
{
    cueSelectedSentence();
    if (thumbsContainer != nullptr)
        thumbsContainer->sentenceRemoved(index, lengthInSamples);
    if (pagesContainer != nullptr)
        pagesContainer->sentenceRemoved(index, lengthInSamples);
    setStatus(StatusBar::sentenceCount, juce::String(courseModel->getNumSentences()));
    unfamiliarNumberChanged();
    setStatus(StatusBar::selectedNumber, juce::String(courseModel->getSelectedIndex() + 1));
}

void CourseController::layOutPendingViews()
{
    if (thumbsContainer != nullptr)
        thumbsContainer->layOutIfPending();
    if (pagesContainer != nullptr)
        pagesContainer->layOutIfPending();
}

void CourseController::setSentenceLooping(bool on, int repeatLimit, double factor)
{
    sentenceLoopOn = on;
    sentenceRepeatLimit = repeatLimit;
    pauseFactor = factor;
}

void CourseController::createMixerAndLoopPanel()
{
    mixerPanel = std::make_unique<MixerAndLoopPanel>(this);
    addToolWindowToDesktop(*mixerPanel);
}

void CourseController::showOrHideMixerAndLoopSetup()
{
    if (mixerPanel == nullptr)
        return;
    if (mixerPanel->isVisible())
    {
        mixerPanel->setVisible(false);
        return;
    }
    mixerPanel->setVisible(true);
    mixerPanel->setWidgetsText();
    mixerPanel->grabKeyboardFocus();
}

void CourseController::setSentenceLoopMode()
{
    if (mixerPanel != nullptr)
        mixerPanel->setSentenceLoopMode();
    setLittleIBackground();
}

void CourseController::setCourseLoopMode()
{
    if (mixerPanel != nullptr)
        mixerPanel->setCourseLoopMode();
    setLittleIBackground();
}

void CourseController::setLittleIBackground()
{
    auto* badge = pagesContainer != nullptr ? pagesContainer->getBadge() : nullptr;
    if (badge == nullptr)
        return;
    const bool panel = mixerPanel != nullptr;
    badge->setBackground(panel && mixerPanel->isSentenceLoopOn(), panel && mixerPanel->isCourseLoopOn());
}

void CourseController::updateThumbsWhenVolumeChanged()
{
    if (thumbsContainer != nullptr)
        thumbsContainer->repaint();
}

void CourseController::setCourseTitle(const juce::String& title)
{
    courseModel->setValue(-1, CourseModel::CourseName, title, true);
}

void CourseController::setCourseNotes(const juce::String& notes)
{
    courseModel->setValue(-1, CourseModel::Notes, notes, true);
}

bool CourseController::isSentencePlayerPlaying() const
{
    return sentencePlayer->transportSource.isPlaying();
}

void CourseController::stopSentencePlayer()
{
    sentencePlayer->stop();
}
