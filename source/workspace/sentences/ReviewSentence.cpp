#include "workspace/sentences/ReviewSentence.h"

ReviewSentence::ReviewSentence(juce::AudioThumbnail& overview, int startSample, int endSample, bool isDue)
    : PageSentence(overview, startSample, endSample), due(isDue)
{
}

ReviewSentence::~ReviewSentence() = default;

void ReviewSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    if (!unfamiliar)
        due = false;
    repaint();
}
