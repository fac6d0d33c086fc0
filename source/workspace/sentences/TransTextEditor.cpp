#include "workspace/sentences/TransTextEditor.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/sentences/ReviewSentence.h"

namespace
{
constexpr float focusedOutlineAlpha = 0.6f;
} // namespace

TransTextEditor::TransTextEditor(ReviewSentence& ownerBlock) : owner(ownerBlock)
{
    setReadOnly(true);
    setCaretVisible(false);
    setPopupMenuEnabled(false);
    setMouseCursor(juce::MouseCursor::NormalCursor);
    setColour(backgroundColourId, juce::Colours::transparentBlack);
    setColour(shadowColourId, juce::Colours::transparentBlack);

    // The field can be built before the settings exist (the view classes are usable alone).
    if (systemModel == nullptr)
        return;
    setFont(systemModel->foreignFont.withStyle(systemModel->foreignFontStyle));
    setColour(focusedOutlineColourId, systemModel->pageReviewThumbColour.withAlpha(focusedOutlineAlpha));
}

TransTextEditor::~TransTextEditor() = default;

void TransTextEditor::selectWithCaretAtStart(int start, int end)
{
    const int length = getTotalNumChars();
    const int first = juce::jlimit(0, length, start);
    const int last = juce::jlimit(first, length, end);
    // From an empty range at the end, the framework moves the caret to the start it is given.
    setCaretPosition(last);
    setHighlightedRegion({first, last});
}

void TransTextEditor::enterModalStateOnce()
{
    if (!isCurrentlyModal(false))
        enterModalState(true);
    else
        grabKeyboardFocus();
}

void TransTextEditor::mouseDown(const juce::MouseEvent& event)
{
    juce::Component::BailOutChecker checker(this);
    owner.mouseDown(event.getEventRelativeTo(&owner));
    if (!checker.shouldBailOut())
        juce::TextEditor::mouseDown(event);
}

void TransTextEditor::mouseUp(const juce::MouseEvent& event)
{
    juce::Component::BailOutChecker checker(this);
    // While the learner types, a click only places the caret: the play position and the page's
    // context menu wait.
    if (!openForInput)
        owner.mouseUp(event.getEventRelativeTo(&owner));
    if (!checker.shouldBailOut())
        juce::TextEditor::mouseUp(event);
}

void TransTextEditor::mouseDoubleClick(const juce::MouseEvent&)
{
    // A right answer stays closed, blanks at either end of the foreign text aside.
    if (owner.transCorrect())
        return;

    setReadOnly(false);
    setCaretVisible(true);
    setMouseCursor(juce::MouseCursor::IBeamCursor);
    setPopupMenuEnabled(true);
    openForInput = true;
    if (systemModel != nullptr)
        applyColourToAllText(systemModel->foreignTextColour);
    applyFontToAllText(getFont().withStyle(juce::Font::plain));
    enterModalStateOnce();

    // Setting a blank and taking it away again gives an empty field the attributes just set.
    if (getText().isEmpty())
        setText(" ", false);
    if (getText() == " ")
        setText({}, true);
    selectAll();

    owner.answerFieldOpenedByLearner();
}
