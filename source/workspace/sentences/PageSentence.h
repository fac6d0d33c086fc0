#pragma once

#include "workspace/sentences/SentenceComponent.h"

/** The block that shows one sentence on a page: a short waveform above two one-line text
    fields, the foreign text and the native text. Edits of a field are reported to the
    listeners; the texts the model sets are shown without a report. */
class PageSentence : public SentenceComponent, private juce::Label::Listener
{
public:
    PageSentence(juce::AudioThumbnail& overview, int startSample, int endSample);
    ~PageSentence() override;

    /** Shows the foreign text; with notify, the listeners hear of it as of an edit. */
    void setOrginText(const juce::String& text, bool notify);
    /** Shows the native text; with notify, the listeners hear of it as of an edit. */
    void setTransText(const juce::String& text, bool notify);

    /** The foreign-text field (true) or the native-text field (false). */
    juce::Label& getTextField(bool foreign) { return foreign ? foreignText : nativeText; }

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    void labelTextChanged(juce::Label* label) override;

    juce::Label foreignText;
    juce::Label nativeText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PageSentence)
};
