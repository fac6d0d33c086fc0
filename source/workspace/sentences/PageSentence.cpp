#include "workspace/sentences/PageSentence.h"

#include "engine/GlobalData.h"

PageSentence::PageSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : SentenceComponent(overview, startSample, endSample)
{
    for (auto* field : {&foreignText, &nativeText})
    {
        // Edited on a double click only; leaving the field keeps what was typed.
        field->setEditable(false, true, false);
        field->addListener(this);
        addAndMakeVisible(field);
    }
}

PageSentence::~PageSentence() = default;

void PageSentence::setOrginText(const juce::String& text, bool notify)
{
    foreignText.setText(text, juce::dontSendNotification);
    if (notify)
        labelTextChanged(&foreignText);
}

void PageSentence::setTransText(const juce::String& text, bool notify)
{
    nativeText.setText(text, juce::dontSendNotification);
    if (notify)
        labelTextChanged(&nativeText);
}

void PageSentence::labelTextChanged(juce::Label* label)
{
    const auto text = label->getText();
    if (label == &foreignText)
        callListeners([this, &text](SentenceComponent::Listener& l)
                      { l.orginTextChanged(this, text, false); });
    else if (label == &nativeText)
        callListeners([this, &text](SentenceComponent::Listener& l)
                      { l.transTextChanged(this, text, false); });
}

void PageSentence::paint(juce::Graphics& g)
{
    if (selected)
    {
        g.setColour(juce::Colours::lightblue);
        g.fillRoundedRectangle(getLocalBounds().toFloat(), 6.0f);
    }

    g.setColour(needsReview ? juce::Colours::orange : juce::Colours::darkgreen);
    const auto seconds = GlobalData::samplesToSeconds(end - start);
    const auto width = juce::jmin(juce::roundToInt(GlobalData::xOfPerSecond * seconds), getWidth() - 42);
    if (width > 0)
        thumbnail.drawChannels(g, {32, 0, width, 30}, GlobalData::samplesToSeconds(start),
                               GlobalData::samplesToSeconds(end), 1.0f);
}

void PageSentence::resized()
{
    foreignText.setBounds(25, getHeight() - 70, getWidth() - 30, 35);
    nativeText.setBounds(25, getHeight() - 35, getWidth() - 30, 35);
}
