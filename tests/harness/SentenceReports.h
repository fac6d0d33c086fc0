#pragma once

#include "workspace/sentences/SentenceComponent.h"

/** Writes what a page view reports to its listeners into one log, for tests that watch a view on
    its own: selections ("selected"), play positions ("play -1"), the answer field opened by the
    learner ("entered") and judged answers ("successed 1", "failed"). Edits and drags are not
    logged. */
struct SentenceReports : SentenceComponent::Listener
{
    void prepareDrag(SentenceComponent*) override {}
    void startChanged(SentenceComponent*) override {}
    void endChanged(SentenceComponent*) override {}
    void splitThumbSentence(SentenceComponent*, int) override {}
    void hasBeenSelected(SentenceComponent*) override;
    void setCursorPosition(SentenceComponent*, int) override {}
    void setPlayPosition(SentenceComponent*, int x) override;
    void orginTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void transTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void hasBeenEnterTransModal(SentenceComponent*) override;
    void reviewSuccessed(SentenceComponent*, bool counted) override;
    void reviewFailed(SentenceComponent*) override;

    /** The log joined by commas. */
    juce::String text() const { return log.joinIntoString(", "); }

    juce::StringArray log;
};

/** A mouse event at (10, 10) of the component, with those buttons and keys held. */
juce::MouseEvent mouseEventOn(juce::Component& on, const juce::ModifierKeys& mods, int clicks = 1);
