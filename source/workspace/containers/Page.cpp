#include "workspace/containers/Page.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/sentences/SentenceComponent.h"

Page::Page() : SentencesContainer(noModelViews)
{
    pageNumber.setFont(juce::Font(18.0f, juce::Font::plain));
    pageNumber.setJustificationType(juce::Justification::centred);
    pageNumber.setSize(90, 20);
    pageNumber.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(pageNumber);
    applyPageNumberColour();
    setSize(systemModel->pageWidth, systemModel->pageHeight);
}

Page::~Page() = default;

void Page::setSentences(const juce::Array<SentenceComponent*>& list)
{
    pageViews.clear();
    for (auto* view : list)
    {
        const int slot = pageViews.size();
        pageViews.add(view);
        if (view->getParentComponent() == this)
            continue;
        // A view taken from a shown page is hidden before it moves, and placed before it is shown
        // here: moving a shown component asks the window system whether the window is minimised.
        view->setVisible(false);
        view->setBounds(slotBounds(slot));
        addAndMakeVisible(view);
    }
    resized();
}

juce::Rectangle<int> Page::slotBounds(int slot) const
{
    return {sentenceTop, sentenceTop + sentencePitch * slot, getWidth() - 70, 100};
}

void Page::setPageNumber(int number, int count)
{
    pageNumber.setText(juce::String(number) + " / " + juce::String(count), juce::dontSendNotification);
}

void Page::applyPageNumberColour()
{
    pageNumber.setColour(juce::Label::textColourId, systemModel->foreignTextColour.withAlpha(0.4f));
}

void Page::paint(juce::Graphics& g)
{
    const float w = (float)getWidth();
    const float h = (float)getHeight();
    g.setColour(juce::Colours::black.withAlpha(0.75f));
    g.fillRoundedRectangle(0.0f, 0.0f, w - 3.0f, h - 3.0f, 5.0f);
    g.setColour(juce::Colours::lightgrey.withAlpha(0.65f));
    g.fillRoundedRectangle(3.0f, 3.0f, w - 3.0f, h - 3.0f, 5.0f);
    g.setColour(systemModel->pageColour);
    g.fillRoundedRectangle(1.0f, 1.0f, w - 4.0f, h - 4.0f, 5.0f);
}

void Page::resized()
{
    setSize(systemModel->pageWidth, systemModel->pageHeight);
    for (int i = 0; i < pageViews.size(); ++i)
        if (auto* view = pageViews.getReference(i).getComponent())
            view->setBounds(slotBounds(i));
    placePageNumber();
}

void Page::placePageNumber()
{
    const int w = getWidth();
    const int h = getHeight();
    const int labelWidth = pageNumber.getWidth();
    pageNumber.setVisible(true);
    switch (systemModel->pageNumberPlace)
    {
    case 1:
        pageNumber.setTopLeftPosition(5, 5);
        break;
    case 2:
        pageNumber.setCentrePosition(w / 2, 17);
        break;
    case 3:
        pageNumber.setTopLeftPosition(w - 10 - labelWidth, 5);
        break;
    case 4:
        pageNumber.setTopLeftPosition(5, h - 30);
        break;
    case 5:
        pageNumber.setCentrePosition(w / 2, h - 17);
        break;
    case 6:
        pageNumber.setTopLeftPosition(w - 10 - labelWidth, h - 30);
        break;
    default:
        pageNumber.setVisible(false);
        break;
    }
}
