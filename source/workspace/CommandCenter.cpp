#include "workspace/CommandCenter.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "engine/audio/AudioSentencesPlayer.h"
#include "platform/SystemLauncher.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

std::function<void(CommandCenter::PopupMenuType)> CommandCenter::rightClickMenuRequested;
std::function<void()> CommandCenter::systemMenuRequested;
std::function<bool(const juce::URL&)> CommandCenter::openWithSystem = SystemLauncher::open;
juce::String CommandCenter::interpretWindowPosition;

namespace
{
/** The amounts in seconds of the boundary adjustments, by key column. */
const double adjustmentSeconds[] = {0.05, 0.1, 0.2, 0.3, 0.5};
} // namespace

//==============================================================================
CommandCenter::CommandCenter(CourseController* courseController)
    : controller(courseController), courseModel(&courseController->getCourseModel()),
      replayPlayer(std::make_unique<AudioDataPlayer>())
{
    checkCommandTable();
    controller->setReplayPlayer(replayPlayer.get());
}

CommandCenter::~CommandCenter()
{
    controller->setReplayPlayer(nullptr);
}

juce::ApplicationCommandTarget* CommandCenter::getNextCommandTarget()
{
    // The application holds the framework's standard commands, such as quit.
    return juce::JUCEApplication::getInstance();
}

//==============================================================================
bool CommandCenter::perform(const InvocationInfo& info)
{
    const auto id = info.commandID;
    if (id < firstCommand || id > lastCommand)
        return false;
    if (id >= startEarlier005 && id <= endLater05)
    {
        adjustBoundary(id);
        return true;
    }
    if (id >= popupSystemMenuCommand && id <= shareAndDiscuss)
        return performAppCommand(id);
    if (id >= playStop)
        return performPlayOrViewCommand(id);
    if (id >= coursesManager || id == giveUpCourse || (id >= interpretSentence && id <= generateCourseware))
        return performCourseCommand(id);
    return performEditCommand(id);
}

void CommandCenter::adjustBoundary(juce::CommandID commandID)
{
    const int offset = commandID - startEarlier005;
    const int column = offset / 5; // start earlier, start later, end earlier, end later
    const int samples = (int)(adjustmentSeconds[offset % 5] * GlobalData::courseAudioSampleRate);
    const bool later = column == 1 || column == 3;
    if (column < 2)
        courseModel->changeCurrentSentenceStart(later ? samples : -samples);
    else
        courseModel->changeCurrentSentenceEnd(later ? samples : -samples);
}

bool CommandCenter::performEditCommand(juce::CommandID commandID)
{
    const int selected = courseModel->getSelectedIndex();
    switch (commandID)
    {
    case autoSplit:
        courseModel->autoSplitSelectedSentence();
        break;
    case manualSplit:
        manualSplitCurrentSentence();
        break;
    case mergeSentence:
        courseModel->mergeSentences(selected);
        break;
    case removeSentence:
        courseModel->removeSentence(selected);
        break;
    case switchInputStatus:
        if (auto* page = courseModel->getCurrentSentence(false))
            page->switchTextInputStatus();
        break;
    case dictateOn:
        controller->makePlayerEnterDictateMode();
        break;
    case dictateOff:
        controller->makePlayerExitDictateMode();
        break;
    case undoCommand:
        undoManager->undo();
        break;
    case redoCommand:
        undoManager->redo();
        break;
    default:
        return false;
    }
    return true;
}

bool CommandCenter::performCourseCommand(juce::CommandID commandID)
{
    switch (commandID)
    {
    case interpretSentence:
        PopupInterpretModalWindow();
        break;
    case translateSentence:
        courseModel->transCurrentDueSentence();
        break;
    case joinOrExitReview:
        courseModel->browseInfoAndSetUnfamiliar();
        break;
    case showOriginText:
        popupShowOriginTextModalWindow();
        break;
    case replaySentence:
        playOrStopCurrentSentence();
        break;
    case generateCourseware:
        controller->generateCourseware();
        break;
    case giveUpCourse:
        controller->giveUpCurrentCourse();
        break;
    case coursesManager:
        popupCourseManagerModalWindow();
        break;
    case browseTodayLrf:
        browseTodayMobileDir();
        break;
    case notesAndRetell:
        controller->showOrHideNoteEditor();
        break;
    case audioEffectsAndLoops:
        controller->showOrHideMixerAndLoopSetup();
        break;
    case archiveCourse:
        courseJoinLibrary();
        break;
    case rebuildMobileAudio:
        rebuildCourseMobileFile();
        break;
    case newCourse:
        controller->learnNewCourse();
        break;
    case reviewCourse:
        controller->reviewCourse();
        break;
    default:
        return false;
    }
    return true;
}

