#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ReviewSentence;

/** The answer field of a review block: the learner types the hidden foreign text into it.

    It waits read-only until the block opens it for input (or the learner double-clicks it), and
    while it is open for input it is the modal component of the workspace. Presses go to the
    block first, so a click on the field selects the sentence; releases reach the block only
    while the field waits. */
class TransTextEditor : public juce::TextEditor
{
public:
    explicit TransTextEditor(ReviewSentence& owner);
    ~TransTextEditor() override;

    bool isOpenForInput() const { return openForInput; }
    void setOpenForInput(bool open) { openForInput = open; }

    /** Selects start..end with the caret at start, where typing goes on. */
    void selectWithCaretAtStart(int start, int end);

    /** Enters the modal state, taking the keyboard focus, unless the field is modal already. */
    void enterModalStateOnce();

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;
    /** Opens the field for input with all its text selected, unless it holds the right answer. */
    void mouseDoubleClick(const juce::MouseEvent& event) override;

private:
    ReviewSentence& owner;
    bool openForInput = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TransTextEditor)
};
