#include "workspace/sentences/ReviewSentence.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include <limits>

namespace
{
constexpr int buttonSize = 22;
constexpr int rowHeight = 35;
constexpr int textLeft = 25;
constexpr int textMargin = 30;

// A word of the answer ends at a blank or at one of these marks.
const juce::String wordEnds(" .,?\"'!-/%@()+-*\\&#:;^=|$[]{}");

/** How many of the trimmed answer's characters the field holds before it. */
int leadingBlanks(const juce::String& text)
{
    return text.length() - text.trimStart().length();
}
} // namespace

ReviewSentence::ReviewSentence(juce::AudioThumbnail& overview, int startSample, int endSample, bool isDue)
    : PageSentence(overview, startSample, endSample), answerField(*this), attemptsLeft(allowedAttempts()),
      due(isDue)
{
    addChildComponent(answerField);
    answerField.addListener(this);

    interpretButton.setTooltip(TRANS("Interpret and contrast audition"));
    interpretButton.setSize(buttonSize, buttonSize);
    interpretButton.setColour(juce::TextButton::buttonColourId, juce::Colours::red);
    interpretButton.addListener(this);
    addChildComponent(interpretButton);

    showAnswerFieldIfDue();
}

ReviewSentence::~ReviewSentence()
{
    answerField.removeListener(this);
    interpretButton.removeListener(this);
}

int ReviewSentence::allowedAttempts()
{
    // A settings file may hold 0 or less; every answer gets one try at least.
    return systemModel == nullptr ? 1 : juce::jmax(1, systemModel->atMostWhenReviewWrong);
}

void ReviewSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    if (!unfamiliar)
        due = false;
    showAnswerFieldIfDue();
    resized();
    repaint();
}

void ReviewSentence::showAnswerFieldIfDue()
{
    const bool asking = needsReview && due;
    answerField.setVisible(asking);
    interpretButton.setVisible(asking);
    getTextField(true).setVisible(!due);
}

void ReviewSentence::resized()
{
    PageSentence::resized();
    if (needsReview && due)
    {
        interpretButton.setTopLeftPosition(1, 4);
        answerField.setBounds(textLeft, getHeight() - 2 * rowHeight, getWidth() - textMargin, rowHeight);
    }
}

void ReviewSentence::applySystemTextAttrib()
{
    PageSentence::applySystemTextAttrib();
    if (systemModel != nullptr)
        answerField.applyFontToAllText(systemModel->foreignFont.withStyle(systemModel->foreignFontStyle));
}

//==============================================================================
bool ReviewSentence::transCorrect() const
{
    return getTextField(true).getText().trim() == answerField.getText().trim();
}

bool ReviewSentence::enterTranslationOnModal()
{
    if (!due || transCorrect())
        return false;

    showEditor(0);
    if (systemModel != nullptr)
    {
        answerField.applyColourToAllText(systemModel->foreignTextColour);
        answerField.applyFontToAllText(systemModel->foreignFont.withStyle(systemModel->foreignFontStyle));
    }
    answerField.setOpenForInput(true);
    answerField.enterModalStateOnce();
    return true;
}

void ReviewSentence::showEditor(int index)
{
    if (!needsReview)
        return;

    answerField.setVisible(true);
    answerField.setReadOnly(false);
    answerField.setCaretVisible(true);
    answerField.grabKeyboardFocus();

    const auto answer = answerField.getText();
    const int wordEnd = getWordEndIndex(answer.trim(), index);
    const int wordStop = juce::jmax(wordEnd + (wordEnd == index ? 1 : 0), index);
    // The positions count in the trimmed answer; the field holds the blanks before it too, so a
    // learner who typed leading blanks is still shown the wrong word itself.
    const int offset = leadingBlanks(answer);
    answerField.selectWithCaretAtStart(offset + index, offset + wordStop);
}

void ReviewSentence::textEditotExitModal()
{
    answerField.setReadOnly(true);
    answerField.setCaretVisible(false);
    answerField.setPopupMenuEnabled(false);
    answerField.setMouseCursor(juce::MouseCursor::NormalCursor);
    answerField.setHighlightedRegion(juce::Range<int>::emptyRange(0));
    if (answerField.isCurrentlyModal(false))
        answerField.exitModalState(0);
    answerField.setOpenForInput(false);
}

