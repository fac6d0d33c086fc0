#pragma once

#include "workspace/sentences/PageSentence.h"

/** The page block used while a course is reviewed. It knows whether its sentence was due when
    the block was built. */
class ReviewSentence : public PageSentence
{
public:
    ReviewSentence(juce::AudioThumbnail& overview, int startSample, int endSample, bool isDue);
    ~ReviewSentence() override;

    /** A sentence that stops being unfamiliar is no longer due either. */
    void needReview(bool unfamiliar) override;

    bool due;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ReviewSentence)
};
