#include "engine/CourseModel.h"

#include "engine/Clock.h"
#include "engine/CourseModelRules.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/sentences/ReviewSentence.h"

#include <limits>

using namespace courseModelRules;

namespace
{
// A sentence whose review is finished carries this interval and the date of 1 February 3013.
constexpr int finishedIntervalDays = 999999;
// The command that starts the interpretation of the selected sentence.
constexpr juce::CommandID interpretCurrentSentence = 0x2005;

juce::String dateText(const juce::Time& time)
{
    return time.toString(true, false);
}

juce::Time finishedDate()
{
    return juce::Time(3013, 1, 1, 0, 0, 0, 0, true);
}

juce::Time fullyReviewedDate()
{
    return juce::Time(3013, 0, 1, 0, 0, 0, 0, true);
}

int firstIntervalDays()
{
    return GlobalData::getNextIntervalDays(0, true);
}

/** A review figure as a course text holds it, whatever came in: a number beyond the integer
    range is kept at its end instead of wrapping round, and a text that is no number reads as 0. */
int readFigure(const juce::var& value)
{
    if (!value.isString())
        return (int)juce::jlimit((double)std::numeric_limits<int>::min(),
                                 (double)std::numeric_limits<int>::max(), (double)value);

    auto text = value.toString().trimStart();
    const bool negative = text.startsWithChar('-');
    if (negative || text.startsWithChar('+'))
        text = text.substring(1);
    const juce::int64 beyond = (juce::int64)std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;
    for (auto c = text.getCharPointer(); juce::CharacterFunctions::isDigit(*c); ++c)
        magnitude = juce::jmin(beyond, magnitude * 10 + (*c - '0'));
    return (int)juce::jlimit((juce::int64)std::numeric_limits<int>::min(),
                             (juce::int64)std::numeric_limits<int>::max(), negative ? -magnitude : magnitude);
}

/** A counter one up or down, held at the ends of the integer range. */
int stepped(int value, int step)
{
    return (int)juce::jlimit((juce::int64)std::numeric_limits<int>::min(),
                             (juce::int64)std::numeric_limits<int>::max(), (juce::int64)value + step);
}

/** The local date at midnight UTC, so that two dates differ by whole days of 24 hours. */
juce::Time calendarDay(const juce::Time& time)
{
    return juce::Time(time.getYear(), time.getMonth(), time.getDayOfMonth(), 0, 0, 0, 0, false);
}

/** How long ago a day's midnight was, in days: the calendar days since then plus the part of
    today gone by on the clock, so that a daylight-saving change in between neither adds nor takes
    an hour. */
double daysSince(const juce::Time& midnight)
{
    const auto now = Clock::now();
    const double wholeDays = std::round((calendarDay(now) - calendarDay(midnight)).inDays());
    const double secondsToday =
        now.getHours() * 3600.0 + now.getMinutes() * 60.0 + now.getSeconds() + now.getMilliseconds() / 1000.0;
    return wholeDays + secondsToday / 86400.0;
}
} // namespace

/** The course model does not hear its own changes while it lives: the review schedule's changes
    run no view or controller callback and do not restart the save timer. */
class CourseModel::NotListening
{
public:
    explicit NotListening(CourseModel& m) : model(m) { model.course.removeListener(&model); }
    ~NotListening() { model.course.addListener(&model); }

private:
    CourseModel& model;
};

bool CourseModel::unfamiliarIsDue(int index) const
{
    return getBool(index, NeedReview) && DocumentManager::isDue(reviewTimeOf(index));
}

juce::Time CourseModel::reviewTimeOf(int index) const
{
    return DocumentManager::dueTimeFromTimeString(getValue(index, NextReviewDate).toString());
}

int CourseModel::reviewFigure(int index, const juce::Identifier& key) const
{
    return readFigure(getValue(index, key));
}

