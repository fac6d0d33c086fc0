#pragma once

#include "workspace/containers/SentencesContainer.h"

/** One page of the book: a few page sentence views under one another, and its number. */
class Page : public SentencesContainer
{
public:
    Page();
    ~Page() override;

    /** Takes these views (moving each from the page that showed it), then lays out. */
    void setSentences(const juce::Array<SentenceComponent*>& list);
    void setPageNumber(int number, int count);
    void applyPageNumberColour();
    const juce::Label& getPageNumberLabel() const { return pageNumber; }

    void sentenceAdded(int) override {}
    void sentenceRemoved(int, int) override {}
    void paint(juce::Graphics& g) override;
    void resized() override;

    static constexpr int sentenceTop = 40;
    static constexpr int sentencePitch = 118;

private:
    void placePageNumber();
    /** Where the view in that slot lies, from the top of the page. */
    juce::Rectangle<int> slotBounds(int slot) const;

    // A page shows views that it is handed; it never uses a model's array.
    juce::OwnedArray<SentenceComponent> noModelViews;
    // The model may delete a view before the page is handed new ones.
    juce::Array<juce::Component::SafePointer<SentenceComponent>> pageViews;
    juce::Label pageNumber;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Page)
};
