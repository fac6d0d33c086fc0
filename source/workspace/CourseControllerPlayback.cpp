// The controller's playback: following the play position, the sentence loop with its pauses, the
// course loop, the moves between sentences and pages, and dictation.
#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/FunctionZone.h"
#include "workspace/Main.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

namespace
{
// The page moves jump this many sentences.
constexpr int sentencesPerPage = 4;
// While dictating, a sentence repeats until the learner moves on.
constexpr int dictationRepeatLimit = 100;
} // namespace

//==============================================================================
void CourseController::playerStarted(AudioSentencesPlayer*)
{
    if (functionZone != nullptr)
        functionZone->playStarted();
    stopTimer(pauseTimer);
    startTimer(followTimer, GlobalData::timerCallbackInterval);
}

void CourseController::playerStopped(AudioSentencesPlayer*)
{
    if (functionZone != nullptr)
        functionZone->playStoped();
    stopTimer(followTimer);
    stopTimer(pauseTimer);
}

void CourseController::timerCallback(int timerId)
{
    if (timerId == followTimer)
        followPlayPosition();
    else if (timerId == pauseTimer)
        endPauseWhenDue();
}

void CourseController::followPlayPosition()
{
    const auto* thumb = courseModel->getCurrentSentence(true);
    if (thumb == nullptr)
        return;

    const int x =
        thumb->getX() + GlobalData::secondsToX(sentencePlayer->transportSource.getCurrentPosition());
    if (thumbsContainer != nullptr)
        thumbsContainer->setCursorPosition(x);
    setStatus(StatusBar::playPosition, GlobalData::secondsToCsString(GlobalData::xToSeconds(x)));

    // The strip jumps on when the cursor nears its right edge, keeping a little of what was played.
    if (waveformViewport != nullptr)
    {
        const int viewX = waveformViewport->getViewPositionX();
        if (x < viewX || x >= viewX + waveformViewport->getViewWidth() - 30)
            waveformViewport->setViewPosition(x - 20, 0);
    }
    makeViewportScroll(false, true);
}

void CourseController::endPauseWhenDue()
{
    const auto elapsedMs = juce::Time::getMillisecondCounter() - pauseStart; // wraps safely
    if (elapsedMs < sentencePlayer->transportSource.getLengthInSeconds() * 1000.0 * pauseFactor)
        return;

    stopTimer(pauseTimer);
    if (repeatCounter >= sentenceRepeatLimit)
    {
        sentenceFinished(sentencePlayer.get());
        return;
    }
    sentencePlayer->start(0.0);
    startTimer(followTimer, GlobalData::timerCallbackInterval);
}

// With a repeat limit of L the sentence is heard L times, each hearing followed by a pause:
// the pause after the last hearing ends here again with the counter past the limit.
void CourseController::sentenceFinished(AudioSentencesPlayer*)
{
    stopTimer(followTimer);
    stopTimer(pauseTimer);
    if (courseModel->getNumSentences() == 0)
        return;

    if (sentenceLoopOn && repeatCounter++ < sentenceRepeatLimit)
    {
        pauseStart = juce::Time::getMillisecondCounter();
        startTimer(pauseTimer, GlobalData::timerCallbackInterval);
        return;
    }

    repeatCounter = 0;
    const int next = courseModel->getSelectedIndex() + 1;
    if (next >= courseModel->getNumSentences())
    {
        moveOnAfterLastSentence();
        return;
    }
    sentencePlayer->setAudioSource(courseModel->getSentenceAudioReader(next));
    sentencePlayer->start(0.0);
    selectWithCursorAtStart(next);
    startTimer(followTimer, GlobalData::timerCallbackInterval);
}

// The course loop counts the hearings of the whole course: with limit 2 it is heard twice.
void CourseController::moveOnAfterLastSentence()
{
    sentencePlayer->setAudioSource(courseModel->getSentenceAudioReader(0));
    if (courseLoopOn && ++courseLoopCounter < courseLoopLimit)
    {
        sentencePlayer->start(0.0);
        startTimer(followTimer, GlobalData::timerCallbackInterval);
    }
    else
    {
        sentencePlayer->stop();
        sentencePlayer->transportSource.setPosition(0.0);
        courseLoopCounter = 0;
    }
    courseModel->selectSentence(0, true);
    setCursorPosition(0.0);
}

//==============================================================================
void CourseController::playOrStop()
{
    // Stopping during a pause ends the pause and the repetition with it.
    if (isSentencePlayerPlaying() || isPausing())
        sentencePlayer->stop();
    else if (sentencePlayer->effectSource != nullptr)
        sentencePlayer->start(-1.0);
}

void CourseController::moveTo(int target, bool cursorAtZero)
{
    repeatCounter = 0;
    const bool playOn = isSentencePlayerPlaying() || isPausing();
    sentencePlayer->setAudioSource(courseModel->getSentenceAudioReader(target));
    if (playOn)
        sentencePlayer->start(0.0);

    if (cursorAtZero)
    {
        courseModel->selectSentence(target, true);
        setCursorPosition(0.0);
    }
    else
    {
        selectWithCursorAtStart(target);
    }
    if (!isSentencePlayerPlaying())
        makeViewportScroll(true, true);
}

