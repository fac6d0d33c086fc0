#include "engine/CourseModel.h"

#include "engine/CourseModelRules.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/sentences/ReviewSentence.h"

using namespace courseModelRules;

bool CourseModel::unfamiliarIsDue(int index) const
{
    return getBool(index, NeedReview) && DocumentManager::isDue(DocumentManager::timeFromTimeString(
                                             getValue(index, NextReviewDate).toString()));
}

//==============================================================================
int CourseModel::getSentenceStatus(int index) const
{
    if (index < 0 || pages.isEmpty() || courseFile == juce::File())
        return 0;
    if (!isValidIndex(index) || !getBool(index, NeedReview))
        return 1;
    if (learning)
        return 2;

    // The due flag is the one the review view was built with: a sentence that falls due while
    // the course is open waits for the next review day.
    const auto* view = dynamic_cast<const ReviewSentence*>(pages[index]);
    if (view == nullptr || !view->needsReview || !view->due)
        return 2;
    // TODO(review): 4 once the view's typed answer matches (the review view's answer checking).
    return 3;
}

bool CourseModel::stillHasDueSentence() const
{
    if (learning || courseFile == juce::File())
        return false;
    for (int i = getNumSentences(); --i >= 0;)
        if (getSentenceStatus(i) == 3)
            return true;
    return false;
}

void CourseModel::browseInfoAndSetUnfamiliar()
{
    if (!isValidIndex(selected))
        return;
    if (getBool(selected, NeedReview))
        showReviewInfo(selected);
    else
        setUnfamiliar(selected);
}

void CourseModel::setUnfamiliar(int index)
{
    // A sentence whose review was stopped before keeps its interval and date.
    const int firstInterval = GlobalData::getNextIntervalDays(0, true);
    undoManager->beginNewTransaction(TRANS("Set sentence need review"));
    setValue(index, NeedReview, true, true);
    if (getInt(index, NextIntervalDays) == 0)
        setValue(index, NextIntervalDays, firstInterval, true);
    if (getValue(index, NextReviewDate).toString().isEmpty())
        setValue(index, NextReviewDate,
                 DocumentManager::getDateAfterDays(firstInterval).toString(true, false), true);
    setValue(-1, TotalNeedReview, getInt(-1, TotalNeedReview) + 1, true);
    undoManager->beginNewTransaction();
}

void CourseModel::showReviewInfo(int index)
{
    const int reviews = getInt(index, TotalReviews);
    const double rate = reviews == 0 ? 0.0 : getInt(index, CorrectTimes) * 100.0 / reviews;
    const juce::StringArray lines{
        TRANS("Length: ") + juce::String(getSentenceLengthSeconds(index), 2) + "s",
        TRANS("Next review date: ") +
            DocumentManager::transTimeString(getValue(index, NextReviewDate).toString()),
        TRANS("Review times: ") + juce::String(reviews),
        TRANS("Correct rate: ") + juce::String(rate, 1) + "%"};

    if (juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::InfoIcon, TRANS("Sentence info"),
                                           lines.joinIntoString(lineBreak), TRANS("OK"), TRANS("Stop review"),
                                           nullptr, nullptr))
        return;
    if (!juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
                                            TRANS("Are you sure you won't review this sentence agian?"), {},
                                            {}, nullptr, nullptr))
        return;

    // The interval and the date stay, for the day the sentence is marked again.
    undoManager->beginNewTransaction(TRANS("Sentence stop review"));
    setValue(index, NeedReview, false, true);
    setValue(-1, TotalNeedReview, getInt(-1, TotalNeedReview) - 1, true);
    undoManager->beginNewTransaction();
}

void CourseModel::transCurrentDueSentence()
{
    if (owner->isSentencePlayerPlaying())
        owner->stopSentencePlayer();
    // TODO(review): open the selected review view's answer editor (enterTranslationOnModal).
}

// Answers in review are judged by the review schedule, which scores and reschedules them.
void CourseModel::reviewSuccessed(SentenceComponent*, bool) {}

void CourseModel::reviewFailed(SentenceComponent*) {}

// TODO(review): the rest of the review schedule.
void CourseModel::setNextIntervalDays(int, bool) {}
void CourseModel::transFirstDueSentence() {}
bool CourseModel::allUnfamiliarsHaveTexts()
{
    return true;
}
bool CourseModel::allReviewedAndMakerNeedDel()
{
    return false;
}
void CourseModel::updateCourseAttribWhenReviewed() {}

bool CourseModel::selectFirstDueSentence()
{
    return false;
}
bool CourseModel::selectPrevDueSentence()
{
    return false;
}
bool CourseModel::selectNextDueSentence()
{
    return false;
}
bool CourseModel::currentSentenceIsFirstDue() const
{
    return false;
}
bool CourseModel::currentSentenceIsLastDue() const
{
    return false;
}
