#pragma once

#include "workspace/sentences/PageSentence.h"

/** The page block used while a course is being learned: text input driven by the keyboard. */
class LearnSentence : public PageSentence
{
public:
    LearnSentence(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~LearnSentence() override;

    void needReview(bool unfamiliar) override;
    /** Opens the editor of the foreign-text field (true) or the native one, unless it is open. */
    void textLabelEnterInputStatus(bool foreign) override;
    /** Stores what the open editor holds and moves input to the other field; with no editor
        open, input starts in the foreign-text field. */
    void switchTextInputStatus() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LearnSentence)
};
