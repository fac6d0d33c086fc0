#include "workspace/containers/SentencesContainer.h"

#include "workspace/CommandCenter.h"
#include "workspace/sentences/SentenceComponent.h"

SentencesContainer::SentencesContainer(juce::OwnedArray<SentenceComponent>& modelViews) : views(modelViews) {}

SentencesContainer::~SentencesContainer() = default;

void SentencesContainer::addAndDisplaySentences()
{
    for (auto* view : views)
        addAndMakeVisible(view);
    resized();
}

void SentencesContainer::mouseUp(const juce::MouseEvent& event)
{
    if (event.mods.isPopupMenu() || event.mods.isCtrlDown())
        CommandCenter::showRightClickMenu(CommandCenter::backgroundMenu);
}

void SentencesContainer::parentSizeChanged()
{
    resized();
}
