#include "workspace/BaseComponent.h"

#include "workspace/LayoutBarWithBorder.h"
#include "workspace/MainComponent.h"
#include "workspace/panels/FilesBrowsePanel.h"

BaseComponent::BaseComponent()
{
    mainComponent = std::make_unique<MainComponent>();
    addAndMakeVisible(*mainComponent);
    filesBrowsePanel = std::make_unique<FilesBrowsePanel>();
    addAndMakeVisible(*filesBrowsePanel);
    layoutBar = std::make_unique<LayoutBarWithBorder>(&layout, 1, true);
    addAndMakeVisible(*layoutBar);

    // The learning area keeps at least 450 px; the browser may shrink to a sliver.
    layout.setItemLayout(0, 450, -1.0, -0.8);
    layout.setItemLayout(1, 4, 4, 4);
    layout.setItemLayout(2, 1, -0.8, -0.2);
    setSize(800, 600);
}

BaseComponent::~BaseComponent()
{
    filesBrowsePanel.reset();
    mainComponent.reset();
    layoutBar.reset();
}

CourseController* BaseComponent::getController() const
{
    return mainComponent->getController();
}

juce::File BaseComponent::getFileBrowseSelectedFile() const
{
    return filesBrowsePanel->getSelectedFile();
}

void BaseComponent::stopFileBrowseAudioPlay()
{
    filesBrowsePanel->stopAudioPlay();
}

void BaseComponent::applySystemColourForFileBrowser()
{
    filesBrowsePanel->applySystemColour();
}

void BaseComponent::resized()
{
    juce::Component* parts[] = {mainComponent.get(), layoutBar.get(), filesBrowsePanel.get()};
    layout.layOutComponents(parts, 3, 0, 0, getWidth(), getHeight(), false, true);
}