void CourseController::selectWithCursorAtStart(int index)
{
    courseModel->selectSentence(index, true);
    const auto* thumb = courseModel->getCurrentSentence(true);
    setCursorPosition(thumb != nullptr ? GlobalData::xToSeconds(thumb->getX()) : 0.0);
}

void CourseController::gotoNextSentence()
{
    const int count = courseModel->getNumSentences();
    const int selected = courseModel->getSelectedIndex();
    if (count == 0)
        return;
    if (selected >= count - 1)
        gotoStartOfCourse();
    else
        moveTo(selected + 1);
}

void CourseController::gotoPrevSentence()
{
    const int selected = courseModel->getSelectedIndex();
    if (courseModel->getNumSentences() == 0)
        return;
    if (selected <= 0)
        gotoEnd();
    else
        moveTo(selected - 1);
}

void CourseController::gotoNextPage()
{
    const int count = courseModel->getNumSentences();
    if (count > 0)
        moveTo(juce::jmin(courseModel->getSelectedIndex() + sentencesPerPage, count - 1));
}

void CourseController::gotoPrevPage()
{
    if (courseModel->getNumSentences() > 0)
        moveTo(juce::jmax(courseModel->getSelectedIndex() - sentencesPerPage, 0));
}

void CourseController::gotoStartOfCourse()
{
    if (courseModel->getNumSentences() > 0)
        moveTo(0, true);
}

void CourseController::gotoEnd()
{
    const int count = courseModel->getNumSentences();
    if (count > 0)
        moveTo(count - 1);
}

void CourseController::gotoStartOfSentence()
{
    sentencePlayer->transportSource.setPosition(0.0);
    if (const auto* thumb = courseModel->getCurrentSentence(true))
        setCursorPosition(GlobalData::xToSeconds(thumb->getX()));
}

int CourseController::getCursorPosition() const
{
    return thumbsContainer != nullptr ? thumbsContainer->getCursorX() + 1 : 0;
}

void CourseController::setPlayPosition(bool loadSelectedSentence, const double& seconds)
{
    if (loadSelectedSentence)
    {
        cueSelectedSentence();
        if (isPausing())
        {
            stopTimer(pauseTimer);
            repeatCounter = 0;
            sentencePlayer->start(0.0);
        }
    }
    if (seconds >= 0.0)
        sentencePlayer->transportSource.setPosition(seconds);
}

//==============================================================================
void CourseController::makeViewportScroll(bool scrollWaveformStrip, bool scrollPages)
{
    if (scrollWaveformStrip && waveformViewport != nullptr)
        if (const auto* thumb = courseModel->getCurrentSentence(true))
        {
            const int x = thumb->getX();
            const int viewX = waveformViewport->getViewPositionX();
            if (x <= viewX || x >= viewX + waveformViewport->getViewWidth() - 60)
                waveformViewport->setViewPosition(x - 60, 0);
        }

    if (scrollPages)
        scrollPagesToSelection();
}

// The selected page sentence goes to the middle of the view across, and down into view with a
// margin above it when it lies too near the top or the bottom.
void CourseController::scrollPagesToSelection()
{
    const auto* page = courseModel->getCurrentSentence(false);
    if (pagesViewport == nullptr || pagesContainer == nullptr || page == nullptr ||
        !pagesContainer->isParentOf(page))
        return;

    // In the container's coordinates, so that the zoom of the pages counts.
    const auto area = pagesContainer->getLocalArea(page, page->getLocalBounds());
    const int px = area.getX(), py = area.getY(), w = area.getWidth();

    const int viewWidth = pagesViewport->getViewWidth();
    if (px + w / 2 != pagesViewport->getViewPositionX() + viewWidth / 2)
        pagesViewport->setViewPosition(juce::jmin(px - 50, px - (viewWidth - w) / 2),
                                       pagesViewport->getViewPositionY());

    const int viewY = pagesViewport->getViewPositionY();
    if (!(viewY + 20 < py && py + 120 < viewY + pagesViewport->getViewHeight()))
        pagesViewport->setViewPosition(pagesViewport->getViewPositionX(), py - 60);
}

//==============================================================================
void CourseController::makePlayerEnterDictateMode()
{
    repeatCounter = 0;
    if (!dictating)
    {
        savedLoopOn = sentenceLoopOn;
        savedRepeatLimit = sentenceRepeatLimit;
        savedPauseFactor = pauseFactor;
        dictating = true;
    }
    sentenceLoopOn = true;
    sentenceRepeatLimit = dictationRepeatLimit;
    pauseFactor = systemModel->dictateInterval;

    // A pause running with the old factor ends at once: the dictation pause follows this hearing.
    if (isPausing())
    {
        stopTimer(pauseTimer);
        sentencePlayer->start(0.0);
    }
}

void CourseController::makePlayerExitDictateMode()
{
    repeatCounter = 0;
    if (!dictating)
        return;
    dictating = false;
    sentenceLoopOn = savedLoopOn;
    sentenceRepeatLimit = savedRepeatLimit;
    pauseFactor = savedPauseFactor;
}
