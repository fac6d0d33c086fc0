#include "workspace/panels/FilesBrowsePanel.h"

FilesBrowsePanel::FilesBrowsePanel()
{
    setSize(330, 660);
    applySystemColour();
}

FilesBrowsePanel::~FilesBrowsePanel() = default;

void FilesBrowsePanel::applySystemColour()
{
    repaint();
}

void FilesBrowsePanel::stopAudioPlay() {}

juce::File FilesBrowsePanel::getSelectedFile() const
{
    return {};
}

void FilesBrowsePanel::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::darkgrey);
}