ReviewSentence* CourseModel::getReviewPage(int index) const
{
    return dynamic_cast<ReviewSentence*>(pages[index]);
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
    const auto* view = getReviewPage(index);
    if (view == nullptr || !view->needsReview || !view->due)
        return 2;
    return view->transCorrect() ? 4 : 3;
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
    const int firstInterval = firstIntervalDays();
    undoManager->beginNewTransaction(TRANS("Set sentence need review"));
    setValue(index, NeedReview, true, true);
    if (getInt(index, NextIntervalDays) == 0)
        setValue(index, NextIntervalDays, firstInterval, true);
    if (getValue(index, NextReviewDate).toString().isEmpty())
        setValue(index, NextReviewDate, dateText(DocumentManager::getDateAfterDays(firstInterval)), true);
    setValue(-1, TotalNeedReview, getInt(-1, TotalNeedReview) + 1, true);
    undoManager->beginNewTransaction();
}

void CourseModel::showReviewInfo(int index)
{
    // Figures from elsewhere may be negative or huge; no review yet reads as a rate of 0.
    const int reviews = juce::jmax(0, reviewFigure(index, TotalReviews));
    const double rate = reviews == 0 ? 0.0 : reviewFigure(index, CorrectTimes) * 100.0 / reviews;
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

//==============================================================================
void CourseModel::setNextIntervalDays(int index, bool ok)
{
    if (!isValidIndex(index) || !getBool(index, NeedReview))
        return;

    // A negative interval (only a damaged text holds one) counts as none: the first interval.
    const int current = juce::jmax(0, reviewFigure(index, NextIntervalDays));
    juce::int64 next = GlobalData::getNextIntervalDays(current, ok);
    // A late review earns a bonus of half the days it is late.
    const double late = daysSince(reviewTimeOf(index));
    if (late > 1.0)
        next += (juce::int64)(late * 0.5);

    const NotListening quiet(*this);
    // No interval reaches beyond the finished mark, whatever the settings say.
    if (next >= juce::jmin(systemModel->maxIntervalDays, finishedIntervalDays))
    {
        setValue(index, NextReviewDate, dateText(finishedDate()), false);
        setValue(index, NextIntervalDays, finishedIntervalDays, false);
        return;
    }
    setValue(index, NextIntervalDays, (int)next, false);
    setValue(index, NextReviewDate, dateText(DocumentManager::getDateAfterDays((int)next)), false);
}

void CourseModel::reviewSuccessed(SentenceComponent* view, bool counted)
{
    const int index = indexAmongPages(view);
    if (index < 0)
        return;

    if (counted)
    {
        // Heard by the model: the sentence is selected and the save timer restarts.
        setValue(index, TotalReviews, stepped(juce::jmax(0, reviewFigure(index, TotalReviews)), 1), false);
        setValue(index, CorrectTimes, stepped(reviewFigure(index, CorrectTimes), 1), false);
        setNextIntervalDays(index, true);
    }
    if (systemModel->transWhenReview)
        owner->lowerDueSentenceCount();

    transFirstDueSentence();
    commandManager->commandStatusChanged();
}

void CourseModel::reviewFailed(SentenceComponent* view)
{
    const int index = indexAmongPages(view);
    if (index < 0)
        return;

    // A failure takes a right answer back, so the correct count can fall below 0.
    setValue(index, TotalReviews, stepped(juce::jmax(0, reviewFigure(index, TotalReviews)), 1), false);
    setValue(index, CorrectTimes, stepped(reviewFigure(index, CorrectTimes), -1), false);
    setNextIntervalDays(index, false);
}

//==============================================================================
void CourseModel::transCurrentDueSentence()
{
    if (owner->isSentencePlayerPlaying())
        owner->stopSentencePlayer();
    if (auto* view = getReviewPage(selected))
        view->enterTranslationOnModal();
}

void CourseModel::transFirstDueSentence()
{
    if (!systemModel->transWhenReview || courseFile == juce::File() || learning)
        return;

    for (int i = 0; i < pages.size(); ++i)
        if (auto* view = getReviewPage(i); view != nullptr && view->enterTranslationOnModal())
        {
            showDueSentence(i);
            return;
        }

    if (!allUnfamiliarsHaveTexts())
    {
        showRefusal(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                    {TRANS("All unfamiliar sentences must have their text."), juce::String(),
                     TRANS("Please complete all necessary texts first.")});
        return;
    }

    if (allReviewedAndMakerNeedDel())
        showRefusal(juce::MessageBoxIconType::InfoIcon, TRANS("Congratulations!"),
                    {TRANS("This course has been full-reviewed completly."), juce::String(),
                     TRANS("It can be removed in 'Course Manager' dialog.")});

    const int choice = juce::AlertWindow::showYesNoCancelBox(
        juce::MessageBoxIconType::InfoIcon, TRANS("Congratulations!"),
        TRANS("This course review completed today. ") + lineBreak + lineBreak +
            TRANS("What do you want to do next?"),
        TRANS("Review next due course"), TRANS("Interpreter training"), {}, nullptr, nullptr);
    if (choice == 1)
    {
        owner->currentCourseReviewFinished();
    }
    else if (choice == 2)
    {
        selectFirstDueSentence();
        commandManager->invokeDirectly(interpretCurrentSentence, true);
    }
}

bool CourseModel::allUnfamiliarsHaveTexts()
{
    for (int i = 0; i < getNumSentences(); ++i)
        // A text of blanks only is no text: it would match an empty answer.
        if (getBool(i, NeedReview) && getValue(i, EnglishText).toString().trim().isEmpty())
        {
            showDueSentence(i);
            return false;
        }
    return true;
}

bool CourseModel::allReviewedAndMakerNeedDel()
{
    for (int i = 0; i < getNumSentences(); ++i)
        if (getBool(i, NeedReview) && reviewFigure(i, NextIntervalDays) != finishedIntervalDays)
            return false;

    const NotListening quiet(*this);
    setValue(-1, NowStatus, -1, false);
    setValue(-1, NextReviewDate, dateText(fullyReviewedDate()), false);
    return true;
}

void CourseModel::updateCourseAttribWhenReviewed()
{
    if (courseFile == juce::File())
        return;

    // Reviews by listening only: every due sentence counts as heard and known.
    if (!systemModel->transWhenReview)
        for (int i = getNumSentences(); --i >= 0;)
            if (unfamiliarIsDue(i))
            {
                setValue(i, TotalReviews, stepped(juce::jmax(0, reviewFigure(i, TotalReviews)), 1), false);
                setValue(i, CorrectTimes, stepped(reviewFigure(i, CorrectTimes), 1), false);
                setNextIntervalDays(i, true);
                owner->lowerDueSentenceCount();
            }

    auto earliest = finishedDate();
    for (int i = 0; i < getNumSentences(); ++i)
        if (getBool(i, NeedReview))
            earliest = juce::jmin(earliest, reviewTimeOf(i));
    const auto next = dateText(earliest);

    int dueThen = 0;
    for (int i = 0; i < getNumSentences(); ++i)
        if (getValue(i, NextReviewDate).toString() == next)
            ++dueThen;

    const NotListening quiet(*this);
    setValue(-1, NextReviewDate, next, false);
    setValue(-1, NextNeedReview, dueThen, false);
}

//==============================================================================
bool CourseModel::isDueInThisReview(int index) const
{
    const int status = getSentenceStatus(index);
    return status == 3 || status == 4;
}

void CourseModel::showDueSentence(int index)
{
    selectSentence(index, true);
    owner->setPlayPosition(true, 0.0);
    // The cursor and the status bar go along: an answer's own changes left them on its sentence.
    moveCursorToSentence(index);
    owner->makeViewportScroll(true, true);
}

int CourseModel::findDueSentence(int from, int step) const
{
    for (int i = from; i >= 0 && i < getNumSentences(); i += step)
        if (isDueInThisReview(i))
            return i;
    return -1;
}

bool CourseModel::selectDueSentenceFound(int index)
{
    if (index < 0)
        return false;
    showDueSentence(index);
    return true;
}

bool CourseModel::selectFirstDueSentence()
{
    return selectDueSentenceFound(findDueSentence(0, 1));
}

bool CourseModel::selectPrevDueSentence()
{
    if (selected < 1)
        return false;
    return selectDueSentenceFound(findDueSentence(selected - 1, -1));
}

bool CourseModel::selectNextDueSentence()
{
    return selectDueSentenceFound(findDueSentence(juce::jmax(0, selected + 1), 1));
}

bool CourseModel::currentSentenceIsFirstDue() const
{
    const int first = findDueSentence(0, 1);
    return first >= 0 && first == selected;
}

bool CourseModel::currentSentenceIsLastDue() const
{
    const int last = findDueSentence(getNumSentences() - 1, -1);
    return last >= 0 && last == selected;
}
