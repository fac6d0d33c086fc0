#include "workspace/sentences/LearnSentence.h"

LearnSentence::LearnSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : PageSentence(overview, startSample, endSample)
{
}

LearnSentence::~LearnSentence() = default;

void LearnSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    repaint();
}

void LearnSentence::textLabelEnterInputStatus(bool foreign)
{
    auto& field = getTextField(foreign);
    if (!field.isBeingEdited())
        field.showEditor();
}
