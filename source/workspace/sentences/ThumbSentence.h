#pragma once

#include "workspace/sentences/SentenceComponent.h"

/** The block that shows one sentence on the waveform strip: its stretch of the course waveform,
    highlighted while selected. */
class ThumbSentence : public SentenceComponent
{
public:
    ThumbSentence(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~ThumbSentence() override;

    void needReview(bool unfamiliar) override;
    void paint(juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ThumbSentence)
};
