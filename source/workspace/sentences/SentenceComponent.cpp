#include "workspace/sentences/SentenceComponent.h"

SentenceComponent::SentenceComponent(juce::AudioThumbnail& overview, int startSample, int endSample)
    : start(startSample), end(endSample), thumbnail(overview)
{
}

SentenceComponent::~SentenceComponent() = default;

void SentenceComponent::setSelected(bool shouldBeSelected)
{
    if (selected == shouldBeSelected)
        return;
    selected = shouldBeSelected;
    repaint();
}

void SentenceComponent::setStartSamples(int newStart)
{
    if (start == newStart)
        return;
    start = newStart;
    repaint();
}

void SentenceComponent::setEndSamples(int newEnd)
{
    if (end == newEnd)
        return;
    end = newEnd;
    repaint();
}

void SentenceComponent::addListener(Listener* listener)
{
    listeners.addIfNotAlreadyThere(listener);
}

void SentenceComponent::removeListener(Listener* listener)
{
    listeners.removeFirstMatchingValue(listener);
}

void SentenceComponent::mouseDown(const juce::MouseEvent& event)
{
    if (event.mods.isLeftButtonDown())
        callListeners([this](Listener& l) { l.hasBeenSelected(this); });
}
