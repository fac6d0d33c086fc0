#include "workspace/sentences/ThumbSentence.h"

#include "engine/GlobalData.h"

ThumbSentence::ThumbSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : SentenceComponent(overview, startSample, endSample)
{
}

ThumbSentence::~ThumbSentence() = default;

void ThumbSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    repaint();
}

void ThumbSentence::paint(juce::Graphics& g)
{
    if (selected)
        g.fillAll(juce::Colours::darkgrey);

    g.setColour(needsReview ? juce::Colours::orange : juce::Colours::lightgreen);
    const auto area = getLocalBounds().reduced(0, 2);
    if (!area.isEmpty())
        thumbnail.drawChannels(g, area, GlobalData::samplesToSeconds(start),
                               GlobalData::samplesToSeconds(end), GlobalData::ampFactor);
}