bool CommandCenter::performAppCommand(juce::CommandID commandID)
{
    switch (commandID)
    {
    case popupSystemMenuCommand:
        popupSystemMenu();
        return true;
    case preferences:
        controller->showOrHideSystemSetup();
        return true;
    case setupAudioDevices:
        popupAudioSetupModalWindow();
        return true;
    case editShortcuts:
        popupKeyMappingModalWindow();
        return true;
    case statisticsInfo:
        systemModel->popStatisticsWindow();
        return true;
    case aboutApplication:
        popupAboutModalWindow();
        return true;
    case faq:
        return openWithSystem(juce::URL(GlobalData::UserQuestion));
    case helpDocument:
        return openWithSystem(juce::URL(GlobalData::UserHelp));
    case shareAndDiscuss:
        openWithSystem(juce::URL(GlobalData::WebForum));
        return true;
    default:
        return false;
    }
}

bool CommandCenter::performPlayOrViewCommand(juce::CommandID commandID)
{
    auto* pages = controller->getPagesContainer();
    switch (commandID)
    {
    case playStop:
        controller->playOrStop();
        break;
    case sentenceLoop:
        controller->setSentenceLoopMode();
        break;
    case courseLoop:
        controller->setCourseLoopMode();
        break;
    case gotoSentenceStart:
        controller->gotoStartOfSentence();
        break;
    case gotoCourseStart:
        controller->gotoStartOfCourse();
        break;
    case gotoLastSentence:
        controller->gotoEnd();
        break;
    case gotoPrevSentence:
        controller->gotoPrevSentence();
        break;
    case gotoNextSentence:
        controller->gotoNextSentence();
        break;
    case pageUp:
        controller->gotoPrevPage();
        break;
    case pageDown:
        controller->gotoNextPage();
        break;
    case zoomInWaveform:
    case zoomOutWaveform:
        zoomWaveform(commandID == zoomInWaveform);
        break;
    case zoomInPages:
    case zoomOutPages:
        if (pages != nullptr)
            pages->zoomAllPages(commandID == zoomInPages);
        break;
    case pagesNoZoom:
        if (pages != nullptr)
            pages->resetPagesZoom();
        break;
    case pagesArrange:
        flipPagesArrangement();
        break;
    default:
        return false;
    }
    return true;
}

void CommandCenter::zoomWaveform(bool in)
{
    if (auto* strip = controller->getThumbsContainer())
        strip->zoomThumbs(in, controller->getCursorPosition());
}

void CommandCenter::flipPagesArrangement()
{
    systemModel->pagesHorArrange = !systemModel->pagesHorArrange;
    if (auto* pages = controller->getPagesContainer())
        pages->resized();
    // Saved at once, so the arrangement survives a crash as well as a restart.
    systemModel->updateSystemAttrib();
}

//==============================================================================
void CommandCenter::stopSentencePlayer()
{
    if (controller->isSentencePlayerPlaying())
        controller->stopSentencePlayer();
}

void CommandCenter::manualSplitCurrentSentence()
{
    const auto* thumb = courseModel->getCurrentSentence(true);
    if (thumb == nullptr)
        return;
    courseModel->splitSentence(courseModel->getSelectedIndex(),
                               GlobalData::xToSamples(controller->getCursorPosition() - thumb->getX()));
}

void CommandCenter::releaseCourseAudio()
{
    stopSentencePlayer();
    // The replay reads the course audio on its own thread, which the render jobs read too, and
    // archiving or closing the day ends with the course audio gone.
    replayPlayer->setAudioSource(nullptr);
}

void CommandCenter::courseJoinLibrary()
{
    if (!isCourseOpen())
        return;
    releaseCourseAudio();
    if (courseModel->isLearning())
        controller->newCourseAddToLibrary();
    else
        controller->currentCourseReviewFinished();
}

void CommandCenter::rebuildCourseMobileFile()
{
    // Only an archived course (one in review) has a mobile file to rebuild.
    if (!isCourseOpen() || courseModel->isLearning())
        return;
    releaseCourseAudio();
    const juce::String lineBreak("\r\n");
    if (juce::AlertWindow::showOkCancelBox(
            juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
            TRANS("Are you sure you want to rebuild the mobile audio file of this course?") + lineBreak +
                lineBreak + TRANS("This action can't undo and the old one will be replaced."),
            {}, {}, nullptr, nullptr))
        controller->renderMobileAudio();
}

void CommandCenter::browseTodayMobileDir()
{
    stopSentencePlayer();
    const auto dayFolder = DocumentManager::TodayMobileDir();
    if (dayFolder.isDirectory())
        openWithSystem(juce::URL(dayFolder));
    else
        juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Message"),
                                          TRANS("There is no audio file need to listen today."));
}

void CommandCenter::playOrStopCurrentSentence()
{
    // A new reader every time, so a second press starts the sentence again instead of stopping it.
    replayPlayer->setAudioSource(courseModel->getSentenceAudioReader(courseModel->getSelectedIndex()));
    replayPlayer->start();
}
