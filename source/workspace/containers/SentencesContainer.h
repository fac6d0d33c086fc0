#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SentenceComponent;

/** Shows sentence views that the course model owns; the two containers (waveform strip and
    pages) only place them. */
class SentencesContainer : public juce::Component
{
public:
    explicit SentencesContainer(juce::OwnedArray<SentenceComponent>& modelViews);
    ~SentencesContainer() override;

    /** Shows every view of the model as a child, then lays them out. */
    virtual void addAndDisplaySentences();
    virtual void sentenceAdded(int index) = 0;
    virtual void sentenceRemoved(int index, int samples) = 0;

    SentenceComponent* getSentence(int index) const { return views[index]; }

    void mouseUp(const juce::MouseEvent& event) override;
    void parentSizeChanged() override;

protected:
    juce::OwnedArray<SentenceComponent>& views;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(SentencesContainer)
};
