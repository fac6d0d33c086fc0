#pragma once

#include "workspace/sentences/PageSentence.h"
#include "workspace/sentences/TransTextEditor.h"

/** The page block used while a course is reviewed.

    For an unfamiliar sentence that was due when the block was built, the foreign text is hidden
    and an answer field stands in its place, with a small red button that opens the
    interpretation of the sentence. Return checks the typed answer against the hidden text within
    a number of attempts, points the learner at the first wrong word, and reports a right answer
    (reviewSuccessed) or attempts that ran out (reviewFailed) to the listeners. */
class ReviewSentence : public PageSentence, private juce::Button::Listener, private juce::TextEditor::Listener
{
public:
    /** The command that opens the interpretation of the selected sentence. */
    static constexpr juce::CommandID interpretCurrentSentence = 0x2005;

    ReviewSentence(juce::AudioThumbnail& overview, int startSample, int endSample, bool isDue);
    ~ReviewSentence() override;

    /** A sentence that stops being unfamiliar is no longer due either. The answer field and the
        button show for a due unfamiliar sentence, the foreign text for one not due. */
    void needReview(bool unfamiliar) override;
    void resized() override;
    void applySystemTextAttrib() override;

    /** Whether the typed answer matches the foreign text, blanks at either end aside (letter
        case counts). */
    bool transCorrect() const;
    /** Opens the answer field for input when the sentence is due and not answered yet. */
    bool enterTranslationOnModal();
    /** Makes the answer field editable with the focus, the rest of the word from that index of
        the trimmed answer selected. */
    void showEditor(int index);
    /** The answer field back to waiting: read-only, no caret, not modal. */
    void textEditotExitModal();
    /** Judges the answer as Return does. */
    void testAnswer();
    /** Tells the listeners that the learner opened the answer field by a double click. */
    void answerFieldOpenedByLearner();

    /** The first index at which the two texts differ, or the shorter length. */
    static int getDiffrentIndex(const juce::String& first, const juce::String& second);
    /** The first index at or after from of a blank or a punctuation mark, or the text's length. */
    static int getWordEndIndex(const juce::String& text, int from);

    TransTextEditor& getAnswerField() { return answerField; }
    juce::TextButton& getInterpretButton() { return interpretButton; }
    int getAttemptsLeft() const { return attemptsLeft; }

private:
    void buttonClicked(juce::Button* button) override;
    void textEditorReturnKeyPressed(juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed(juce::TextEditor& editor) override;

    void showAnswerFieldIfDue();
    /** Selects the first wrong word of the answer. */
    void pointAtFirstDifference();
    /** The "Incorrect!" question once the attempts ran out. */
    void askAfterAttemptsRanOut();
    /** Reports the failure to the listeners unless it was reported before or the review is by
        listening; false when the block went away meanwhile. */
    bool reportFailureOnce();
    /** A right answer: reported once, after the failure when the attempts had run out. */
    void takeRightAnswer(bool counted);
    void reportSuccess(bool counted);
    static int allowedAttempts();
    static void playAlertSound();

    // Declared in the order they are made.
    TransTextEditor answerField;
    juce::TextButton interpretButton;
    int attemptsLeft;
    // What the block has told the schedule about today's answer: a due sentence is scheduled once.
    bool attemptsRanOut = false;
    bool failureReported = false;
    bool answerTaken = false;

public:
    /** Whether the sentence was unfamiliar and due when the block was built. */
    bool due;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ReviewSentence)
};
