#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SentenceComponent;

/** Shows sentence views that the course model owns; the two containers (waveform strip and
    pages) only place them.

    An edit or an undo can add or remove hundreds of sentences in one go, one tree callback each.
    The containers take each added or removed view at once but lay out only once for the whole
    burst: after the callbacks, when the message loop comes back, or earlier when asked to. */
class SentencesContainer : public juce::Component, private juce::AsyncUpdater
{
public:
    explicit SentencesContainer(juce::OwnedArray<SentenceComponent>& modelViews);
    ~SentencesContainer() override;

    /** Shows every view of the model as a child, then lays them out. */
    virtual void addAndDisplaySentences();
    virtual void sentenceAdded(int index) = 0;
    virtual void sentenceRemoved(int index, int samples) = 0;

    SentenceComponent* getSentence(int index) const { return views[index]; }

    /** Lays out now what the sentences added or removed since the last layout left to do. */
    void layOutIfPending() { handleUpdateNowIfNeeded(); }
    bool isLayoutPending() const { return isUpdatePending(); }

    void mouseUp(const juce::MouseEvent& event) override;
    void parentSizeChanged() override;

protected:
    /** Asks for one layout (layOutPending) once the current burst of tree changes is over. */
    void layOutLater() { triggerAsyncUpdate(); }
    /** A layout was just made: the one asked for is no longer needed. */
    void layoutDone() { cancelPendingUpdate(); }
    /** The layout left for later; the whole layout unless a container knows better. */
    virtual void layOutPending() { resized(); }

    juce::OwnedArray<SentenceComponent>& views;

private:
    void handleAsyncUpdate() override { layOutPending(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SentencesContainer)
};
