#include "workspace/containers/TimeScaleComponent.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

TimeScaleComponent::TimeScaleComponent() = default;

TimeScaleComponent::~TimeScaleComponent() = default;

// TODO(time scale): the tick marks and time labels; for now the ruler is its background and
// base line.
void TimeScaleComponent::paint(juce::Graphics& g)
{
    g.fillAll(systemModel->timeScaleBgColour);
    g.setColour(systemModel->timeScaleTextColour.withAlpha(0.35f));
    g.drawHorizontalLine(getHeight() - 1, 0.5f, (float)getWidth() - 1.0f);
}