//==============================================================================
void ReviewSentence::testAnswer()
{
    // The schedule has taken this sentence's answer for today: nothing more is judged.
    if (answerTaken)
    {
        textEditotExitModal();
        return;
    }

    const int before = attemptsLeft;
    // Every Return counts, however many there were (the count never wraps around).
    attemptsLeft = before > std::numeric_limits<int>::min() ? before - 1 : before;

    if (before > 0 && transCorrect())
    {
        textEditotExitModal();
        takeRightAnswer(systemModel != nullptr && systemModel->transWhenReview);
    }
    else if (attemptsLeft > 0)
    {
        playAlertSound();
        pointAtFirstDifference();
    }
    else if (transCorrect())
    {
        // Right only after the attempts ran out: moves on, but is not counted as a right answer.
        textEditotExitModal();
        takeRightAnswer(false);
    }
    else
    {
        playAlertSound();
        askAfterAttemptsRanOut();
    }
}

void ReviewSentence::askAfterAttemptsRanOut()
{
    attemptsRanOut = true;
    juce::Component::SafePointer<ReviewSentence> safeThis(this);
    const bool tryAgain =
        juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::InfoIcon, TRANS("Incorrect!"),
                                           TRANS("If you want to know the correct answer,") + "\r\n" +
                                               TRANS("try again or cancel, and please press [ctrl + G]."),
                                           TRANS("Try again"), {}, nullptr, nullptr);
    // The box's own loop runs everything else meanwhile; the course may have been closed.
    if (safeThis == nullptr)
        return;

    if (!tryAgain)
    {
        // The learner may now look at the foreign text (Ctrl+G) and compare.
        textEditotExitModal();
        answerField.applyColourToAllText(juce::Colours::red);
        answerField.applyFontToAllText(answerField.getFont().boldened());
        return;
    }

    // The failure is reported on the first try again after the attempts ran out.
    if (!reportFailureOnce())
        return;
    pointAtFirstDifference();
}

bool ReviewSentence::reportFailureOnce()
{
    // Once a day: attempts that run out again after an Escape fail nothing more.
    if (failureReported || systemModel == nullptr || !systemModel->transWhenReview)
        return true;
    failureReported = true;
    juce::Component::SafePointer<ReviewSentence> safeThis(this);
    callListeners([this](SentenceComponent::Listener& l) { l.reviewFailed(this); });
    return safeThis != nullptr;
}

void ReviewSentence::takeRightAnswer(bool counted)
{
    // Attempts that ran out make the day's answer a failure, even when the learner cancelled the
    // box (which reported nothing) or took fresh attempts with Escape since.
    if (attemptsRanOut)
    {
        if (!reportFailureOnce())
            return;
        counted = false;
    }
    answerTaken = true;
    reportSuccess(counted);
}

void ReviewSentence::pointAtFirstDifference()
{
    showEditor(getDiffrentIndex(getTextField(true).getText().trim(), answerField.getText().trim()));
}

void ReviewSentence::reportSuccess(bool counted)
{
    callListeners([this, counted](SentenceComponent::Listener& l) { l.reviewSuccessed(this, counted); });
}

void ReviewSentence::answerFieldOpenedByLearner()
{
    callListeners([this](SentenceComponent::Listener& l) { l.hasBeenEnterTransModal(this); });
}

void ReviewSentence::playAlertSound()
{
    juce::LookAndFeel::getDefaultLookAndFeel().playAlertSound();
}

int ReviewSentence::getDiffrentIndex(const juce::String& first, const juce::String& second)
{
    const int shorter = juce::jmin(first.length(), second.length());
    auto a = first.getCharPointer();
    auto b = second.getCharPointer();
    for (int i = 0; i < shorter; ++i, ++a, ++b)
        if (*a != *b)
            return i;
    return shorter;
}

int ReviewSentence::getWordEndIndex(const juce::String& text, int from)
{
    const int length = text.length();
    auto c = text.getCharPointer();
    for (int i = 0; i < length; ++i, ++c)
        if (i >= from && wordEnds.containsChar(*c))
            return i;
    return length;
}

//==============================================================================
void ReviewSentence::buttonClicked(juce::Button*)
{
    juce::Component::SafePointer<ReviewSentence> safeThis(this);
    callListeners([this](SentenceComponent::Listener& l) { l.hasBeenSelected(this); });
    if (safeThis == nullptr)
        return;
    callListeners([this](SentenceComponent::Listener& l) { l.setPlayPosition(this, 0); });
    invokeAsync(interpretCurrentSentence);
}

void ReviewSentence::textEditorReturnKeyPressed(juce::TextEditor&)
{
    testAnswer();
}

void ReviewSentence::textEditorEscapeKeyPressed(juce::TextEditor&)
{
    answerField.setText({}, false);
    textEditotExitModal();
    attemptsLeft = allowedAttempts();
}
