#include "dialogs/LinearbarSliderWithoutMouseWheel.h"

void LinearbarSliderWithoutMouseWheel::mouseWheelMove(const juce::MouseEvent& event,
                                                      const juce::MouseWheelDetails& wheel)
{
    if (auto* parent = getParentComponent())
        parent->mouseWheelMove(event.getEventRelativeTo(parent), wheel);
}
