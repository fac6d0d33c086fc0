#include "workspace/WordSelectingTextEditor.h"

#include "workspace/WordSelection.h"

void WordSelectingTextEditor::mouseDoubleClick(const juce::MouseEvent& event)
{
    const auto range = WordSelection::rangeForClicks(getText(), getTextIndexAt(event.getPosition()),
                                                     event.getNumberOfClicks());

    // With the caret at the end first, selecting the range leaves the caret at its start, as a
    // selection dragged backwards would.
    setCaretPosition(range.getEnd());
    setHighlightedRegion(range);
}
