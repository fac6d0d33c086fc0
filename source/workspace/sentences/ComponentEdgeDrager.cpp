#include "workspace/sentences/ComponentEdgeDrager.h"

ComponentEdgeDrager::ComponentEdgeDrager(juce::Component* componentToResize, Edge edgeToResize)
    : juce::ResizableEdgeComponent(componentToResize, nullptr, edgeToResize)
{
}

ComponentEdgeDrager::~ComponentEdgeDrager() = default;

void ComponentEdgeDrager::addListener(Listener* listener)
{
    listeners.add(listener);
}

void ComponentEdgeDrager::removeListener(Listener* listener)
{
    listeners.remove(listener);
}

void ComponentEdgeDrager::mouseDown(const juce::MouseEvent& event)
{
    juce::ResizableEdgeComponent::mouseDown(event);
    const auto mods = event.mods;
    callListeners([this, &mods](Listener& l) { l.prepareDrag(this, mods); });
}

void ComponentEdgeDrager::mouseDrag(const juce::MouseEvent& event)
{
    juce::ResizableEdgeComponent::mouseDrag(event);
    const int dx = event.getDistanceFromDragStartX();
    callListeners([this, dx](Listener& l) { l.dragging(this, dx); });
}

void ComponentEdgeDrager::mouseUp(const juce::MouseEvent& event)
{
    juce::ResizableEdgeComponent::mouseUp(event);
    const int dx = event.getDistanceFromDragStartX();
    callListeners([this, dx](Listener& l) { l.dragFinished(this, dx); });
}
